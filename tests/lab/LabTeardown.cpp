#include "tests/lab/LabTeardown.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::lab {

namespace {

// Fixed storage: the teardown runs from signal handlers, so it may not allocate.
char g_script[4096];
char g_prefix[64];
char g_down[] = "down";
int g_hostMountNs = -1;      // the machine's mount namespace, for lab.sh down
int g_guardian = -1;         // our end of the guardian's socket
pid_t g_owner = -1;          // the test process; a fork of it never tears down
std::atomic<int> g_state{0}; // 0 armed-or-not, 1 running, 2 done, 3 failed

[[noreturn]] void ExecDown()
{
    char* argv[] = {g_script, g_down, g_prefix, nullptr};
    execv(g_script, argv);
    _exit(127);
}

// The guardian sits in the machine's namespaces and waits for this process to
// end; unless told the lab is already down, it takes it down. It is a
// grandchild handed to init, so killing this process with its descendants
// (as CTest does on a timeout) leaves it running.
void StartGuardian()
{
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0)
        return;
    const pid_t child = fork();
    if (child == 0) {
        close(sv[0]);
        setsid(); // outlives a signal sent to our process group
        if (fork() != 0)
            _exit(0);
        const int devNull = open("/dev/null", O_RDWR);
        if (devNull >= 0) {
            dup2(devNull, 0);
            dup2(devNull, 1);
            dup2(devNull, 2);
        }
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != sv[1])
                close(fd);
        char c = 0;
        ssize_t n;
        do {
            n = read(sv[1], &c, 1);
        } while (n < 0 && errno == EINTR);
        if (n == 1 && c == 'd')
            _exit(0);
        ExecDown();
    }
    close(sv[1]);
    if (child < 0) {
        close(sv[0]);
        return;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    g_guardian = sv[0];
}

void OnFatalSignal(int sig)
{
    TearDownLab();
    raise(sig); // SA_RESETHAND restored the default action
}

void InstallSignalHandlers()
{
    struct sigaction sa
    {
    };
    sa.sa_handler = OnFatalSignal;
    sa.sa_flags = SA_RESETHAND;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(sig, &sa, nullptr);
}

void TearDownAtExit()
{
    TearDownLab();
}

} // namespace

void ArmTeardown(const std::string& script, const std::string& prefix)
{
    g_owner = getpid();
    snprintf(g_script, sizeof g_script, "%s", script.c_str());
    snprintf(g_prefix, sizeof g_prefix, "%s", prefix.c_str());
    g_hostMountNs = open("/proc/self/ns/mnt", O_RDONLY | O_CLOEXEC);
    StartGuardian();
    InstallSignalHandlers();
    atexit(TearDownAtExit);
    std::set_terminate([] {
        TearDownLab();
        abort();
    });
}

bool TearDownLab()
{
    // A fork of the test process (a death test, a helper) exiting or dying
    // must leave the lab to the process that owns it.
    if (getpid() != g_owner)
        return false;
    int expected = 0;
    if (!g_state.compare_exchange_strong(expected, 1))
        return g_state.load() == 2;
    if (g_script[0] == '\0') {
        g_state = 3;
        return false;
    }
    int status = -1;
    const pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0); // a Ctrl-C meant for the tests must not cut the teardown short
        // lab.sh works in the machine's mount namespace: deleting a namespace
        // there is what frees it.
        if (g_hostMountNs >= 0)
            setns(g_hostMountNs, CLONE_NEWNS);
        ExecDown();
    }
    if (pid > 0) {
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    const bool ok = pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (ok && g_guardian >= 0) {
        send(g_guardian, "d", 1, MSG_NOSIGNAL);
        close(g_guardian);
        g_guardian = -1;
    }
    g_state = ok ? 2 : 3;
    return ok;
}

} // namespace velmora::lab
