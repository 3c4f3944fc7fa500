#include "platform/WindowSystem.h"

#include "frame/Errors.h"
#include "frame/Utf.h"

#include <dlfcn.h>

#include <string>

namespace Kor2_Sys::platform {
namespace {

// The module exports this factory; the library never links Qt itself.
constexpr const char* kModuleName = KOR2_QT_MODULE;
constexpr const char* kFactorySymbol = "kor2_create_qt_window_system";
using Factory = WindowSystem* (*)();

// The module stands beside the library (build tree and installed tree alike); the loader's own
// search path is the fallback, and the only way when the core is linked into a program.
void* openModule()
{
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&applicationTitle), &self) != 0 && self.dli_fname != nullptr) {
        std::string path = self.dli_fname;
        path = path.substr(0, path.rfind('/') + 1) + kModuleName;
        if (void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return module;
    }
    return dlopen(kModuleName, RTLD_NOW | RTLD_LOCAL);
}

std::shared_ptr<WindowSystem> loadQtModule()
{
    void* module = openModule();
    if (module == nullptr) {
        const char* why = dlerror();
        throw errors::deviceUnavailable(u"no se puede cargar el sistema de ventanas " + utf::fromUtf8(kModuleName) +
                                        u" (" + utf::fromUtf8(why ? why : "") + u")");
    }
    auto factory = reinterpret_cast<Factory>(dlsym(module, kFactorySymbol));
    if (factory == nullptr)
        throw errors::deviceUnavailable(u"el módulo de ventanas no ofrece " + utf::fromUtf8(kFactorySymbol));
    // The factory itself checks DISPLAY / QT_QPA_PLATFORM and throws when no screen can be opened.
    return std::shared_ptr<WindowSystem>(factory());
}

} // namespace

std::shared_ptr<WindowSystem> loadDefaultWindowSystem()
{
    return loadQtModule();
}

} // namespace Kor2_Sys::platform
