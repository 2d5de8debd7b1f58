// What the NAT-PMP writer makes of a gateway's answer, against a gateway on
// a loopback address: a mapping granted for no time is a refusal (RFC 6886
// reads it as a deletion) and is never renewed.

#include "forwarding/core/NatPmpMappingWriter.h"

#include <arpa/inet.h>
#include <atomic>
#include <gtest/gtest.h>
#include <natpmp.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

using namespace velmora;
using namespace std::chrono_literals;

namespace {

// Answers every new-port-mapping request on ADDRESS:5351 with the requested
// ports and a fixed lifetime, until destroyed.
class LoopbackNatPmpGateway final
{
public:
    explicit LoopbackNatPmpGateway(uint32_t grantedLifetime) : granted_(grantedLifetime)
    {
        const pid_t pid = ::getpid();
        address_ = htonl(0x7F000000u | 0x00530000u | ((pid & 0xFF) << 8) | 0x01u);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(NATPMP_PORT);
        a.sin_addr.s_addr = address_;
        bound_ = ::bind(socket_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        thread_ = std::thread([this] { serve(); });
    }
    ~LoopbackNatPmpGateway()
    {
        stop_ = true;
        thread_.join();
        ::close(socket_);
    }
    LoopbackNatPmpGateway(const LoopbackNatPmpGateway&) = delete;
    LoopbackNatPmpGateway& operator=(const LoopbackNatPmpGateway&) = delete;

    bool bound() const { return bound_; }
    in_addr_t address() const { return address_; }
    int requests() const { return requests_.load(); }

private:
    void serve()
    {
        while (!stop_) {
            pollfd p{socket_, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0)
                continue;
            unsigned char in[16];
            sockaddr_in peer{};
            socklen_t length = sizeof peer;
            const ssize_t n =
                ::recvfrom(socket_, in, sizeof in, 0, reinterpret_cast<sockaddr*>(&peer), &length);
            if (n != 12 || in[0] != 0 || (in[1] != 1 && in[1] != 2))
                continue;
            ++requests_;
            unsigned char out[16] = {0, static_cast<unsigned char>(128 + in[1]), 0, 0, 0, 0, 0, 1};
            out[8] = in[4]; // private port
            out[9] = in[5];
            out[10] = in[6]; // public port as asked
            out[11] = in[7];
            out[12] = static_cast<unsigned char>(granted_ >> 24);
            out[13] = static_cast<unsigned char>(granted_ >> 16);
            out[14] = static_cast<unsigned char>(granted_ >> 8);
            out[15] = static_cast<unsigned char>(granted_);
            ::sendto(socket_, out, sizeof out, 0, reinterpret_cast<sockaddr*>(&peer), length);
        }
    }

    const uint32_t granted_;
    int socket_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    in_addr_t address_ = 0;
    bool bound_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::thread thread_;
};

} // namespace

TEST(NatPmpGrant, ALifetimeOfZeroIsARefusalAndNothingIsKept)
{
    struct Case
    {
        uint32_t granted;
        MappingWriter::Outcome outcome;
        size_t leases;
    };
    const Case cases[] = {
        {0, MappingWriter::Outcome::Refused, 0},
        {7200, MappingWriter::Outcome::Written, 1},
    };
    for (const Case& c : cases) {
        LoopbackNatPmpGateway gateway(c.granted);
        ASSERT_TRUE(gateway.bound());
        auto keeper = std::make_shared<NatPmpLeaseKeeper>([](const NatPmpLease& lease) {
            return NatPmpAnswer{0, lease.port, 0};
        });
        NatPmpMappingWriter writer(gateway.address(), keeper, 7200, 2000ms);
        EXPECT_EQ(writer.write({15555, "TCP", "127.0.0.1", "granted"}), c.outcome)
            << "granted " << c.granted;
        EXPECT_EQ(keeper->leaseCount(), c.leases) << "granted " << c.granted;
        EXPECT_EQ(gateway.requests(), 1) << "granted " << c.granted;
    }
}
