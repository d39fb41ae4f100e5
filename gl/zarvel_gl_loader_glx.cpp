// Function-address lookup and current-context query of the loader on GLX. This is the only file
// that includes the window-system headers: another platform (EGL, say) replaces this file alone.
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

bool ContexteCourant()
{
    return glXGetCurrentContext() != nullptr;
}

} // namespace Extensions_GL
} // namespace PGL
