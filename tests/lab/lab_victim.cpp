// A lab test binary that ends the way VELMORA_LAB_VICTIM says, for the test of
// the lab's teardown: pass, fail, exit, sigterm, sigint, sigkill, segv, terminate,
// fork-exit (a child of the test calls exit(); the test passes), hang (waits
// up to a minute to be killed from outside), or thread (a thread that exists
// before main, which the lab must refuse).

#include "tests/lab/LabEnvironment.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Mode()
{
    const char* mode = getenv("VELMORA_LAB_VICTIM");
    return mode ? mode : "pass";
}

// Runs before main() when asked to: the lab must then refuse to start.
const bool g_earlyThread = [] {
    if (Mode() == "thread")
        std::thread([] { std::this_thread::sleep_for(std::chrono::seconds(5)); }).detach();
    return true;
}();

TEST(LabVictim, EndsAsAsked)
{
    velmora::lab::LabEnvironment& lab = velmora::lab::LabEnvironment::Instance();
    printf("victim lab %s router pid %s\n", lab.prefix().c_str(), lab.value("ROUTER_PID").c_str());
    fflush(stdout);
    const std::string mode = Mode();
    if (mode == "fail")
        ADD_FAILURE() << "failing as asked";
    else if (mode == "exit")
        exit(3);
    else if (mode == "sigterm")
        raise(SIGTERM);
    else if (mode == "sigint")
        raise(SIGINT);
    else if (mode == "sigkill")
        raise(SIGKILL);
    else if (mode == "segv")
        raise(SIGSEGV);
    else if (mode == "terminate")
        std::terminate();
    else if (mode == "fork-exit") {
        // A child of the test that ends through exit() must not take the lab down.
        const pid_t child = fork();
        if (child == 0)
            exit(0);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(lab.exec(velmora::lab::Side::Router, {"true"}).exitCode, 0)
            << "the lab went down with a child of the test";
        EXPECT_TRUE(lab.routerRunning());
    } else if (mode == "hang")
        std::this_thread::sleep_for(std::chrono::seconds(60));
}

} // namespace
