#pragma once
// A failure inside a window's handler must not unwind through the platform's message dispatch: it
// is kept here and raised again on the library's side of the call that runs the messages.

#include <Kor2_Sys/Error.h>

#include "frame/Trap.h"

#include <exception>
#include <string>
#include <utility>

namespace Kor2_Sys::platform::win32 {

class Win32Failures {
public:
    /// Keeps a failure of window `form`'s handler. A modal window's goes back to the caller of its
    /// show; a modeless window has no caller waiting, so its failure reaches the swallowed-error
    /// handler as the window's.
    static void keep(std::exception_ptr failure, bool modal, const std::string& form)
    {
        if (modal) {
            if (!slot())
                slot() = std::move(failure);
            return;
        }
        try {
            std::rethrow_exception(failure);
        } catch (const Error& error) {
            trap::swallowed(form, error);
        } catch (...) {
            trap::swallowed(form, errors::invalidCall());
        }
    }
    static bool pending() { return static_cast<bool>(slot()); }
    /// Raises the kept failure, if any, and forgets it.
    static void rethrow()
    {
        if (std::exception_ptr failure = std::exchange(slot(), nullptr))
            std::rethrow_exception(failure);
    }

private:
    static std::exception_ptr& slot()
    {
        thread_local std::exception_ptr failure;
        return failure;
    }
};

} // namespace Kor2_Sys::platform::win32
