// The socket functions and the trigger target, on loopback only.
#include "triggering/core/SocketOps.h"

#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/TriggerTarget.h"

#include <arpa/inet.h>
#include <climits>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <vector>

using velmora::test::LoopbackCounter;
using velmora::test::WaitUntil;

namespace {

// A UDP socket bound to a free port of 127.0.0.1.
velmora::SocketHandle BoundUdp(int& port)
{
    velmora::SocketHandle handle(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(handle.fd(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(handle.fd(), reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return handle;
}

} // namespace

TEST(SocketOps, HandleClosesOnceAndOnScopeExit)
{
    int fd;
    {
        velmora::SocketHandle tcp;
        velmora::SocketHandle udp;
        ASSERT_EQ(OpenTcpSocket(tcp), 0);
        ASSERT_EQ(OpenUdpSocket(udp), 0);
        EXPECT_EQ(CloseSocket(tcp), 0);
        EXPECT_FALSE(tcp.valid());
        EXPECT_EQ(CloseSocket(tcp), 0); // closing nothing is not a failure
        fd = udp.fd();
    }
    EXPECT_EQ(::fcntl(fd, F_GETFD), -1);
}

TEST(SocketOps, UnreadableAddressesFailWithoutTraffic)
{
    velmora::SocketHandle udp;
    ASSERT_EQ(OpenUdpSocket(udp), 0);
    for (const char* address :
         {static_cast<const char*>(nullptr), "", "not.an.address", "1.2.3.4.5", "999.0.0.1"}) {
        size_t sent = 5;
        EXPECT_EQ(ConnectIPv4(udp.fd(), address, 80), -1) << (address ? address : "null");
        EXPECT_EQ(SendToAll(udp.fd(), "", 0, address, 9, 0, sent), -1);
        EXPECT_EQ(sent, 0u);
    }
    EXPECT_EQ(ConnectIPv4(udp.fd(), "127.0.0.1", 80), 0);
}

TEST(SocketOps, WaitSocketReportsTimeOutReadyAndErrorAlsoPastTheSelectLimit)
{
    // A thousand workers hold two sockets each: descriptors beyond 1024 are normal.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_cur < 4096 && limit.rlim_max >= 4096) {
        limit.rlim_cur = 4096;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
    int port = 0;
    velmora::SocketHandle receiver = BoundUdp(port);
    velmora::SocketHandle high(::fcntl(receiver.fd(), F_DUPFD_CLOEXEC, 2000));
    ASSERT_TRUE(high.valid()) << "descriptor limit below 2000";
    for (int fd : {receiver.fd(), high.fd()}) {
        EXPECT_EQ(WaitSocket(fd, false, 1000), velmora::kWaitTimeout) << fd;
        EXPECT_EQ(WaitSocket(fd, false, 0), velmora::kWaitTimeout) << fd;
        EXPECT_EQ(WaitSocket(fd, true, 1000), 0) << fd; // an idle UDP socket is writable
    }
    velmora::SocketHandle sender;
    ASSERT_EQ(OpenUdpSocket(sender), 0);
    size_t sent = 99;
    ASSERT_EQ(SendToOnce(sender.fd(), "x", 1, "127.0.0.1", port, 0, sent), 0);
    EXPECT_EQ(sent, 1u);
    EXPECT_EQ(WaitSocket(high.fd(), false, -1), 0); // no limit, but data is there
    EXPECT_EQ(WaitSocket(receiver.fd(), false, -1), 0);
    const int closed = receiver.fd();
    receiver.reset();
    EXPECT_EQ(WaitSocket(closed, false, 1000), -1);
}

TEST(SocketOps, StreamStillOpenDropsPeerDataAndSeesThePeerClose)
{
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair), 0);
    velmora::SocketHandle mine(pair[0]);
    velmora::SocketHandle peer(pair[1]);
    EXPECT_TRUE(velmora::StreamStillOpen(mine.fd()));
    ASSERT_EQ(::send(peer.fd(), "banner", 6, 0), 6);
    EXPECT_TRUE(velmora::StreamStillOpen(mine.fd())); // data from the peer is no end
    peer.reset();
    EXPECT_FALSE(velmora::StreamStillOpen(mine.fd()));
}

TEST(SocketOps, SendToAGonePeerFailsWithoutKillingTheProcess)
{
    auto counter = LoopbackCounter::Open(1, LoopbackCounter::Tcp::Accept, false);
    ASSERT_TRUE(counter);
    velmora::SocketHandle tcp;
    ASSERT_EQ(OpenTcpSocket(tcp), 0);
    ASSERT_EQ(ConnectIPv4(tcp.fd(), "127.0.0.1", counter->basePort()), 0);
    ASSERT_TRUE(WaitUntil([&] { return counter->accepts(0) == 1; }));
    counter.reset();
    std::vector<char> data(1000, 'r');
    size_t sent = 0;
    int result = 0;
    // A closed peer must give -1 (EPIPE/ECONNRESET), not SIGPIPE.
    for (int i = 0; i < 50 && result == 0; ++i) {
        result = SendAll(tcp.fd(), data.data(), data.size(), 100'000, sent);
        if (result == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(result, -1);
}

TEST(ParseDecimal, ReadsLikeAtoiButHoldsHugeNumbersWithinInt)
{
    const std::pair<const char*, int> cases[] = {{"8080", 8080},
                                                 {"  42", 42},
                                                 {"+7", 7},
                                                 {"-12", -12},
                                                 {"12abc", 12},
                                                 {"", 0},
                                                 {"abc", 0},
                                                 {"-", 0},
                                                 {"0099999", 99999},
                                                 {"2147483647", INT_MAX},
                                                 {"-2147483648", INT_MIN},
                                                 {"9999999999999999999999999999", INT_MAX},
                                                 {"-9999999999999999999999999999", INT_MIN}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(velmora::ParseDecimal(text), expected) << '"' << text << '"';
}

TEST(ResolveTriggerTarget, OnlyALetterFirstIsLookedUpAndOnlyWhatFitsTheTarget)
{
    int calls = 0;
    std::string answer;
    const velmora::HostLookup lookup = [&](const std::string&) {
        ++calls;
        return answer;
    };
    const std::string longest(velmora::kTargetCapacity, 'a');
    struct Case
    {
        std::string address, answer, expected;
        int calls;
    };
    const Case cases[] = {
        {"127.0.0.1", "10.9.9.9", "127.0.0.1", 0},
        {"1badname", "10.9.9.9", "1badname", 0},
        {"", "10.9.9.9", "", 0},
        {"\xc3\xa9t\xc3\xa9", "10.9.9.9", "\xc3\xa9t\xc3\xa9", 0}, // non-ASCII is no letter
        {"router.example", "127.0.0.5", "127.0.0.5", 1},
        {"Z", "127.0.0.5", "127.0.0.5", 1},
        {"nowhere", "", "nowhere", 1}, // a failed look-up leaves the address as it stands
        {longest, "127.0.0.5", "127.0.0.5", 1},
        {longest + "a", "127.0.0.5", "", 0}, // longer than the target: no usable target
        {std::string(254, '1'), "127.0.0.5", "", 0},
    };
    for (const auto& c : cases) {
        calls = 0;
        answer = c.answer;
        EXPECT_EQ(velmora::ResolveTriggerTarget(c.address, lookup), c.expected) << c.address;
        EXPECT_EQ(calls, c.calls) << c.address;
    }
}
