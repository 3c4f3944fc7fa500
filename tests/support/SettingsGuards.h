#pragma once
// Environment variables set for a scope; what a file looks like from outside, to tell whether
// anything touched it.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>

namespace kor2test {

/// Sets (or, with nothing, unsets) one environment variable until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        set(value);
    }
    ~ScopedEnv() { set(m_old); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void set(const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(m_name, value->c_str(), 1);
        else
            ::unsetenv(m_name);
    }
    const char* m_name;
    std::optional<std::string> m_old;
};

/// Contents, mode and modification time of a file or folder (a folder's contents are its names).
struct Look {
    std::string contents;
    unsigned mode = 0;
    long long mtimeNs = -1;
    bool operator==(const Look&) const = default;
};

inline Look look(const std::filesystem::path& path)
{
    Look l;
    struct stat st{};
    if (::stat(path.c_str(), &st) != 0)
        return l;
    l.mode = st.st_mode & 07777;
    l.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    if (S_ISDIR(st.st_mode)) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(path))
            names.insert(entry.path().filename().string());
        for (const auto& name : names)
            l.contents += name + "\n";
    } else {
        std::ifstream in(path, std::ios::binary);
        l.contents.assign(std::istreambuf_iterator<char>(in), {});
    }
    return l;
}

inline unsigned modeOf(const std::filesystem::path& path) { return look(path).mode; }

} // namespace kor2test
