#pragma once
// Isolation guards: each test that touches process-wide state gets its own and leaves it as found.

#include <Kor2_Sys/Error.h>

#include "frame/Locale.h"
#include "platform/WindowSystem.h"
#include "platform/headless/HeadlessWindowSystem.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <optional>
#include <random>
#include <utility>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

namespace kor2test {

/// A headless window system, installed for the guard's lifetime.
class ScopedHeadless {
public:
    explicit ScopedHeadless(std::vector<Kor2_Sys::script::WindowScript> scripts = {})
        : m_ws(std::make_shared<Kor2_Sys::platform::HeadlessWindowSystem>(std::move(scripts))), m_guard(m_ws) {}
    Kor2_Sys::platform::HeadlessWindowSystem* operator->() const { return m_ws.get(); }
    Kor2_Sys::platform::HeadlessWindowSystem& operator*() const { return *m_ws; }

private:
    std::shared_ptr<Kor2_Sys::platform::HeadlessWindowSystem> m_ws;
    Kor2_Sys::platform::ScopedWindowSystem m_guard;
};

using Kor2_Sys::locale::ScopedDecimal;

/// The library error that `action` raises, if it raises one.
template <class Action> std::optional<Kor2_Sys::Error> failureOf(Action&& action)
{
    try {
        action();
    } catch (const Kor2_Sys::Error& e) {
        return e;
    }
    return std::nullopt;
}

/// The number of the library error that `action` raises; 0 when it raises none.
template <class Action> Kor2_Sys::Long errorOf(Action&& action)
{
    const auto e = failureOf(std::forward<Action>(action));
    return e ? e->number() : 0;
}

/// Test names from the rows' labels (letters and digits), so that a failure says which row broke.
template <class Row> std::string labelled(const ::testing::TestParamInfo<Row>& info)
{
    std::string name;
    for (const char* c = info.param.label; *c != 0; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
    return name;
}

/// A scratch folder, removed with everything in it (even what was made read-only) at the end of
/// the scope.
class TempDir {
public:
    explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path())
    {
        // A name nobody holds yet, made by whoever creates it first.
        std::random_device random;
        for (int attempt = 0; attempt < 100 && m_path.empty(); ++attempt) {
            const std::filesystem::path candidate = base / ("kor2-test-" + std::to_string(random()));
            std::error_code ec;
            if (std::filesystem::create_directory(candidate, ec))
                m_path = candidate;
        }
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace kor2test
