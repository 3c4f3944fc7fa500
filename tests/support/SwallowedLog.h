#pragma once
// Records every failure the silent traps absorb while the guard lives, through the public hook.

#include <Kor2_Sys/Diagnostics.h>
#include <Kor2_Sys/Kor2_Sys.h>

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

extern "C" inline void kor2testHearSwallowed(int32_t number, const char* description, const char* operation, void* user)
{
    static_cast<std::vector<std::string>*>(user)->push_back(std::to_string(number) + " " + description + " " + operation);
}

/// The same records as a C host hears them through kor2_on_swallowed_error, as "number
/// description operation" lines; the C++ handler is set aside meanwhile.
class CSwallowedLog {
public:
    CSwallowedLog() : m_outer(Kor2_Sys::onSwallowedError({})) { kor2_on_swallowed_error(&kor2testHearSwallowed, &lines); }
    ~CSwallowedLog()
    {
        kor2_on_swallowed_error(nullptr, nullptr);
        Kor2_Sys::onSwallowedError(std::move(m_outer));
    }
    CSwallowedLog(const CSwallowedLog&) = delete;
    CSwallowedLog& operator=(const CSwallowedLog&) = delete;
    std::vector<std::string> lines;

private:
    Kor2_Sys::SwallowedErrorHandler m_outer;
};

} // namespace kor2test
