#pragma once
// Records every failure the silent traps absorb while the guard lives, through the public hook.

#include <Kor2_Sys/Diagnostics.h>

#include <mutex>
#include <string>
#include <vector>

namespace kor2test {

class SwallowedLog {
public:
    SwallowedLog()
        : m_previous(Kor2_Sys::onSwallowedError([this](const Kor2_Sys::SwallowedError& e) {
              const std::lock_guard lock(m_mutex);
              m_seen.push_back(e);
          }))
    {
    }
    ~SwallowedLog() { Kor2_Sys::onSwallowedError(std::move(m_previous)); }
    SwallowedLog(const SwallowedLog&) = delete;
    SwallowedLog& operator=(const SwallowedLog&) = delete;

    std::vector<Kor2_Sys::SwallowedError> seen() const
    {
        const std::lock_guard lock(m_mutex);
        return m_seen;
    }
    /// "number operation" of each record, for compact comparisons.
    std::vector<std::string> summary() const
    {
        std::vector<std::string> out;
        for (const auto& e : seen())
            out.push_back(std::to_string(e.number) + " " + e.operation);
        return out;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Kor2_Sys::SwallowedError> m_seen;
    Kor2_Sys::SwallowedErrorHandler m_previous;
};

} // namespace kor2test
