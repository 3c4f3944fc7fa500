#pragma once
// Isolation guards: each test that touches process-wide state gets its own and leaves it as found.

#include "frame/Locale.h"
#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <memory>

namespace kor2test {

/// A headless window system, installed for the guard's lifetime.
class ScopedHeadless {
public:
    explicit ScopedHeadless(std::vector<Kor2_Sys::platform::WindowScript> scripts = {})
        : m_ws(std::make_shared<Kor2_Sys::platform::HeadlessWindowSystem>(std::move(scripts))), m_guard(m_ws) {}
    Kor2_Sys::platform::HeadlessWindowSystem* operator->() const { return m_ws.get(); }
    Kor2_Sys::platform::HeadlessWindowSystem& operator*() const { return *m_ws; }

private:
    std::shared_ptr<Kor2_Sys::platform::HeadlessWindowSystem> m_ws;
    Kor2_Sys::platform::ScopedWindowSystem m_guard;
};

using Kor2_Sys::locale::ScopedDecimal;

} // namespace kor2test
