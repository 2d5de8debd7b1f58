#include "forwarding/core/PortProbe.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

// A UDP socket bound to a free loopback port.
struct LoopbackSocket
{
    LoopbackSocket() : fd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
        socklen_t len = sizeof a;
        getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
        port = ntohs(a.sin_port);
    }
    ~LoopbackSocket() { close(fd); }
    int fd;
    uint16_t port = 0;
};

} // namespace

// Open and closed TCP ports and a UDP port that answers "unreachable" are
// probed against the lab's LAN host; here, what the lab does not show.
TEST(ProbeTcp, ATextThatIsNoAddressIsNotProbed)
{
    auto result = ProbeTcp("Localhost", 80, 3000ms);
    EXPECT_EQ(result.state, PortState::Filtered);
    EXPECT_NE(English(result.detail).find("not probed"), std::string::npos);
}

TEST(ProbeUdp, SilenceIsOpenOrFilteredAnAnswerIsOpen)
{
    LoopbackSocket silent;
    auto result = ProbeUdp("127.0.0.1", silent.port, 600ms);
    EXPECT_EQ(result.state, PortState::OpenFiltered) << English(result.detail);

    LoopbackSocket echo;
    std::thread responder([&] {
        char buffer[64];
        sockaddr_in from{};
        socklen_t len = sizeof from;
        timeval wait{5, 0};
        setsockopt(echo.fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        if (recvfrom(echo.fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &len) >=
            0)
            sendto(echo.fd, "pong", 4, 0, reinterpret_cast<sockaddr*>(&from), len);
    });
    result = ProbeUdp("127.0.0.1", echo.port, 3000ms);
    responder.join();
    EXPECT_EQ(result.state, PortState::Open) << English(result.detail);
}
