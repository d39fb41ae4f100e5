// Function-address lookup and current-context query of the loader on GLX. This is the only file
// that includes the window-system headers: another platform (EGL, say) replaces this file alone.
#include "zarvel_gl.h"

#include <GL/glx.h>

#if defined(__SANITIZE_ADDRESS__)
#include <dlfcn.h>
#include <link.h>
#endif

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

void GardeModulesCharges()
{
#if defined(__SANITIZE_ADDRESS__)
    // A reference that is never released, and RTLD_NODELETE so that no later dlclose unloads it.
    dl_iterate_phdr(
        [](dl_phdr_info* module, std::size_t, void*) -> int
        {
            if (module->dlpi_name && module->dlpi_name[0])
                dlopen(module->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
            return 0;
        },
        nullptr);
#endif
}

} // namespace Extensions_GL
} // namespace PGL
