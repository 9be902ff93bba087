#include "app/fontconfigwarmup.h"

#include <dlfcn.h>

namespace nk {

namespace {

// Qt's GUI library links fontconfig, so it is loaded already; it is only
// looked up here, which keeps its headers out of the build. FcInit is safe
// to call from any thread, and a second caller takes what the first made.
void initialise()
{
    void *library = ::dlopen("libfontconfig.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return;
    if (auto *init = reinterpret_cast<int (*)()>(::dlsym(library, "FcInit")))
        init();
    ::dlclose(library);
}

} // namespace

FontconfigWarmup::FontconfigWarmup() : m_thread(&initialise) {}

} // namespace nk
