#include "Io.h"

#include "JsonReader.h"

#include "frame/SystemReason.h"
#include "frame/Wipe.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string_view>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kor2cli {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(Descriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    /// Closes now; the errno of a failed close (0 when it worked).
    int close()
    {
        const int rc = ::close(std::exchange(m_fd, -1));
        return rc == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// The errno of the first failing write, 0 when everything was written.
int writeAll(int fd, std::string_view content)
{
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

[[noreturn]] void writeFailed(const std::string& path, int errnum)
{
    throw IoError("no se puede escribir " + shownPath(path) + ": " + reason(errnum));
}

// Devices and pipes have no folder entry of their own to replace: they take the bytes as they
// come, and only their write errors are ours to report.
void writeInPlace(const std::string& path, std::string_view content, int flags)
{
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | flags, 0600));
    if (fd.get() < 0)
        writeFailed(path, errno);
    if (const int e = writeAll(fd.get(), content))
        writeFailed(path, e);
    if (const int e = fd.close())
        writeFailed(path, e);
}

void syncFolder(const std::string& folder)
{
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());  // the rename is done; a folder that cannot sync it is no reason to fail
}

// A temporary file beside `name` is ".NAME.kor2-" and six characters (mkostemp's pattern).
constexpr std::string_view kTemporaryTag = ".kor2-";
constexpr std::size_t kTemporaryUnique = 6;

bool isTemporaryOf(std::string_view entry, std::string_view name)
{
    return entry.size() == 1 + name.size() + kTemporaryTag.size() + kTemporaryUnique && entry[0] == '.' &&
           entry.substr(1, name.size()) == name && entry.substr(1 + name.size(), kTemporaryTag.size()) == kTemporaryTag;
}

// A run that was killed while writing leaves its temporary file behind, and nothing else would ever
// remove it. The writer holds a lock on its file for as long as it lives, so a file of our pattern
// that can be locked belongs to no one; the lock is kept while it is removed, and the name must
// still be that file, so that a file made since under the same name is left alone.
void removeStaleTemporaries(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;  // the write itself reports what is wrong with the folder
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryOf(entry->d_name, name))
            continue;
        const std::string path = folder + "/" + entry->d_name;
        Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK));
        struct stat held {}, named {};
        if (fd.get() < 0 || ::fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode) ||
            ::flock(fd.get(), LOCK_EX | LOCK_NB) != 0)
            continue;
        if (::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// A new private (0600) temporary file for `name`, locked for as long as this run holds it. A file
// that a cleaner removed between its creation and the lock is given up for another.
Descriptor lockedTemporary(const std::string& folder, const std::string& name, std::string& temporary)
{
    for (;;) {
        temporary = folder + "/." + name + std::string(kTemporaryTag) + "XXXXXX";
        Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
        if (fd.get() < 0)
            return fd;
        struct stat st {};
        if (::flock(fd.get(), LOCK_EX) != 0 || ::fstat(fd.get(), &st) != 0) {
            const int e = errno;
            ::unlink(temporary.c_str());
            errno = e;
            return Descriptor(-1);
        }
        if (st.st_nlink > 0)
            return fd;
    }
}

// Standard output written with write(2), so that the errno of a failed write is kept for the
// message rather than lost inside a stream.
class CheckedOutput final : public std::streambuf {
public:
    CheckedOutput() { setp(m_buffer, m_buffer + sizeof m_buffer); }
    int error() const { return m_error; }

protected:
    int_type overflow(int_type c) override
    {
        if (!drain())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return drain() ? 0 : -1; }

private:
    bool drain()
    {
        const auto used = static_cast<std::size_t>(pptr() - pbase());
        if (m_error == 0)
            m_error = writeAll(STDOUT_FILENO, std::string_view(pbase(), used));
        // What went out may be a password (kor2 login): the buffer keeps no copy of it.
        Kor2_Sys::wipe::bytes(pbase(), used);
        setp(m_buffer, m_buffer + sizeof m_buffer);  // after a failure the rest is dropped
        return m_error == 0;
    }

    char m_buffer[1 << 16];
    int m_error = 0;
};

class WipingInput final : public std::streambuf {
protected:
    int_type underflow() override
    {
        // Everything read before has been consumed: none of it stays behind.
        Kor2_Sys::wipe::bytes(m_buffer, sizeof m_buffer);
        ssize_t n;
        do
            n = ::read(STDIN_FILENO, m_buffer, sizeof m_buffer);
        while (n < 0 && errno == EINTR);
        if (n <= 0) {
            setg(m_buffer, m_buffer, m_buffer);
            return traits_type::eof();
        }
        setg(m_buffer, m_buffer, m_buffer + n);
        return traits_type::to_int_type(m_buffer[0]);
    }

private:
    char m_buffer[1 << 16];
};

// Never destroyed: the standard streams flush at exit, after function statics are gone.
CheckedOutput& checkedOutput()
{
    static auto* buffer = new CheckedOutput;
    return *buffer;
}

} // namespace

std::string reason(int errnum)
{
    return Kor2_Sys::systemReason(errnum);
}

// Paths are the user's own words; quoted, not trusted to be printable.
std::string shownPath(const std::string& path)
{
    return excerpt(path, 400);
}

std::string readFileArgument(const std::string& path, std::string_view what, std::size_t limit)
{
    const std::string named = std::string(what) + " " + shownPath(path);
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        const int e = errno;
        if (e == ENOENT || e == ENOTDIR || e == ENAMETOOLONG || e == ELOOP)
            throw std::invalid_argument("no se puede leer " + named + ": " + reason(e));
        throw IoError("no se puede leer " + named + ": " + reason(e));
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw IoError("no se puede leer " + named + ": " + reason(errno));
    if (S_ISDIR(st.st_mode))
        throw std::invalid_argument("no se puede leer " + named + ": " + reason(EISDIR));
    const auto tooLong = [&] {
        return std::invalid_argument(named + " pasa de " + std::to_string(limit >> 20) + " MiB");
    };
    if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) > limit)
        throw tooLong();
    // A file may hold a password (a window script typing one): neither the chunk on the stack nor
    // a buffer the content grows out of keeps a copy.
    std::string content;
    if (S_ISREG(st.st_mode))
        content.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[1 << 16];
    const auto done = [&] { Kor2_Sys::wipe::bytes(chunk, sizeof chunk); };
    for (;;) {
        const ssize_t n = ::read(fd.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            done();
            throw IoError("no se puede leer " + named + ": " + reason(errno));
        }
        if (n == 0) {
            done();
            return content;
        }
        if (content.size() + static_cast<std::size_t>(n) > limit) {
            done();
            Kor2_Sys::wipe::text(content);
            throw tooLong();
        }
        Kor2_Sys::wipe::reserve(content, content.size() + static_cast<std::size_t>(n));
        content.append(chunk, static_cast<std::size_t>(n));
    }
}

void writeFileReplacing(const std::string& path, std::string_view content)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw std::invalid_argument("no se puede escribir " + shownPath(path) + ": " + reason(EISDIR));
        if (!S_ISREG(st.st_mode))
            return writeInPlace(path, content, 0);
    } else if (struct stat link {}; ::lstat(path.c_str(), &link) == 0) {
        // A link to nothing yet: creating its target keeps the link.
        return writeInPlace(path, content, O_CREAT | O_TRUNC);
    }

    // Through a link the file it names is the one replaced.
    std::string target = path;
    if (char resolved[PATH_MAX]; ::realpath(path.c_str(), resolved) != nullptr)
        target = resolved;
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    removeStaleTemporaries(folder, name);
    std::string temporary;
    Descriptor fd = lockedTemporary(folder, name, temporary);
    if (fd.get() < 0)
        writeFailed(path, errno);
    int e = writeAll(fd.get(), content);
    if (e == 0 && ::fsync(fd.get()) != 0)
        e = errno;
    // Renamed while still open and locked: a closed temporary file is anyone's to clean away.
    if (e == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        e = errno;
    if (const int closed = fd.close(); e == 0)
        e = closed;
    if (e != 0) {
        ::unlink(temporary.c_str());
        writeFailed(path, e);
    }
    syncFolder(folder);
}

std::istream& standardInput()
{
    static auto* buffer = new WipingInput;
    static auto* stream = new std::istream(buffer);
    return *stream;
}

void checkStandardOutput()
{
    std::cout.rdbuf(&checkedOutput());
}

int finishStandardOutput(int status)
{
    std::cout.flush();
    int e = checkedOutput().error();
    if (e == 0 && !std::cout)
        e = EIO;  // a stream that failed without a write error of its own
    errno = 0;
    if (e == 0 && (std::fflush(stdout) != 0 || std::ferror(stdout)))
        e = errno != 0 ? errno : EIO;
    if (e == 0)
        return status;
    std::cerr << "kor2: no se puede escribir la salida: " << reason(e) << "\n";
    return 3;
}

} // namespace kor2cli
