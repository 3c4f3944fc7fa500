// The wildcard file search: the first ordinary, visible file of a folder whose name matches a
// pattern of * and ?.
#include "platform/linux/LinuxSystemInfo.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <memory>

namespace Kor2_Sys::platform::linuxos {
namespace {

bool notFound(int error)
{
    return error == ENOENT || error == ENOTDIR;
}

// Patterns and names compare character by character, so that ? stands for one accented letter.
std::u32string codePoints(std::string_view text)
{
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        bool valid = length > 0 && i + length <= text.size();
        char32_t c = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // A byte that starts no character stands for itself, apart from every character.
        out += valid ? c : char32_t(0x110000 + lead);
        i += valid ? length : 1;
    }
    return out;
}

bool wildcardMatch(std::u32string_view pattern, std::u32string_view name)
{
    std::size_t p = 0, n = 0, star = std::u32string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == U'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            star = p++;
            resume = n;
        } else if (star != std::u32string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*')
        ++p;
    return p == pattern.size();
}

// Runs of * mean one *, and "*.*" means every name, as hosts written for the original platform expect.
std::string simplified(std::string_view pattern)
{
    std::string out;
    for (char c : pattern)
        if (c != '*' || out.empty() || out.back() != '*')
            out += c;
    return out == "*.*" || out.empty() ? "*" : out;
}

bool hidden(std::string_view name)
{
    return name.starts_with('.');
}

} // namespace

std::optional<std::string> LinuxSystemInfo::firstFile(const std::string& path)
{
    if (path.find('\0') != std::string::npos)
        throw systemError(EINVAL, path);
    const auto slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string pattern = simplified(slash == std::string::npos ? path : path.substr(slash + 1));
    if (pattern.size() > NAME_MAX)
        throw systemError(ENAMETOOLONG, path);

    struct stat st {};
    if (pattern.find_first_of("*?") == std::string::npos) {
        const std::string file = folder + "/" + pattern;
        if (::stat(file.c_str(), &st) != 0) {
            if (notFound(errno))
                return std::nullopt;
            throw systemError(errno, path);
        }
        return S_ISREG(st.st_mode) && !hidden(pattern) ? std::optional(pattern) : std::nullopt;
    }

    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), &::closedir);
    if (!dir) {
        if (notFound(errno))
            return std::nullopt;
        throw systemError(errno, path);
    }
    const std::u32string wanted = codePoints(pattern);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir.get());
        if (entry == nullptr) {
            if (errno != 0)
                throw systemError(errno, path);
            return std::nullopt;
        }
        const std::string_view name = entry->d_name;
        if (hidden(name) || !wildcardMatch(wanted, codePoints(name)))
            continue;
        // Symbolic links count as what they lead to; an entry that vanished meanwhile is skipped.
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            return std::string(name);
    }
}

} // namespace Kor2_Sys::platform::linuxos
