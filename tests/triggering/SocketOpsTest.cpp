#include "triggering/core/SocketOps.h"

#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TriggeringTestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <vector>

using velmora::test::LoopbackCounter;
using velmora::test::WaitUntil;

namespace {

// A bound UDP socket on 127.0.0.1 and its port.
int BoundUdp(int& port)
{
    int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

TEST(SocketOps, OpenAndCloseHoldAndForgetTheDescriptor)
{
    SocketHandle tcp;
    SocketHandle udp;
    ASSERT_EQ(OpenTcpSocket(tcp), 0);
    ASSERT_EQ(OpenUdpSocket(udp), 0);
    EXPECT_TRUE(tcp.held());
    EXPECT_TRUE(udp.held());
    EXPECT_EQ(CloseSocket(tcp), 0);
    EXPECT_FALSE(tcp.held());
    EXPECT_EQ(CloseSocket(tcp), 0); // closing nothing is not a failure
}

TEST(SocketOps, SocketHandleClosesOnScopeExit)
{
    int fd;
    {
        SocketHandle udp;
        ASSERT_EQ(OpenUdpSocket(udp), 0);
        fd = udp.fd();
        EXPECT_NE(::fcntl(fd, F_GETFD), -1);
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

TEST(SocketOps, ConnectRefusesMissingOrUnreadableAddresses)
{
    SocketHandle udp;
    ASSERT_EQ(OpenUdpSocket(udp), 0);
    EXPECT_EQ(ConnectIPv4(udp.fd(), nullptr, 80), -1);
    EXPECT_EQ(ConnectIPv4(udp.fd(), "", 80), -1);
    EXPECT_EQ(ConnectIPv4(udp.fd(), "not.an.address", 80), -1);
    EXPECT_EQ(ConnectIPv4(udp.fd(), "1.2.3.4.5", 80), -1);
    EXPECT_EQ(ConnectIPv4(udp.fd(), "999.0.0.1", 80), -1);
    EXPECT_EQ(ConnectIPv4(udp.fd(), "127.0.0.1", 80), 0);
}

TEST(SocketOps, ConnectToARefusedTcpPortFails)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Refuse, false);
    ASSERT_TRUE(counter);
    SocketHandle tcp;
    ASSERT_EQ(OpenTcpSocket(tcp), 0);
    EXPECT_EQ(ConnectIPv4(tcp.fd(), "127.0.0.1", counter->basePort()), -1);
}

TEST(SocketOps, WaitSocketReportsTimeOutReadyAndError)
{
    int port = 0;
    SocketHandle receiver(BoundUdp(port));
    EXPECT_EQ(WaitSocket(receiver.fd(), false, 1000), kWaitTimeout);
    EXPECT_EQ(WaitSocket(receiver.fd(), false, 0), kWaitTimeout);
    EXPECT_EQ(WaitSocket(receiver.fd(), true, 1000), 0); // an idle UDP socket is writable

    SocketHandle sender;
    ASSERT_EQ(OpenUdpSocket(sender), 0);
    size_t sent = 99;
    ASSERT_EQ(SendToOnce(sender.fd(), "x", 1, "127.0.0.1", port, 0, sent), 0);
    EXPECT_EQ(sent, 1u);
    EXPECT_EQ(WaitSocket(receiver.fd(), false, -1), 0); // no limit, but data is there

    int closed = receiver.fd();
    receiver.reset();
    EXPECT_EQ(WaitSocket(closed, false, 1000), -1);
}

TEST(SocketOps, WaitSocketHandlesDescriptorsPastTheSelectLimit)
{
    // A thousand workers hold two sockets each: descriptors beyond 1024 are normal.
    int port = 0;
    SocketHandle receiver(BoundUdp(port));
    SocketHandle high(::fcntl(receiver.fd(), F_DUPFD_CLOEXEC, 2000));
    if (!high.held())
        GTEST_SKIP() << "descriptor limit below 2000";
    EXPECT_EQ(WaitSocket(high.fd(), false, 1000), kWaitTimeout);
    SocketHandle sender;
    ASSERT_EQ(OpenUdpSocket(sender), 0);
    size_t sent = 0;
    ASSERT_EQ(SendToOnce(sender.fd(), "", 0, "127.0.0.1", port, 0, sent), 0);
    EXPECT_EQ(WaitSocket(high.fd(), false, 5'000'000), 0);
}

TEST(SocketOps, PortsAboveTheSixteenBitRangeWrap)
{
    int port = 0;
    SocketHandle receiver(BoundUdp(port));
    SocketHandle sender;
    ASSERT_EQ(OpenUdpSocket(sender), 0);
    size_t sent = 0;
    ASSERT_EQ(SendToAll(sender.fd(), "", 0, "127.0.0.1", 65536LL + port, 0, sent), 0);
    EXPECT_EQ(WaitSocket(receiver.fd(), false, 5'000'000), 0);
}

TEST(SocketOps, EmptySendToAllSendsExactlyOneEmptyDatagram)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::None, true);
    ASSERT_TRUE(counter);
    SocketHandle sender;
    ASSERT_EQ(OpenUdpSocket(sender), 0);
    size_t sent = 7;
    EXPECT_EQ(
        SendToAll(sender.fd(), nullptr, 0, "127.0.0.1", counter->basePort(), 30'000'000, sent), 0);
    EXPECT_EQ(sent, 0u);
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= 1; }));
    // One more datagram as a marker: the counter sees both, so nothing else came between.
    ASSERT_EQ(SendToAll(sender.fd(), "", 0, "127.0.0.1", counter->basePort(), 0, sent), 0);
    ASSERT_TRUE(WaitUntil([&] { return counter->datagrams(0) >= 2; }));
    EXPECT_EQ(counter->datagrams(0), 2);
}

TEST(SocketOps, SendToAnUnreadableAddressFailsWithoutSending)
{
    SocketHandle sender;
    ASSERT_EQ(OpenUdpSocket(sender), 0);
    size_t sent = 5;
    EXPECT_EQ(SendToAll(sender.fd(), "", 0, "host.invalid", 9, 0, sent), -1);
    EXPECT_EQ(sent, 0u);
}

TEST(SocketOps, SendAllDeliversTheWholeBufferOverTcp)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    SocketHandle writer(pair[0]);
    SocketHandle reader(pair[1]);
    std::vector<char> data(5000, 'v');
    size_t sent = 0;
    EXPECT_EQ(SendAll(writer.fd(), data.data(), data.size(), 1'000'000, sent), 0);
    EXPECT_EQ(sent, data.size());
}

TEST(SocketOps, SendOnAFullNonBlockingSocketWaitsThenTimesOut)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, pair), 0);
    SocketHandle writer(pair[0]);
    SocketHandle reader(pair[1]);
    std::vector<char> chunk(65536, 'f');
    // Fill the pair until the kernel refuses more (bounded: buffers are finite).
    for (int i = 0; i < 10000 && ::send(writer.fd(), chunk.data(), chunk.size(), MSG_DONTWAIT) > 0;
         ++i) {
    }
    size_t sent = 1;
    EXPECT_EQ(SendOnce(writer.fd(), chunk.data(), chunk.size(), 0, sent), -1);
    EXPECT_EQ(sent, 0u);
    EXPECT_EQ(SendOnce(writer.fd(), chunk.data(), chunk.size(), 2000, sent), kWaitTimeout);
    EXPECT_EQ(SendAll(writer.fd(), chunk.data(), chunk.size(), 2000, sent), kWaitTimeout);
    EXPECT_EQ(sent, 0u);
}

TEST(SocketOps, StreamStillOpenSeesThePeerClose)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    SocketHandle mine(pair[0]);
    SocketHandle peer(pair[1]);
    EXPECT_TRUE(StreamStillOpen(mine.fd()));
    ASSERT_EQ(::send(peer.fd(), "banner", 6, 0), 6);
    EXPECT_TRUE(StreamStillOpen(mine.fd())); // data from the peer is dropped, not an end
    peer.reset();
    EXPECT_FALSE(StreamStillOpen(mine.fd()));
}

TEST(SocketOps, EmptyTcpSendMissesAConnectionThePeerClosed)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::AcceptAndClose, false);
    ASSERT_TRUE(counter);
    SocketHandle tcp;
    ASSERT_EQ(OpenTcpSocket(tcp), 0);
    ASSERT_EQ(ConnectIPv4(tcp.fd(), "127.0.0.1", counter->basePort()), 0);
    ASSERT_TRUE(WaitUntil([&] { return !StreamStillOpen(tcp.fd()); }));
    // The empty send still reports success: only the look above tells.
    size_t sent = 0;
    EXPECT_EQ(SendAll(tcp.fd(), "", 0, 0, sent), 0);
}

TEST(SocketOps, SendOnAResetConnectionFailsWithoutKillingTheProcess)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, false);
    ASSERT_TRUE(counter);
    SocketHandle tcp;
    ASSERT_EQ(OpenTcpSocket(tcp), 0);
    ASSERT_EQ(ConnectIPv4(tcp.fd(), "127.0.0.1", counter->basePort()), 0);
    ASSERT_TRUE(WaitUntil([&] { return counter->accepts(0) == 1; }));
    counter.reset(); // the peer goes away
    std::vector<char> data(1000, 'r');
    size_t sent = 0;
    int result = 0;
    // Writing to a closed peer must end in -1 (EPIPE/ECONNRESET), not SIGPIPE.
    for (int i = 0; i < 50 && result == 0; ++i) {
        result = SendAll(tcp.fd(), data.data(), data.size(), 100'000, sent);
        if (result == 0)
            WaitUntil([] { return false; }, std::chrono::milliseconds(5));
    }
    EXPECT_EQ(result, -1);
}
