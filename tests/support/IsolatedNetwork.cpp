#include "tests/support/IsolatedNetwork.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace velmora::test {

namespace {

bool WriteProcFile(const char* path, const std::string& text)
{
    const int fd = open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(fd);
    return ok;
}

// Maps this user to root of a new user namespace, so that `ip` run from
// here keeps the namespace's network rights.
bool EnterUserNamespace()
{
    const uid_t uid = geteuid();
    const gid_t gid = getegid();
    return unshare(CLONE_NEWUSER | CLONE_NEWNET) == 0 &&
           WriteProcFile("/proc/self/setgroups", "deny") &&
           WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") &&
           WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1");
}

bool RunIp(std::vector<std::string> args)
{
    static const char* const kIp[] = {"/usr/sbin/ip", "/sbin/ip", "/usr/bin/ip", "/bin/ip"};
    const char* ip = nullptr;
    for (const char* path : kIp)
        if (access(path, X_OK) == 0 && !ip)
            ip = path;
    if (!ip) {
        std::fprintf(stderr, "isolated network: no ip program (iproute2)\n");
        return false;
    }
    args.insert(args.begin(), ip);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, ip, nullptr, nullptr, argv.data(), environ) != 0)
        return false;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool EnterIsolatedNetwork(bool withInterfaces)
{
    if (unshare(CLONE_NEWNET) != 0 && !EnterUserNamespace()) {
        std::fprintf(stderr, "isolated network: no network namespace can be made here (%s)\n",
                     std::strerror(errno));
        return false;
    }
    if (!withInterfaces)
        return true;
    const std::string other = std::string(kIsolatedOtherAddress) + "/24";
    const std::string address = std::string(kIsolatedAddress) + "/24";
    const std::vector<std::vector<std::string>> steps = {
        {"link", "set", "lo", "up"},
        {"link", "add", "vt0", "type", "veth", "peer", "name", "vt1"},
        {"address", "add", other, "dev", "vt0"},
        {"link", "set", "vt0", "up"},
        {"link", "set", "vt1", "up"},
        {"link", "add", "vt2", "type", "veth", "peer", "name", "vt3"},
        {"address", "add", "198.51.100.1/24", "dev", "vt2"},
        {"link", "add", "vt4", "type", "veth", "peer", "name", "vt5"},
        {"address", "add", address, "dev", "vt4"},
        {"link", "set", "vt4", "up"},
        {"link", "set", "vt5", "up"},
        {"route", "add", "default", "via", kIsolatedGateway, "dev", "vt4"},
    };
    for (const auto& step : steps) {
        if (!RunIp(step)) {
            std::fprintf(stderr, "isolated network: ip %s failed\n", step[0].c_str());
            return false;
        }
    }
    return true;
}

} // namespace velmora::test
