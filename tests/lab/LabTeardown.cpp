#include "tests/lab/LabTeardown.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace velmora::lab {

namespace {

// Fixed storage: the teardown runs from signal handlers, so it may not allocate.
char g_script[4096];
char g_prefix[64];
char g_down[] = "down";
char g_spareFlag[] = "--spare";
char g_ownerPid[24];         // the test process, which lab.sh down must not end
int g_guardian = -1;         // our end of the guardian's socket
pid_t g_owner = -1;          // the test process; a fork of it never tears down
std::atomic<int> g_state{0}; // 0 armed-or-not, 1 running, 2 done, 3 failed

[[noreturn]] void ExecDown()
{
    char* argv[] = {g_script, g_down, g_prefix, g_spareFlag, g_ownerPid, nullptr};
    execv(g_script, argv);
    _exit(127);
}

// Runs `lab.sh down` in a child of the guardian; true when it succeeded.
bool RunDown()
{
    const pid_t child = fork();
    if (child == 0)
        ExecDown();
    int status = -1;
    while (child > 0 && waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return child > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The guardian is the one process that takes the lab down. It is forked
// before the test process enters the lab's network namespace and its own
// mount namespace, and it never leaves the namespaces (nor the root folder)
// the lab was made from: the script it runs is the one found there, never a
// path looked up after changing namespaces, and deleting a namespace there
// is what frees it. It waits for the test process to ask ('t': take it down
// now and answer); when the test process ends without asking, whatever
// killed it, it takes the lab down all the same. It is a
// grandchild handed to init, so killing the test process with its
// descendants (as CTest does on a timeout) leaves it running.
bool StartGuardian()
{
    int sv[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0)
        return false;
    const pid_t child = fork();
    if (child == 0) {
        close(sv[0]);
        setsid(); // outlives a signal sent to our process group, a Ctrl-C included
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
        const char answer = RunDown() ? '0' : '1';
        if (n == 1 && c == 't')
            send(sv[1], &answer, 1, MSG_NOSIGNAL);
        _exit(0);
    }
    close(sv[1]);
    if (child < 0) {
        close(sv[0]);
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    g_guardian = sv[0];
    return true;
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

bool ArmTeardown(const std::string& script, const std::string& prefix)
{
    g_owner = getpid();
    snprintf(g_script, sizeof g_script, "%s", script.c_str());
    snprintf(g_prefix, sizeof g_prefix, "%s", prefix.c_str());
    snprintf(g_ownerPid, sizeof g_ownerPid, "%d", static_cast<int>(g_owner));
    if (!StartGuardian())
        return false;
    InstallSignalHandlers();
    atexit(TearDownAtExit);
    std::set_terminate([] {
        TearDownLab();
        abort();
    });
    return true;
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
    char answer = 0;
    bool ok = false;
    if (g_guardian >= 0 && send(g_guardian, "t", 1, MSG_NOSIGNAL) == 1) {
        ssize_t n;
        do {
            n = read(g_guardian, &answer, 1);
        } while (n < 0 && errno == EINTR);
        ok = n == 1 && answer == '0';
    }
    if (g_guardian >= 0) {
        close(g_guardian);
        g_guardian = -1;
    }
    g_state = ok ? 2 : 3;
    return ok;
}

} // namespace velmora::lab
