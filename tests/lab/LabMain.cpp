// The main() of every router-lab test binary: brings a lab up under a prefix of
// its own, moves the process into the LAN host's namespace before any other
// thread exists, runs the tests and always takes the lab down again.

#include "tests/lab/LabEnvironment.h"
#include "tests/lab/LabTeardown.h"

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using velmora::lab::LabEnvironment;
using velmora::lab::LabOptions;
using velmora::lab::RouterMode;

constexpr int kSkipExitCode = 77; // SKIP_RETURN_CODE of the CTest test

bool ParseMode(const char* text, RouterMode& mode)
{
    const struct
    {
        const char* name;
        RouterMode mode;
    } modes[] = {{"both", RouterMode::Both},
                 {"upnp", RouterMode::Upnp},
                 {"natpmp", RouterMode::Natpmp},
                 {"none", RouterMode::None}};
    for (const auto& m : modes) {
        if (strcmp(text, m.name) == 0) {
            mode = m.mode;
            return true;
        }
    }
    return false;
}

// Flags of the lab itself; gtest has already taken its own out of argv.
bool ParseLabFlags(int argc, char** argv, LabOptions& options)
{
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (strcmp(a, "--lab-second-lan") == 0) {
            options.secondLan = true;
        } else if (strcmp(a, "--lab-secure-mode") == 0) {
            options.secureMode = true;
        } else if (strcmp(a, "--lab-ipv6") == 0) {
            options.ipv6 = true;
        } else if (strcmp(a, "--lab-igd2") == 0) {
            options.igd2 = true;
        } else if (strncmp(a, "--lab-mode=", 11) == 0) {
            if (!ParseMode(a + 11, options.mode)) {
                fprintf(stderr, "router lab: unknown mode in %s\n", a);
                return false;
            }
        } else {
            fprintf(stderr, "router lab: unknown argument %s\n", a);
            return false;
        }
    }
    return true;
}

int ThreadCount()
{
    int count = 0;
    if (DIR* d = opendir("/proc/self/task")) {
        while (const dirent* e = readdir(d))
            if (e->d_name[0] != '.')
                ++count;
        closedir(d);
    }
    return count;
}

std::string ScriptPath()
{
    if (const char* env = getenv("VELMORA_LAB_SCRIPT"))
        return env;
    return VELMORA_LAB_SCRIPT_PATH;
}

bool SameNamespace(const char* a, const char* b)
{
    struct stat sa
    {
    }, sb{};
    return stat(a, &sa) == 0 && stat(b, &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// Moves the whole (still single-threaded) process into the LAN namespace.
bool EnterLan(const LabEnvironment& lab)
{
    const std::string path = "/run/netns/" + lab.namespaceName(velmora::lab::Side::Lan);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        perror("router lab: open LAN namespace");
        return false;
    }
    const bool ok = setns(fd, CLONE_NEWNET) == 0;
    if (!ok)
        perror("router lab: setns into LAN namespace");
    close(fd);
    return ok && SameNamespace("/proc/thread-self/ns/net", path.c_str());
}

// Inside the LAN namespace name look-ups use the lab's own hosts file, as
// `ip netns exec` does for the lab's commands. The mount namespace is private,
// so nothing here reaches the machine's own mounts.
void UseLanEtcFiles(const LabEnvironment& lab)
{
    const std::string dir = "/etc/netns/" + lab.namespaceName(velmora::lab::Side::Lan) + "/";
    if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_SLAVE, nullptr) != 0) {
        perror("router lab: private mount namespace (host names stay the machine's)");
        return;
    }
    for (const char* name : {"hosts", "resolv.conf"}) {
        const std::string from = dir + name;
        const std::string to = std::string("/etc/") + name;
        if (mount(from.c_str(), to.c_str(), nullptr, MS_BIND, nullptr) != 0)
            fprintf(stderr, "router lab: cannot bind %s: %s\n", from.c_str(), strerror(errno));
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    LabOptions options = velmora::lab::GlobalLabOptions();
    if (!ParseLabFlags(argc, argv, options))
        return 2;
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (geteuid() != 0) {
        printf("router lab needs root: skipped\n");
        return kSkipExitCode;
    }
    if (ThreadCount() != 1) {
        fprintf(stderr, "router lab: %d threads before the lab is up; refusing to run\n",
                ThreadCount());
        return 1;
    }

    const std::string prefix = "vl" + std::to_string(getpid());
    LabEnvironment lab(ScriptPath(), prefix, options);
    // Where the lab cannot work (a chroot, no namespaces), one line says why.
    const velmora::lab::ExecResult check = lab.script({"check"});
    if (!check.ok()) {
        fprintf(stderr, "%s", check.output.c_str());
        return 1;
    }
    lab.script({"sweep"});
    if (!velmora::lab::ArmTeardown(ScriptPath(), prefix)) {
        fprintf(stderr, "router lab: cannot start the process that takes the lab down; refusing "
                        "to run\n");
        return 1;
    }

    std::vector<std::string> up{"up", prefix, "--mode", velmora::lab::RouterModeName(options.mode)};
    if (options.secondLan)
        up.emplace_back("--second-lan");
    if (options.secureMode)
        up.emplace_back("--secure-mode");
    if (options.ipv6)
        up.emplace_back("--ipv6");
    if (options.igd2)
        up.emplace_back("--igd2");
    const velmora::lab::ExecResult r = lab.script(up, std::chrono::seconds(60));
    if (!r.ok() || !lab.refreshInfo()) {
        fprintf(stderr, "router lab: could not bring the lab up:\n%s\n", r.output.c_str());
        velmora::lab::TearDownLab();
        return 1;
    }
    if (!EnterLan(lab)) {
        fprintf(stderr, "router lab: could not enter the LAN namespace; refusing to run tests\n");
        velmora::lab::TearDownLab();
        return 1;
    }
    UseLanEtcFiles(lab);

    printf("router lab %s is up: LAN host %s, router %s / %s, internet host %s\n", prefix.c_str(),
           lab.lanHost().c_str(), lab.routerLan().c_str(), lab.routerWan().c_str(),
           lab.inetHost().c_str());
    fflush(stdout);
    LabEnvironment::Install(&lab);
    int rc = RUN_ALL_TESTS();
    LabEnvironment::Install(nullptr);
    if (!velmora::lab::TearDownLab()) {
        fprintf(stderr, "router lab: taking the lab down failed\n");
        rc = rc ? rc : 1;
    }
    return rc;
}
