#include "platform/WindowSystem.h"

#include <Kor2_Sys/Error.h>

#include "frame/Trap.h"
#include "frame/Utf.h"

#include <dlfcn.h>

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace Kor2_Sys::platform {
namespace {

// The module exports this factory; the library never links Qt itself.
constexpr const char* kModuleName = "libKor2_Sys_qt.so";
constexpr const char* kFactorySymbol = "kor2_create_qt_window_system";
using Factory = WindowSystem* (*)();

// The window system in use and the thread it belongs to. Windows live on one thread; a call from
// any other gets a clear error instead of racing the event loop. The lock covers the pointer
// itself, so installing from one thread while another looks it up cannot tear it.
struct Installed {
    std::mutex mutex;
    std::shared_ptr<WindowSystem> current;
    std::optional<std::thread::id> owner;
};

Installed& installed()
{
    static Installed state;
    return state;
}

Error wrongThread()
{
    const Error base = errors::invalidCall();
    return {base.number(),
            base.description() + u": las ventanas sólo se pueden usar desde el hilo que creó el sistema de ventanas"};
}

void showInMessageBox(const Text& text)
{
    windowSystem().messageBox({text, MessageButtons::Ok, MessageIcon::None, std::nullopt});
}

// The common error report shows its boxes through whatever window system is in use.
[[maybe_unused]] const bool g_reportSinkInstalled = (trap::setReportSink(&showInMessageBox), true);

// The module stands beside the library (build tree and installed tree alike); the loader's own
// search path is the fallback.
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

WindowSystem::~WindowSystem() = default;
Bitmap::~Bitmap() = default;
MemoryDrawing::~MemoryDrawing() = default;

// A window system without native windows of the host's answers every native call as the platform
// answers one on a handle that names no window.
void WindowSystem::statusBarPartRect(Long, Long, PixelRect&) {}
void WindowSystem::setParent(Long, Long) {}
std::unique_ptr<MemoryDrawing> WindowSystem::createMemoryDrawing(Long) { return nullptr; }
void WindowSystem::clipboardSetBitmap(std::unique_ptr<Bitmap>) {}
PixelPoint WindowSystem::cursorPosition() const { return {}; }
Long WindowSystem::menuBar(Long) { return 0; }
Long WindowSystem::subMenu(Long, Long) { return 0; }
void WindowSystem::setMenuItemBitmaps(Long, Long, Long, Long, Long) {}
Long WindowSystem::systemMenu(Long) { return 0; }
void WindowSystem::appendMenuItem(Long, Long, Long, const Text&) {}

const Text& applicationTitle()
{
    static const Text title = u"Kor2_Sys";
    return title;
}

std::shared_ptr<WindowSystem> loadDefaultWindowSystem()
{
    return loadQtModule();
}

WindowSystem& windowSystem()
{
    auto& state = installed();
    const std::lock_guard lock(state.mutex);
    if (state.owner && *state.owner != std::this_thread::get_id())
        throw wrongThread();
    if (!state.current) {
        state.current = loadDefaultWindowSystem();
        state.owner = std::this_thread::get_id();
    }
    return *state.current;
}

std::shared_ptr<WindowSystem> installWindowSystem(std::shared_ptr<WindowSystem> ws)
{
    auto& state = installed();
    const std::lock_guard lock(state.mutex);
    state.owner = ws ? std::optional(std::this_thread::get_id()) : std::nullopt;
    return std::exchange(state.current, std::move(ws));
}

Error fileDialogCancelled()
{
    return Error(32755, u"Se ha seleccionado Cancelar.");
}

} // namespace Kor2_Sys::platform
