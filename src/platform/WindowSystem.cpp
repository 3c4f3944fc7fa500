#include "platform/WindowSystem.h"

#include <Kor2_Sys/Error.h>

#include "frame/NeverDestroyed.h"
#include "frame/Trap.h"
#include "frame/Utf.h"

#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace Kor2_Sys::platform {
namespace {

// The window system in use and the thread it belongs to. Windows live on one thread; a call from
// any other gets a clear error instead of racing the event loop. The lock covers the pointer
// itself, so installing from one thread while another looks it up cannot tear it. Never destroyed,
// with the window system in it: a host may show a window from its own exit handlers.
struct Installed {
    std::mutex mutex;
    std::shared_ptr<WindowSystem> current;
    std::optional<std::thread::id> owner;
    WindowSystemLoader loader = nullptr;
};

Installed& installed()
{
    static NeverDestroyed<Installed> state;
    return *state;
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
    static const NeverDestroyed<Text> title(u"Kor2_Sys");
    return *title;
}

WindowSystem& windowSystem()
{
    auto& state = installed();
    const std::lock_guard lock(state.mutex);
    if (state.owner && *state.owner != std::this_thread::get_id())
        throw wrongThread();
    if (!state.current) {
        state.current = state.loader ? state.loader() : loadDefaultWindowSystem();
        state.owner = std::this_thread::get_id();
    }
    return *state.current;
}

void setWindowSystemLoader(WindowSystemLoader loader) noexcept
{
    auto& state = installed();
    const std::lock_guard lock(state.mutex);
    state.loader = loader;
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
