// The network layer on loopback only: connect, receive and send with deadlines.
#include "platform/IPv4Endpoint.h"
#include "platform/SocketConnect.h"
#include "platform/SocketHandle.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"

#include <cerrno>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

// A TCP listener (or, with `listen` false, a bound socket nobody listens on)
// on a free port of 127.0.0.1.
velmora::SocketHandle Bound(bool listening, sockaddr_in& address)
{
    velmora::SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    MakeIPv4Endpoint("127.0.0.1", 0, address);
    socklen_t length = sizeof address;
    ::bind(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
    ::getsockname(socket.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    if (listening)
        ::listen(socket.fd(), 4);
    return socket;
}

velmora::SocketHandle Tcp()
{
    return velmora::SocketHandle(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
}

} // namespace

TEST(IPv4Endpoint, DottedQuadOnlyUnlessTheClassicFormsAreAsked)
{
    struct Case
    {
        const char* text;
        IPv4Text form;
        bool read;
    };
    const Case cases[] = {
        {"127.0.0.1", IPv4Text::DottedQuad, true},
        {"127.1", IPv4Text::DottedQuad, false},
        {"127.1", IPv4Text::Classic, true},
        {"localhost", IPv4Text::Classic, false},
        {"", IPv4Text::Classic, false},
        {nullptr, IPv4Text::DottedQuad, false},
        {"1.2.3.4.5", IPv4Text::Classic, false},
        {"999.0.0.1", IPv4Text::DottedQuad, false},
    };
    for (const Case& c : cases) {
        sockaddr_in out{};
        EXPECT_EQ(MakeIPv4Endpoint(c.text, 80, out, c.form), c.read) << (c.text ? c.text : "null");
        EXPECT_EQ(out.sin_family, c.read ? AF_INET : 0);
    }
}

TEST(ConnectWithin, AcceptedRefusedAndTheBlockingModeKept)
{
    sockaddr_in open{};
    velmora::SocketHandle listener = Bound(true, open);
    velmora::SocketHandle client = Tcp();
    const int flags = ::fcntl(client.fd(), F_GETFL);
    EXPECT_TRUE(ConnectWithin(client.fd(), open, DeadlineAfter(2s)).connected());
    EXPECT_EQ(::fcntl(client.fd(), F_GETFL), flags);

    sockaddr_in closed{};
    velmora::SocketHandle unused = Bound(false, closed);
    velmora::SocketHandle refused = Tcp();
    const ConnectResult result = ConnectWithin(refused.fd(), closed, DeadlineAfter(2s));
    EXPECT_EQ(result.status, ConnectResult::Status::Failed);
    EXPECT_EQ(result.error, ECONNREFUSED);
}

TEST(ReceiveWithin, DataTheCloseAndTheDeadlineAreTold)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    velmora::SocketHandle mine(pair[0]);
    velmora::SocketHandle peer(pair[1]);
    char buffer[8];
    EXPECT_EQ(ReceiveWithin(mine.fd(), buffer, sizeof buffer, DeadlineAfter(20ms)).status,
              ReceiveResult::Status::TimedOut);
    size_t sent = 0;
    ASSERT_EQ(SendAll(peer.fd(), "hello", 5, DeadlineAfter(1s), sent), SendResult::Sent);
    EXPECT_EQ(sent, 5u);
    const ReceiveResult got = ReceiveWithin(mine.fd(), buffer, sizeof buffer, DeadlineAfter(1s));
    EXPECT_EQ(got.status, ReceiveResult::Status::Received);
    EXPECT_EQ(std::string(buffer, got.size), "hello");
    peer.reset();
    EXPECT_EQ(ReceiveWithin(mine.fd(), buffer, sizeof buffer, kNoDeadline).status,
              ReceiveResult::Status::Closed);
    // A send to the closed peer fails without SIGPIPE.
    EXPECT_EQ(SendAll(mine.fd(), "x", 1, DeadlineAfter(1s), sent), SendResult::Failed);
}

TEST(SendAll, AnEmptyDatagramStillGoesOut)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0, pair), 0);
    velmora::SocketHandle mine(pair[0]);
    velmora::SocketHandle peer(pair[1]);
    size_t sent = 7;
    EXPECT_EQ(SendAll(mine.fd(), "", 0, DeadlineAfter(1s), sent), SendResult::Sent);
    EXPECT_EQ(sent, 0u);
    char buffer[4];
    const ReceiveResult got =
        ReceiveWithin(peer.fd(), buffer, sizeof buffer, DeadlineAfter(1s), false);
    EXPECT_EQ(got.status, ReceiveResult::Status::Received);
    EXPECT_EQ(got.size, 0u);
}
