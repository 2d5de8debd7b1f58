#include "forwarding/core/UpnpMappingWriter.h"

#include "tests/config/RecordMakers.h"
#include "tests/support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velmora;

// What the writer sends and how it reads answers is proven against the lab's
// router; here, the two ways there is no router to talk to.
TEST(UpnpMappingWriter, NoRouterIsUnreachableAndNoUsableUrlIsRefused)
{
    const char service[] = "urn:schemas-upnp-org:service:WANIPConnection:1";
    const MappingRequest request{80, "TCP", "127.0.0.1", "web"};
    // A loopback port that nobody listens on.
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
    close(fd);
    UpnpMappingWriter gone(
        {"http://127.0.0.1:" + std::to_string(ntohs(a.sin_port)) + "/ctl/IPConn", service});
    EXPECT_EQ(gone.write(request), MappingWriter::Outcome::Unreachable);
    EXPECT_FALSE(gone.holds(request));

    UpnpMappingWriter unusable({"", service});
    EXPECT_EQ(unusable.write(request), MappingWriter::Outcome::Refused);
}

// A router that takes the request and never answers: the writer says
// unreachable, and the installer gives the rest of the entry up at once.
// VELMORA_SILENT_ROUTER_FULL=1 runs it with the program's own deadlines.
TEST(UpnpMappingWriter, ASilentRouterCostsOneDeadlineForAWholeEntry)
{
    const bool full = std::getenv("VELMORA_SILENT_ROUTER_FULL") != nullptr;
    test::LoopbackHttpServer::Reply silent;
    silent.holdOpen = true;
    test::LoopbackHttpServer router(std::vector<test::LoopbackHttpServer::Reply>(7, silent));
    UpnpMappingWriter writer(
        {router.url("/ctl/IPConn"), "urn:schemas-upnp-org:service:WANIPConnection:1"},
        full ? UpnpMappingWriter::kAnswerWithin : std::chrono::seconds(1));
    InstallOptions options;
    if (!full)
        options.unansweredBudget = std::chrono::seconds(1);
    const std::atomic<bool> cancel{false};
    const auto start = std::chrono::steady_clock::now();
    const auto result = InstallMappings(
        PlanMappings({test::MakeForwarding("seven", "", "TCP", "81-87", "127.0.0.1")}), writer,
        cancel, {}, options);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("figure silent_router_7_ports_s %.1f\n", took.count());
    EXPECT_EQ(router.requests().size(), 1u);
    EXPECT_EQ(result.failed, 7);
}
