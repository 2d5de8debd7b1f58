#include "platform/DeadlineScale.h"
#include "platform/DebugTrace.h"
#include "platform/IPv4Endpoint.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"
#include "upnp/core/DeviceUrl.h"
#include "upnp/core/SsdpAnswer.h"
#include "upnp/core/UpnpClient.h"

#include <arpa/inet.h>
#include <cstring>
#include <sys/socket.h>
#include <vector>

namespace {

constexpr int kSearchCycles = 6;
// Each cycle waits this long for one answer datagram.
constexpr auto kCycleWait = std::chrono::milliseconds(5000);

// Waits for a datagram and reads it; empty when none came in time. `sender`
// gets the dotted address it came from.
std::string ReadOneDatagram(int fd, std::vector<char>& buffer, std::string& sender)
{
    sockaddr_in from{};
    const velmora::ReceiveResult got = velmora::ReceiveWithin(
        fd, buffer.data(), buffer.size(),
        velmora::DeadlineAfter(velmora::ScaledDeadline(kCycleWait)), false, &from);
    // Each datagram is taken by itself, of exactly the length received.
    if (got.status != velmora::ReceiveResult::Status::Received)
        return {};
    char address[INET_ADDRSTRLEN] = {};
    sender = inet_ntop(AF_INET, &from.sin_addr, address, sizeof address) ? address : "";
    return std::string(buffer.data(), got.size);
}

} // namespace

bool UpnpClient::discovery()
{
    ssdp_sock = velmora::SocketHandle(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP));
    if (ssdp_sock.valid()) {
        const int on = 1;
        setsockopt(ssdp_sock.fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
        sockaddr_in group{};
        velmora::MakeIPv4Endpoint("239.255.255.250", 1900, group);
        // The search goes out once; whether it left is not checked (no answer
        // then comes).
        size_t sent = 0;
        velmora::SendAll(ssdp_sock.fd(), velmora::kSsdpSearchRequest,
                         std::strlen(velmora::kSsdpSearchRequest),
                         velmora::DeadlineAfter(kCycleWait), sent, &group);
        DebugTrace("time_out is %d\n", time_out);

        std::vector<char> buffer(kReceiveBytes);
        for (int cycle = 0; cycle < kSearchCycles && !cancelled(); ++cycle) {
            std::string sender;
            const std::string datagram = ReadOneDatagram(ssdp_sock.fd(), buffer, sender);
            if (datagram.empty())
                continue;
            DebugTrace("discovery:%s\n", datagram.c_str());
            const auto location = velmora::DescribeUrlFromSsdpAnswer(datagram);
            if (!location)
                continue;
            // The device is asked only at the address it answered from.
            const velmora::DeviceUrl url = velmora::CheckDeviceUrl(*location, sender);
            if (!url) {
                velmora::LogRefusedDevice(sender, "description URL", *location, url.fault);
                continue;
            }
            describe_url = url.url;
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
