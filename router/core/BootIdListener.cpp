#include "router/core/BootIdListener.h"

#include "platform/IPv4Endpoint.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"
#include "router/core/RestartRule.h"
#include "router/core/SsdpNotify.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>

namespace velmora {

namespace {
constexpr char kGroup[] = "239.255.255.250";
constexpr uint16_t kPort = 1900;
constexpr size_t kDatagramSize = 2048; // longer announcements are cut (headers we need come early)
constexpr auto kWake = std::chrono::milliseconds(BootIdListener::kWakeMs);
} // namespace

BootIdListener::BootIdListener(const std::string& interfaceAddress,
                               const std::string& routerAddress, Restarted restarted)
    : restarted_(std::move(restarted))
{
    in_addr router{};
    if (inet_pton(AF_INET, routerAddress.c_str(), &router) != 1)
        return;
    router_ = router.s_addr;
    SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return;
    const int on = 1;
    setsockopt(socket.fd(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    setsockopt(socket.fd(), SOL_SOCKET, SO_REUSEPORT, &on, sizeof on);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(kPort);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(socket.fd(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
        return;
    ip_mreq membership{};
    inet_pton(AF_INET, kGroup, &membership.imr_multiaddr);
    membership.imr_interface.s_addr = htonl(INADDR_ANY);
    if (!interfaceAddress.empty())
        inet_pton(AF_INET, interfaceAddress.c_str(), &membership.imr_interface);
    if (setsockopt(socket.fd(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &membership, sizeof membership) != 0)
        return;
    // The router's answer (it carries the boot id) comes back to this socket.
    constexpr char kSearch[] = "M-SEARCH * HTTP/1.1\r\n"
                               "HOST: 239.255.255.250:1900\r\n"
                               "MAN: \"ssdp:discover\"\r\n"
                               "MX: 1\r\n"
                               "ST: upnp:rootdevice\r\n"
                               "\r\n";
    sockaddr_in to{};
    velmora::MakeIPv4Endpoint(routerAddress.c_str(), kPort, to);
    size_t sent = 0;
    velmora::SendAll(socket.fd(), kSearch, sizeof kSearch - 1, velmora::DeadlineAfter(kWake), sent,
                     &to);
    socket_ = std::move(socket);
    thread_ = std::thread([this] { run(); });
}

BootIdListener::~BootIdListener()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
}

void BootIdListener::run()
{
    RestartWatchState state;
    char buffer[kDatagramSize];
    while (!stopping_) {
        sockaddr_in from{};
        const velmora::ReceiveResult got = velmora::ReceiveWithin(
            socket_.fd(), buffer, sizeof buffer, velmora::DeadlineAfter(kWake), false, &from);
        if (got.status != velmora::ReceiveResult::Status::Received || got.size == 0 ||
            from.sin_addr.s_addr != router_)
            continue;
        const auto datagram = ParseSsdpNotify(std::string_view(buffer, got.size));
        if (!datagram)
            continue;
        RestartStep step = ObserveRouterDatagram(state, *datagram);
        state = step.state;
        if (!step.restarted.empty() && restarted_)
            restarted_(step.restarted);
    }
}

} // namespace velmora
