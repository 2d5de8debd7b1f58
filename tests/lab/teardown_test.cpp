// The lab goes away however a lab test binary ends, and a binary refuses to
// run where it cannot make its lab safely. Runs lab_victim and inspects what is
// left of its lab from outside.

#include "tests/lab/LabProbes.h"
#include "tests/lab/LabProcess.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace velmora::lab {
namespace {

using namespace std::chrono_literals;

bool Exists(const std::string& path)
{
    struct stat st
    {
    };
    return lstat(path.c_str(), &st) == 0;
}

// Whatever of the lab under prefix still exists.
std::vector<std::string> Leftovers(const std::string& prefix)
{
    std::vector<std::string> left;
    for (const char* ns : {"lan", "router", "inet"}) {
        const std::string name = prefix + "-" + ns;
        if (Exists("/run/netns/" + name))
            left.push_back("namespace " + name);
        if (Exists("/etc/netns/" + name))
            left.push_back("/etc/netns/" + name);
    }
    if (Exists("/tmp/velmora-lab/" + prefix))
        left.push_back("/tmp/velmora-lab/" + prefix);
    const std::string marker = "/tmp/velmora-lab/" + prefix + "/";
    if (DIR* proc = opendir("/proc")) {
        while (const dirent* e = readdir(proc)) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9')
                continue;
            std::ifstream in(std::string("/proc/") + e->d_name + "/cmdline");
            std::string cmdline((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
            if (cmdline.find(marker) != std::string::npos)
                left.push_back(std::string("process ") + e->d_name);
        }
        closedir(proc);
    }
    return left;
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string out;
    for (const std::string& i : items)
        out += i + "; ";
    return out;
}

class LabTeardown : public ::testing::TestWithParam<const char*>
{
protected:
    // Runs the victim; returns its prefix and exit status once it has ended.
    std::string runVictim(const std::string& mode, int* status, std::string* output)
    {
        BackgroundProcess victim({"env", "VELMORA_LAB_VICTIM=" + mode, VELMORA_LAB_VICTIM_PATH},
                                 dir.file("victim.out"));
        EXPECT_TRUE(victim.started());
        const std::string prefix = "vl" + std::to_string(victim.pid());
        *status = victim.wait(120s);
        *output = victim.output();
        return prefix;
    }

    // The lab may take a moment to go when a guardian takes it down.
    std::vector<std::string> leftoversAfterGrace(const std::string& prefix)
    {
        std::vector<std::string> left = Leftovers(prefix);
        for (int i = 0; i < 150 && !left.empty(); ++i) {
            std::this_thread::sleep_for(100ms);
            left = Leftovers(prefix);
        }
        return left;
    }

    test::TempDir dir;
};

TEST_P(LabTeardown, NothingOfTheLabRemains)
{
    int status = 0;
    std::string output;
    const std::string mode = GetParam();
    const std::string prefix = runVictim(mode, &status, &output);
    ASSERT_NE(output.find("victim lab " + prefix + " router pid "), std::string::npos) << output;
    ASSERT_EQ(output.find("router pid \n"), std::string::npos) << "miniupnpd was not running";
    // A normal end takes the lab down itself, leaving nothing for the guardian.
    if (mode == "pass") {
        EXPECT_TRUE(Leftovers(prefix).empty()) << Joined(Leftovers(prefix));
    }
    const std::vector<std::string> left = leftoversAfterGrace(prefix);
    EXPECT_TRUE(left.empty()) << Joined(left) << "\n" << output;
    if (mode == "pass" || mode == "fork-exit")
        EXPECT_EQ(status, 0) << output;
    else
        EXPECT_NE(status, 0) << output;
}

INSTANTIATE_TEST_SUITE_P(EveryEnding, LabTeardown,
                         ::testing::Values("pass", "fork-exit", "fail", "exit", "sigterm", "sigint",
                                           "sigkill", "segv", "terminate"));

// Kills pid and every process below it, children first found by their parent
// pid, the way CTest ends a test that ran out of time.
void KillTree(pid_t pid)
{
    kill(pid, SIGSTOP);
    if (DIR* proc = opendir("/proc")) {
        while (const dirent* e = readdir(proc)) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9')
                continue;
            std::ifstream in(std::string("/proc/") + e->d_name + "/stat");
            std::string stat((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
            const size_t close = stat.rfind(')');
            if (close == std::string::npos)
                continue;
            std::istringstream rest(stat.substr(close + 2));
            char state = 0;
            pid_t parent = 0;
            rest >> state >> parent;
            if (parent == pid)
                KillTree(static_cast<pid_t>(std::stoi(e->d_name)));
        }
        closedir(proc);
    }
    kill(pid, SIGKILL);
}

TEST_F(LabTeardown, KillingTheBinaryWithItsChildrenStillTakesTheLabDown)
{
    BackgroundProcess victim({"env", "VELMORA_LAB_VICTIM=hang", VELMORA_LAB_VICTIM_PATH},
                             dir.file("hang.out"));
    ASSERT_TRUE(victim.started());
    const std::string prefix = "vl" + std::to_string(victim.pid());
    ASSERT_TRUE(victim.waitForOutput("victim lab " + prefix, 60s)) << victim.output();
    KillTree(victim.pid());
    victim.wait(10s);
    const std::vector<std::string> left = leftoversAfterGrace(prefix);
    EXPECT_TRUE(left.empty()) << Joined(left);
}

TEST_F(LabTeardown, RefusesToRunWithAnEarlyThreadOrWithoutRoot)
{
    int status = 0;
    std::string output;
    std::string prefix = runVictim("thread", &status, &output);
    EXPECT_EQ(status, 1);
    EXPECT_NE(output.find("refusing to run"), std::string::npos) << output;
    EXPECT_EQ(output.find("victim lab"), std::string::npos) << output;
    EXPECT_TRUE(Leftovers(prefix).empty()) << Joined(Leftovers(prefix));

    BackgroundProcess victim(
        {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", VELMORA_LAB_VICTIM_PATH},
        dir.file("nobody.out"));
    ASSERT_TRUE(victim.started());
    prefix = "vl" + std::to_string(victim.pid());
    EXPECT_EQ(victim.wait(60s), 77) << victim.output();
    EXPECT_NE(victim.output().find("router lab needs root: skipped"), std::string::npos)
        << victim.output();
    EXPECT_TRUE(Leftovers(prefix).empty());
}

TEST_F(LabTeardown, ProbesKnowTheMachinesOwnNamespace)
{
    // This binary is no lab test: it runs on the machine's own network, where
    // the probes refuse to send. Checked with loopback only, so a broken guard
    // sends nothing beyond this machine.
    EXPECT_FALSE(InLabNamespace());
    EXPECT_EQ(SendTcp("127.0.0.1", 9, "x"), "refused: not inside the lab");
}

// Lab prefixes named after pids no process can have (above the kernel's
// pid_max), so the owner checks of lab.sh see them as they are meant to.
std::string UnusedPidPrefix(int offset)
{
    long pidMax = 4194304; // the largest pid_max Linux allows
    std::ifstream("/proc/sys/kernel/pid_max") >> pidMax;
    return "vl" + std::to_string(pidMax + offset);
}

TEST_F(LabTeardown, SweepDownAndUpKeepLabsApart)
{
    // `gone` is recorded with an owner that no longer runs; this process owns
    // `mine` (lab.sh records its parent); `half` is what an `up` killed after
    // its first step leaves.
    const std::string gone = UnusedPidPrefix(1);
    const std::string mine = UnusedPidPrefix(2);
    const std::string half = UnusedPidPrefix(3);
    const std::string script = VELMORA_LAB_SCRIPT_PATH;
    ASSERT_TRUE(
        RunProgram({"env", "LAB_OWNER_PID=" + gone.substr(2), script, "up", gone, "--mode", "none"})
            .ok());
    ASSERT_TRUE(RunProgram({script, "up", mine, "--mode", "none"}).ok());
    EXPECT_FALSE(Leftovers(gone).empty());

    // A prefix in use is refused, and that lab is left alone.
    const ExecResult again = RunProgram({script, "up", mine});
    EXPECT_NE(again.exitCode, 0);
    EXPECT_NE(again.output.find("already exists"), std::string::npos) << again.output;
    EXPECT_TRUE(RunProgram({script, "info", mine}).ok());

    const ExecResult sweep = RunProgram({script, "sweep"});
    EXPECT_TRUE(sweep.ok()) << sweep.output;
    EXPECT_TRUE(Leftovers(gone).empty()) << Joined(Leftovers(gone));
    EXPECT_TRUE(Exists("/run/netns/" + mine + "-router"));
    EXPECT_TRUE(RunProgram({script, "down", mine}).ok());
    EXPECT_TRUE(Leftovers(mine).empty()) << Joined(Leftovers(mine));

    // Down removes a half-built lab and may run twice.
    ASSERT_TRUE(RunProgram({"ip", "netns", "add", half + "-lan"}).ok());
    EXPECT_TRUE(RunProgram({script, "down", half}).ok());
    EXPECT_TRUE(Leftovers(half).empty()) << Joined(Leftovers(half));
    EXPECT_TRUE(RunProgram({script, "down", half}).ok());
    RunProgram({script, "down", gone});
}

// A chroot as build roots often are: the lab says in one line that it cannot
// work there; once the chroot's root is a mount point of its own it works,
// and a lab test binary takes its lab down with the script it was given,
// which exists only inside the chroot. The chroot is made in a private mount
// namespace from the machine's own folders, so the machine's mounts never change.
TEST_F(LabTeardown, InAChrootTheLabSaysWhatItNeedsAndTearsDownWithItsOwnScript)
{
    const std::string root = dir.file("root");
    const std::string script =
        "set -e; r=$1; v=" VELMORA_LAB_VICTIM_PATH "; top=$(echo $v | cut -d/ -f2)\n"
        "for d in usr etc dev sys run tmp $top; do mkdir -p $r/$d; mount --rbind /$d $r/$d; done\n"
        "mkdir -p $r/proc\n"
        "mount -t proc proc $r/proc\n"
        "for l in bin sbin lib lib64; do ln -s usr/$l $r/$l; done\n"
        "cp " VELMORA_LAB_SCRIPT_PATH " $r/lab.sh\n"
        "chroot $r /lab.sh check && echo 'no mount point: passed' || true\n"
        "mount --rbind $r $r\n"
        "chroot $r /lab.sh check && echo 'own mount point: passed'\n"
        "chroot $r env VELMORA_LAB_SCRIPT=/lab.sh $v >$r/victim.out 2>&1"
        " && echo 'victim: passed' || cat $r/victim.out\n";
    const ExecResult r = RunProgram(
        {"unshare", "--mount", "--propagation", "private", "sh", "-c", script, "sh", root});
    EXPECT_EQ(r.output,
              "lab.sh: the router lab needs / to be a mount point (in a chroot: mount --bind DIR "
              "DIR before chroot DIR)\nown mount point: passed\nvictim: passed\n");
}

TEST_F(LabTeardown, TheScriptRejectsBadInput)
{
    const std::string script = VELMORA_LAB_SCRIPT_PATH;
    const std::vector<std::vector<std::string>> bad = {
        {script, "up", "../x"},
        {script, "up", "VL1"},
        {script, "up", "v"},
        {script, "up", "vl12345678901"},
        {script, "up", "vl999996", "--mode", "bogus"},
        {script, "up", "vl999996", "--colour"},
        {script, "add-address", "vl999996", "192.168.77.3"},
        {script, "exec", "vl999996", "moon", "--", "true"},
        {script, "router", "vl999996", "reboot"},
        {script, "nonsense", "vl999996"},
        {script},
    };
    for (const auto& argv : bad) {
        const ExecResult r = RunProgram(argv);
        EXPECT_NE(r.exitCode, 0) << Joined(argv) << "\n" << r.output;
        EXPECT_NE(r.output.find("lab.sh: "), std::string::npos) << Joined(argv);
    }
    EXPECT_TRUE(Leftovers("vl999996").empty()) << Joined(Leftovers("vl999996"));
}

} // namespace
} // namespace velmora::lab

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (geteuid() != 0) {
        std::printf("router lab needs root: skipped\n");
        return 77; // SKIP_RETURN_CODE of the CTest test
    }
    return RUN_ALL_TESTS();
}
