// Function-address lookup of the loader on GLX. This file is the only one that includes the
// window-system headers, so another platform (EGL, say) replaces this file alone.
#include "zarvel_gl.h"

#include <GL/glx.h>

namespace PGL
{
namespace Extensions_GL
{

Fonction_GL getProcAdress(char const* nom)
{
    if (!nom) return nullptr;
    return reinterpret_cast<Fonction_GL>(glXGetProcAddressARB(reinterpret_cast<GLubyte const*>(nom)));
}

} // namespace Extensions_GL
} // namespace PGL
