// cls_Loging in the process around its window: the call without a display, and that no copy of
// the password outlives its reader (scanned in this process and in a kor2 session's).
#include <Kor2_Sys/Kor2_Sys.h>
#include <Kor2_Sys/cls_Loging.h>

#include "Actions.h"
#include "Guards.h"
#include "Player.h"
#include "SettingsGuards.h"
#include "frame/Wipe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <span>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Kor2_Sys;
using namespace kor2test;

namespace {

// No display: the call fails with error 68 as every window does, and nothing is assigned.
TEST(Login, WithoutADisplayFailsWithError68)
{
    kor2test::ScopedEnv platform("QT_QPA_PLATFORM", std::nullopt), x11("DISPLAY", std::nullopt),
        wayland("WAYLAND_DISPLAY", std::nullopt);
    platform::ScopedWindowSystem none(nullptr);
    cls_Loging login;
    login.Password = u"previa";
    EXPECT_EQ(errorOf([&] { login.ShowDialog(); }), 68);
    EXPECT_FALSE(login.Acept);
    EXPECT_EQ(login.Password, u"previa");
}

// --- no copy of a password outlives its reader -------------------------------------------------

/// Bytes the test holds itself, which the scan passes over.
struct Own {
    const void* data;
    std::size_t size;
};

struct Copies {
    std::size_t count = 0;
    std::uintptr_t first = 0;
};

// How many times a needle occurs in the readable private memory (heap, stacks, data) of process
// `pid` (0: this one), outside the test's own copies, and a stack needle on the main stack, where
// what is left are pieces as short as one vector register. The scan allocates nothing on the
// heap: it would be handed the very blocks the code under test released, and overwrite what it
// looks for.
Copies copiesInMemory(pid_t pid, std::span<const std::string_view> needles, std::span<const Own> own,
                      std::span<const std::string_view> stackNeedles = {})
{
    constexpr std::size_t kChunk = std::size_t{1} << 20, kOverlap = 256, kMaxRegions = 1 << 14;
    static struct {
        std::uintptr_t begin, end;
        bool stack;
    } regions[kMaxRegions];
    char path[48];
    const auto open = [&](const char* name) {
        std::snprintf(path, sizeof path, "/proc/%d/%s", static_cast<int>(pid == 0 ? ::getpid() : pid), name);
        return ::open(path, O_RDONLY | O_CLOEXEC);
    };
    void* buffer = ::mmap(nullptr, kChunk + kOverlap, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (buffer == MAP_FAILED)
        return {SIZE_MAX, 0};
    auto* chunk = static_cast<char*>(buffer);
    std::size_t count = 0, size = 0;
    const int maps = open("maps");
    for (ssize_t n; (n = ::read(maps, chunk + size, kChunk - size - 1)) > 0;)
        size += static_cast<std::size_t>(n);
    ::close(maps);
    chunk[size] = '\0';
    // "begin-end perms ... [stack]": readable ('r') and private ('p') mappings.
    for (char *at = chunk, *next; *at != '\0' && count < kMaxRegions && (next = std::strchr(at, '\n')); at = next + 1) {
        *next = '\0';
        const std::uintptr_t begin = std::strtoull(at, &at, 16), end = std::strtoull(at + 1, &at, 16);
        if (at[1] == 'r' && at[4] == 'p')
            regions[count++] = {begin, end, std::strstr(at, "[stack]") != nullptr};
    }
    const auto inside = [](std::uintptr_t at, const void* begin, std::size_t length) {
        return at - reinterpret_cast<std::uintptr_t>(begin) < length;
    };
    Copies copies;
    const int mem = open("mem");
    for (std::size_t r = 0; r < count; ++r) {
        for (std::uintptr_t at = regions[r].begin; at < regions[r].end; at += kChunk) {
            const ssize_t got = ::pread(mem, chunk, std::min<std::uintptr_t>(kChunk + kOverlap, regions[r].end - at),
                                        static_cast<off_t>(at));
            if (got <= 0)
                continue;  // a region the kernel does not let us read (guard pages, vvar)
            for (const std::span<const std::string_view> list : {needles, regions[r].stack ? stackNeedles : needles.first(0)})
            for (const std::string_view needle : list) {
                const char* end = chunk + got;
                for (const char* hit = chunk;
                     (hit = static_cast<const char*>(::memmem(hit, static_cast<std::size_t>(end - hit), needle.data(),
                                                              needle.size())));
                     ++hit) {
                    const std::uintptr_t where = at + static_cast<std::uintptr_t>(hit - chunk);
                    if (hit - chunk >= static_cast<std::ptrdiff_t>(kChunk) ||
                        (pid == 0 && (inside(where, buffer, kChunk + kOverlap) ||
                                      std::any_of(own.begin(), own.end(),
                                                  [&](const Own& o) { return inside(where, o.data, o.size); }))))
                        continue;
                    copies.first = copies.count++ == 0 ? where : copies.first;
                }
            }
            wipe::bytes(chunk, static_cast<std::size_t>(got));
        }
    }
    ::close(mem);
    ::munmap(buffer, kChunk + kOverlap);
    return copies;
}

/// A process that handled the password, scanned while it lives: 0 is the test itself.
struct Scanned {
    pid_t pid = 0;
    int input = -1;  ///< its standard input, closed to end it
};

struct LeakCase {
    const char* label;
    /// Hands `password` to the library and reads it back; the test's copies are its own to wipe.
    std::function<Scanned(const Text& password, const std::string& utf8)> run;
    /// Its length in characters, long enough that the buffers it passes through grow on the way.
    std::size_t length = 100;
};

class NoCopyLeft : public ::testing::TestWithParam<LeakCase> {};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

TEST_P(NoCopyLeft, AfterTheReaderReleasesTheObject)
{
    if (kAddressSanitizer)
        GTEST_SKIP() << "the sanitizer's shadow memory is terabytes of readable mappings; the plain build scans";
    // Made here, never a literal: "clave-ñ-" and random letters and digits, up to 100 characters.
    constexpr char kDigits[] = "abcdefghijkmnpqrstuvwxyz23456789";
    std::random_device random;
    Text password;
    password.reserve(128);
    password = u"clave-\u00F1-";
    while (password.size() < std::min<std::size_t>(GetParam().length, 100))
        password += static_cast<char16_t>(kDigits[random() % 32]);
    std::string utf8;
    utf8.reserve(136);
    utf8 = "clave-\xC3\xB1-";
    for (std::size_t i = 8; i < password.size(); ++i)
        utf8 += static_cast<char>(password[i]);
    // Views into the test's own two copies: in each encoding, a piece just past the bytes a released
    // block loses (which also finds a copy of the start, left by a buffer that grew) and the end.
    const std::string_view utf16(reinterpret_cast<const char*>(password.data()), 2 * password.size());
    const std::array<std::string_view, 4> needles = {utf16.substr(16, 32), utf16.substr(utf16.size() - 32),
                                                     std::string_view(utf8).substr(16, 16),
                                                     std::string_view(utf8).substr(utf8.size() - 16)};
    const std::array<Own, 2> own = {{{password.data(), 2 * password.capacity()}, {utf8.data(), utf8.capacity()}}};
    // On the stack: every piece of eight units, as one vector register holds them.
    std::array<std::string_view, 93> pieces;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        pieces[i] = utf16.substr(std::min(2 * i, utf16.size() - 16), 16);

    const Scanned process = GetParam().run(password, utf8);
    const Copies copies = copiesInMemory(process.pid, needles, own, pieces);
    wipe::text(password);
    wipe::text(utf8);
    int status = 0;
    EXPECT_TRUE(process.pid == 0 || (::close(process.input) == 0 && ::waitpid(process.pid, &status, 0) == process.pid &&
                                     WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;
    EXPECT_EQ(copies.count, 0u) << "the first at 0x" << std::hex << copies.first;
}

#ifdef KOR2_EXE
// kor2 session with its standard streams on pipes, after `requests` are answered: the requests
// are written byte by byte from a buffer that is wiped, so only the child's memory holds them.
// With `actions`, the session starts with that file of window scripts.
Scanned session(std::span<std::string> requests, const std::string& actions = {})
{
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in[0], 0);
        ::dup2(out[1], 1);
        ::alarm(60);
        if (actions.empty())
            ::execl(KOR2_EXE, KOR2_EXE, "--headless", "--settings", ":memory:", "session", nullptr);
        else
            ::execl(KOR2_EXE, KOR2_EXE, "--headless", "--settings", ":memory:", "--actions", actions.c_str(), "session",
                    nullptr);
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    for (std::string& request : requests) {
        EXPECT_EQ(::write(in[1], request.data(), request.size()), static_cast<ssize_t>(request.size()));
        wipe::text(request);
    }
    char answer[4096];
    for (std::size_t lines = 0, n;
         lines < requests.size() && (n = std::max<ssize_t>(::read(out[0], answer, sizeof answer), 0));) {
        EXPECT_EQ(std::string_view(answer, n).find("\"error\": {"), std::string_view::npos) << std::string_view(answer, n);
        lines += static_cast<std::size_t>(std::count(answer, answer + n, '\n'));
    }
    ::close(out[0]);
    // Scanned once it waits for the next request: until then it may still be wiping the last one.
    char syscall[32] = {}, path[48];
    std::snprintf(path, sizeof path, "/proc/%d/syscall", static_cast<int>(child));
    const std::string waiting = std::to_string(SYS_read) + " 0x0 ";
    for (int tries = 0; tries < 5000 && std::string_view(syscall).substr(0, waiting.size()) != waiting; ++tries) {
        ::usleep(1000);
        const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
        const ssize_t n = fd < 0 ? -1 : ::read(fd, syscall, sizeof syscall - 1);
        syscall[n > 0 ? n : 0] = '\0';
        ::close(fd);
    }
    return {child, in[1]};
}
#endif

// A script that types the password and accepts, built without a copy of the text beyond its own.
// Its block is larger than any later copy's, so that none of them is handed the same block (and
// overwrites what the script would have left there).
std::vector<script::WindowScript> typing(const Text& password)
{
    std::vector<script::WindowScript> scripts(1);
    scripts[0].window = "dlgLoging";
    scripts[0].actions.reserve(2);
    scripts[0].actions.push_back({.kind = Action::Kind::Type, .control = "txtPassword"});
    scripts[0].actions[0].text.reserve(4 * password.size());
    scripts[0].actions[0].text.assign(password);
    scripts[0].actions.push_back(click("cmdAcept"));
    return scripts;
}

// Reads the password back as a C host does, compares it, and frees everything the library handed out.
void readBackThroughTheCEntryPoints(kor2_object* login, const std::string& utf8)
{
    kor2_value* read = nullptr;
    EXPECT_EQ(kor2_invoke(login, "Password", KOR2_GET, nullptr, 0, &read, nullptr), 0);
    char* text = kor2_value_as_text(read, nullptr);
    EXPECT_STREQ(text, utf8.c_str());
    kor2_string_free(text);
    kor2_value_free(read);
    kor2_release(login);
}

INSTANTIATE_TEST_SUITE_P(Paths, NoCopyLeft, ::testing::Values(
    LeakCase{"typedAndReadThroughTheCEntryPoints", [](const Text& password, const std::string& utf8) {
        kor2test::ScopedHeadless ui(typing(password));
        kor2_object* login = nullptr;
        EXPECT_EQ(kor2_create("Kor2_Sys.cls_Loging", &login, nullptr), 0);
        EXPECT_EQ(kor2_invoke(login, "ShowDialog", KOR2_METHOD, nullptr, 0, nullptr, nullptr), 0);
        readBackThroughTheCEntryPoints(login, utf8);
        return Scanned{};
    }},
    LeakCase{"writtenAndReadThroughTheCEntryPoints", [](const Text&, const std::string& utf8) {
        kor2_object* login = nullptr;
        EXPECT_EQ(kor2_create("Kor2_Sys.cls_Loging", &login, nullptr), 0);
        kor2_value* written = kor2_value_text(utf8.c_str());
        EXPECT_EQ(kor2_invoke(login, "Password", KOR2_PUT, &written, 1, nullptr, nullptr), 0);
        kor2_value_free(written);
        readBackThroughTheCEntryPoints(login, utf8);
        return Scanned{};
    }}),
    [](const auto& info) { return std::string(info.param.label); });

#if KOR2_TEST_QT
INSTANTIATE_TEST_SUITE_P(Qt, NoCopyLeft, ::testing::Values(
    // Typed key by key into the real masked box: Qt's editor and its undo history held it too.
    // Forty characters: Qt's own editor leaves pieces of a longer one in the buffers it grows.
    LeakCase{"typedOnRealWidgets", [](const Text& password, const std::string&) {
        ScopedPlayer ui{Backend::Qt};
        ui->queue(typing(password));
        auto login = createObject("Kor2_Sys.cls_Loging");
        login->invoke("ShowDialog", InvokeKind::Method, {});
        Variant read = login->invoke("Password", InvokeKind::Get, {});
        EXPECT_TRUE(std::get<Text>(read.storage()) == password);
        wipe::value(read);
        return Scanned{};
    }, 40}),
    [](const auto& info) { return std::string(info.param.label); });
#endif

#ifdef KOR2_EXE
// The requests of the session rows. Each line is a block of its own, larger than any later copy's
// (see `typing`), with the password between `head` and `tail` when it carries one.
std::string request(std::string_view head, std::string_view password = {}, std::string_view tail = "\n")
{
    std::string line;
    line.reserve(512);
    line.append(head).append(password).append(tail);
    return line;
}
constexpr std::string_view kNewLogin = R"({"op":"new","class":"cls_Loging","id":"l"})" "\n";
constexpr std::string_view kSetPassword = R"({"op":"set","id":"l","member":"Password","value":")";
constexpr std::string_view kShowDialog = R"({"op":"call","id":"l","member":"ShowDialog"})" "\n";
constexpr std::string_view kRelease = R"({"op":"release","id":"l"})" "\n";
constexpr std::string_view kAccepted = R"("]},{"click":"cmdAcept"}]}]})" "\n";
constexpr std::string_view kTyped =
    R"({"op":"actions","windows":[{"window":"dlgLoging","do":[{"type":["txtPassword",")";
constexpr std::string_view kSetInTheBox =
    R"({"op":"actions","windows":[{"window":"dlgLoging","do":[{"set":["txtPassword",")";

INSTANTIATE_TEST_SUITE_P(Session, NoCopyLeft, ::testing::Values(
    // Set as a property in a padded request, then typed by a script: both lines and the stdio
    // buffer behind them once held it.
    LeakCase{"setAndTypedInASession", [](const Text&, const std::string& utf8) {
        std::array<std::string, 5> requests{
            request(kNewLogin), request(kSetPassword, utf8, "\"}" + std::string(160, ' ') + "\n"),
            request(kTyped, utf8, kAccepted),
            request(kShowDialog), request(kRelease)};
        return session(requests);
    }},
    // Set, then read back: the answers that carry it are written as they grow.
    LeakCase{"setAndReadBackInASession", [](const Text&, const std::string& utf8) {
        std::array<std::string, 4> requests{request(kNewLogin), request(kSetPassword, utf8, "\"}\n"),
                                            request(R"({"op":"get","id":"l","member":"Password"})" "\n"),
                                            request(kRelease)};
        return session(requests);
    }},
    // Typed by a script from the file the session started with.
    LeakCase{"typedFromAnActionsFile", [](const Text&, const std::string& utf8) {
        kor2test::TempDir dir;
        const std::string file = dir.file("acciones.json");
        {
            std::ofstream out(file, std::ios::binary);
            out << R"([{"window":"dlgLoging","do":[{"type":["txtPassword",")" << utf8
                << R"("]},{"click":"cmdAcept"}]}])";
        }
        std::array<std::string, 3> requests{request(kNewLogin), request(kShowDialog), request(kRelease)};
        return session(requests, file);
    }},
    // Put in the box by a script's "set" before the dialog is shown.
    LeakCase{"setByAScriptInASession", [](const Text&, const std::string& utf8) {
        std::array<std::string, 4> requests{
            request(kNewLogin),
            request(kSetInTheBox, utf8, kAccepted),
            request(kShowDialog), request(kRelease)};
        return session(requests);
    }}),
    [](const auto& info) { return std::string(info.param.label); });
#endif

} // namespace
