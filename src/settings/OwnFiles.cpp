#include "settings/OwnFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace Kor2_Sys::settings {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    explicit operator bool() const { return m_fd >= 0; }
    int get() const { return m_fd; }

private:
    int m_fd;
};

// O_NOFOLLOW makes a link at the last step fail the open, so whatever the descriptor reaches was
// at that name itself. O_NONBLOCK keeps a FIFO planted there from holding the open.
Descriptor openWithoutFollowing(const std::string& path, int flags)
{
    int fd;
    do
        fd = ::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    while (fd < 0 && errno == EINTR);
    return Descriptor(fd);
}

bool mine(const struct stat& found)
{
    return ::geteuid() == 0 || found.st_uid == ::geteuid();
}

} // namespace

void giveOwnerWrite(const std::string& path)
{
    const Descriptor fd = openWithoutFollowing(path, O_RDONLY);
    struct stat found{};
    if (!fd || ::fstat(fd.get(), &found) != 0 || !S_ISREG(found.st_mode))
        return;
    if ((found.st_mode & S_IWUSR) == 0 && mine(found))
        ::fchmod(fd.get(), (found.st_mode & 07777) | S_IWUSR);
}

void keepFolderPrivate(const std::string& path)
{
    const Descriptor fd = openWithoutFollowing(path, O_RDONLY | O_DIRECTORY);
    struct stat found{};
    if (!fd || ::fstat(fd.get(), &found) != 0 || !S_ISDIR(found.st_mode))
        return;
    if ((found.st_mode & 07777) != 0700 && mine(found))
        ::fchmod(fd.get(), 0700);
}

std::optional<std::string> strangeSideFile(const std::string& store)
{
    for (const std::string_view suffix : kSideSuffixes) {
        std::string side = store + std::string(suffix);
        struct stat found{};
        if (::lstat(side.c_str(), &found) == 0 && !S_ISREG(found.st_mode))
            return side;
    }
    return std::nullopt;
}

} // namespace Kor2_Sys::settings
