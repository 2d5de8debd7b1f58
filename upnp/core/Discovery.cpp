#include "platform/DebugTrace.h"
#include "upnp/core/SsdpAnswer.h"
#include "upnp/core/UpnpClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <vector>

namespace {

constexpr int kSearchCycles = 6;
// Each cycle waits this long for one answer datagram.
constexpr int kCycleWaitMs = 5000;

// Waits up to `ms` for a datagram and reads it; empty when none came.
std::string ReadOneDatagram(int fd, std::vector<char>& buffer, int ms)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd entry{fd, POLLIN, 0};
        const int ready = poll(&entry, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return {};
        const ssize_t n = recv(fd, buffer.data(), buffer.size(), MSG_DONTWAIT);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        // Each datagram is taken by itself, of exactly the length received.
        return n > 0 ? std::string(buffer.data(), static_cast<size_t>(n)) : std::string();
    }
}

} // namespace

bool UpnpClient::discovery()
{
    ssdp_sock = SocketHandle(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
    if (ssdp_sock.valid()) {
        const int on = 1;
        setsockopt(ssdp_sock.fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        sockaddr_in group{};
        group.sin_family = AF_INET;
        group.sin_port = htons(1900);
        inet_pton(AF_INET, "239.255.255.250", &group.sin_addr);
        sendto(ssdp_sock.fd(), velmora::kSsdpSearchRequest,
               std::strlen(velmora::kSsdpSearchRequest), 0,
               reinterpret_cast<const sockaddr*>(&group), sizeof group);
        DebugTrace("time_out is %d\n", time_out);

        std::vector<char> buffer(kReceiveBytes);
        for (int cycle = 0; cycle < kSearchCycles && !cancelled(); ++cycle) {
            const std::string datagram = ReadOneDatagram(ssdp_sock.fd(), buffer, kCycleWaitMs);
            if (datagram.empty())
                continue;
            DebugTrace("discovery:%s\n", datagram.c_str());
            const auto url = velmora::DescribeUrlFromSsdpAnswer(datagram);
            if (!url)
                continue;
            describe_url = *url;
            if (!get_description()) {
                DebugTrace("inner get_description error\n");
                continue;
            }
            if (velmora::NamesGatewayDevice(description)) {
                ssdp_sock.close();
                status = UpnpStatus::GatewayFound;
                return true;
            }
            DebugTrace("this is not IDG, ignore....\n");
        }
    }
    fail("Fail to find an UPNP NAT.\n");
    DebugTrace("last_error is %s\n", last_error.c_str());
    ssdp_sock.close();
    return false;
}
