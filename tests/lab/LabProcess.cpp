#include "tests/lab/LabProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velmora::lab {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> CArgv(const std::vector<std::string>& argv)
{
    std::vector<char*> out;
    out.reserve(argv.size() + 1);
    for (const std::string& a : argv)
        out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void ExecChild(char* const* argv, int outFd)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    setpgid(0, 0); // its own group, so a timeout ends its children too
    int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0)
        dup2(devNull, 0);
    dup2(outFd, 1);
    dup2(outFd, 2);
    execvp(argv[0], argv);
    const char msg[] = "lab: exec failed\n";
    ssize_t ignored = write(2, msg, sizeof msg - 1);
    (void)ignored;
    _exit(127);
}

int DecodeStatus(int status)
{
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ExecResult RunProgram(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    ExecResult result;
    if (argv.empty())
        return result;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return result;
    std::vector<char*> cargv = CArgv(argv);
    pid_t pid = fork();
    if (pid == 0)
        ExecChild(cargv.data(), fds[1]);
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return result;
    }
    setpgid(pid, pid);

    const auto deadline = Clock::now() + timeout;
    bool exited = false;
    int status = 0;
    char buf[4096];
    for (;;) {
        if (!exited && waitpid(pid, &status, WNOHANG) == pid)
            exited = true;
        pollfd p{fds[0], POLLIN, 0};
        int ready = poll(&p, 1, exited ? 0 : 50);
        if (ready > 0) {
            ssize_t n = read(fds[0], buf, sizeof buf);
            if (n > 0) {
                result.output.append(buf, static_cast<size_t>(n));
                continue;
            }
            if (n == 0 || errno != EINTR)
                break; // every writer is gone
        } else if (exited) {
            break; // a daemon it left behind may hold the pipe: do not wait for it
        }
        if (Clock::now() >= deadline) {
            result.timedOut = true;
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            break;
        }
    }
    close(fds[0]);
    if (!exited) {
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    result.exitCode = DecodeStatus(status);
    return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv,
                                     const std::string& outputFile)
    : outputFile_(outputFile)
{
    if (argv.empty())
        return;
    int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (out < 0)
        return;
    std::vector<char*> cargv = CArgv(argv);
    pid_t pid = fork();
    if (pid == 0)
        ExecChild(cargv.data(), out);
    close(out);
    if (pid > 0) {
        setpgid(pid, pid);
        pid_ = pid;
    }
}

BackgroundProcess::~BackgroundProcess()
{
    stop();
}

BackgroundProcess::BackgroundProcess(BackgroundProcess&& other) noexcept
{
    *this = std::move(other);
}

BackgroundProcess& BackgroundProcess::operator=(BackgroundProcess&& other) noexcept
{
    if (this != &other) {
        stop();
        pid_ = other.pid_;
        status_ = other.status_;
        outputFile_ = std::move(other.outputFile_);
        other.pid_ = -1;
    }
    return *this;
}

bool BackgroundProcess::running()
{
    if (pid_ <= 0)
        return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = DecodeStatus(status);
        pid_ = -1;
        return false;
    }
    return true;
}

std::string BackgroundProcess::output() const
{
    std::ifstream in(outputFile_, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool BackgroundProcess::waitForOutput(const std::string& text, std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (output().find(text) != std::string::npos)
            return true;
        if (!running() || Clock::now() >= deadline)
            return output().find(text) != std::string::npos;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int BackgroundProcess::wait(std::chrono::milliseconds timeout)
{
    const auto deadline = Clock::now() + timeout;
    while (running()) {
        if (Clock::now() >= deadline)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
}

int BackgroundProcess::stop()
{
    if (pid_ <= 0)
        return status_;
    kill(-pid_, SIGTERM);
    kill(pid_, SIGTERM);
    if (wait(std::chrono::seconds(3)) < 0 && running()) {
        kill(-pid_, SIGKILL);
        kill(pid_, SIGKILL);
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        status_ = DecodeStatus(status);
        pid_ = -1;
    }
    return status_;
}

} // namespace velmora::lab
