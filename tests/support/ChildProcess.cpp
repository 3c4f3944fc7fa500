#include "ChildProcess.h"

#include "Guards.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kor2test {

Child::Child(const std::function<int(int pipe)>& body)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    if ((m_pid = ::fork()) == 0) {
        ::close(fds[0]);
        int status = 1;
        try {
            status = body(fds[1]);
        } catch (...) {
        }
        ::_exit(status);
    }
    ::close(fds[1]);
    m_pipe = fds[0];
}

Child::~Child()
{
    kill();
    wait();
    if (m_pipe >= 0)
        ::close(m_pipe);
}

void Child::kill()
{
    if (m_pid > 0 && !m_status)
        ::kill(m_pid, SIGKILL);
}

int Child::wait()
{
    if (int status = 0; !m_status && m_pid > 0 && ::waitpid(m_pid, &status, 0) == m_pid)
        m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return m_status.value_or(-1);
}

std::string Child::readAll()
{
    std::string text;
    char buffer[4096];
    for (ssize_t n; m_pipe >= 0 && (n = ::read(m_pipe, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    return text;
}

Outcome runProgram(std::vector<std::string> args, const Launch& launch)
{
    const auto slurp = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    TempDir scratch;
    const std::string in = scratch.file("in"), err = scratch.file("err");
    const std::string out = launch.stdoutPath.empty() ? scratch.file("out") : launch.stdoutPath;
    std::ofstream(in, std::ios::binary) << launch.input;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (const std::string entry = *e; !launch.env.contains(entry.substr(0, entry.find('='))))
            env.push_back(entry);
    for (const auto& [name, value] : launch.env)
        if (value)
            env.push_back(name + "=" + *value);
    std::vector<char*> argv, envp;
    for (auto [from, to] : {std::pair{&args, &argv}, std::pair{&env, &envp}}) {
        for (auto& text : *from)
            to->push_back(text.data());
        to->push_back(nullptr);
    }
    Child child([&](int) {
        const int fds[] = {::open(in.c_str(), O_RDONLY), ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                           ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600)};
        for (int fd = 0; fd < 3; ++fd)
            if (fds[fd] < 0 || ::dup2(fds[fd], fd) < 0)
                return 126;
        const rlimit limit{launch.fileSizeLimit, launch.fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_DFL);  // as a shell leaves it: the program must turn it into EFBIG itself
        ::alarm(60);
        ::execve(argv[0], argv.data(), envp.data());
        return 127;
    });
    const int status = child.wait();
    return {status, launch.stdoutPath.empty() ? slurp(out) : std::string(), slurp(err)};
}

} // namespace kor2test
