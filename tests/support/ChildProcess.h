#pragma once
// Other processes for tests that need one: a forked copy of the test running a function, and a
// program started as a script starts it.

#include <sys/resource.h>
#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kor2test {

/// A forked copy of the test running `body` with the writing end of a pipe; it exits with what
/// `body` returns (1 when it throws) and never returns into the test runner. A child still
/// running when the object goes is killed and reaped, so none outlives its test.
class Child {
public:
    explicit Child(const std::function<int(int pipe)>& body);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool started() const { return m_pid > 0; }
    /// The reading end of the pipe.
    int pipe() const { return m_pipe; }
    /// Stops it at once, wherever it was.
    void kill();
    /// Waits for its end: the exit status, or 128 + the signal that ended it.
    int wait();
    /// Everything it writes into the pipe until it closes it.
    std::string readAll();

private:
    pid_t m_pid = -1;
    int m_pipe = -1;
    std::optional<int> m_status;
};

/// How a program is started: standard input, where standard output goes (empty: captured),
/// changes to this environment (nothing: unset) and the file-size limit.
struct Launch {
    std::string input;
    std::string stdoutPath;
    std::map<std::string, std::optional<std::string>> env;
    rlim_t fileSizeLimit = RLIM_INFINITY;
};

/// How a program ended: exit status (128 + signal when one ended it), output and error streams.
struct Outcome {
    int status = -1;
    std::string out, err;
};

/// Runs `argv` (the first word a path) to its end with SIGXFSZ as a shell leaves it; a run past
/// 60 s is stopped, so that a hang fails instead of stopping the suite.
Outcome runProgram(std::vector<std::string> argv, const Launch& launch = {});

} // namespace kor2test
