#include <Kor2_Sys/Diagnostics.h>
#include <Kor2_Sys/Kor2_Sys.h>

#include "frame/NeverDestroyed.h"
#include "frame/Trap.h"
#include "frame/Utf.h"

#include <memory>
#include <mutex>
#include <utility>

namespace Kor2_Sys {
namespace {

// The handler is shared, not copied under the lock and then called: a handler that installs
// another one (or a host that swaps it from a worker thread) never waits for itself or calls a
// handler half replaced. Neither is destroyed: a failure absorbed during the host's exit still
// reaches the host's handler.
std::mutex& handlerMutex()
{
    static NeverDestroyed<std::mutex> mutex;
    return *mutex;
}

std::shared_ptr<const SwallowedErrorHandler>& installedHandler()
{
    static NeverDestroyed<std::shared_ptr<const SwallowedErrorHandler>> handler;
    return *handler;
}

} // namespace

SwallowedErrorHandler onSwallowedError(SwallowedErrorHandler handler)
{
    auto next = handler ? std::make_shared<const SwallowedErrorHandler>(std::move(handler)) : nullptr;
    std::shared_ptr<const SwallowedErrorHandler> previous;
    {
        const std::lock_guard lock(handlerMutex());
        previous = std::exchange(installedHandler(), std::move(next));
    }
    return previous ? *previous : SwallowedErrorHandler{};
}

namespace trap {

void swallowed(std::string_view operation, const Error& error) noexcept
{
    try {
        std::shared_ptr<const SwallowedErrorHandler> handler;
        {
            const std::lock_guard lock(handlerMutex());
            handler = installedHandler();
        }
        if (handler)
            (*handler)(SwallowedError{error.number(), error.description(), std::string(operation)});
    } catch (...) {
        // The trap's contract is a normal return; a failing handler must not undo it.
    }
}

} // namespace trap
} // namespace Kor2_Sys

extern "C" int kor2_on_swallowed_error(kor2_swallowed_error_fn fn, void* user)
{
    using namespace Kor2_Sys;
    try {
        if (fn == nullptr)
            onSwallowedError(nullptr);
        else
            onSwallowedError([fn, user](const SwallowedError& e) {
                const std::string description = utf::toUtf8(e.description);
                fn(e.number, description.c_str(), e.operation.c_str(), user);
            });
        return 0;
    } catch (const std::bad_alloc&) {
        return -1;  // the previous handler stays
    }
}
