#include "platform/DeadlineScale.h"
#include "platform/DebugTrace.h"
#include "platform/IPv4Endpoint.h"
#include "platform/IPv6Endpoint.h"
#include "platform/SocketConnect.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"
#include "upnp/core/HttpAnswerEnd.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"

#include <sys/socket.h>
#include <thread>

namespace {

// How long one connection attempt may wait for the router's answer.
constexpr auto kConnectAttempt = std::chrono::milliseconds(2000);
// Pause between two connection attempts.
constexpr auto kAttemptPause = std::chrono::milliseconds(1000);

// A socket address of either family.
struct SocketAddress
{
    sockaddr_storage storage{};
    socklen_t size = 0;
    const sockaddr* get() const { return reinterpret_cast<const sockaddr*>(&storage); }
};

// A dotted IPv4 or an IPv6 literal (with its zone) and a port; no name look-up.
bool MakeAddress(const std::string& host, uint16_t port, SocketAddress& out)
{
    out = {};
    if (velmora::MakeIPv4Endpoint(host.c_str(), port,
                                  *reinterpret_cast<sockaddr_in*>(&out.storage))) {
        out.size = sizeof(sockaddr_in);
    } else if (velmora::MakeIPv6Endpoint(host.c_str(), port,
                                         *reinterpret_cast<sockaddr_in6*>(&out.storage))) {
        out.size = sizeof(sockaddr_in6);
    }
    return out.size != 0;
}

// One attempt on a fresh socket, bounded by kConnectAttempt; from `source`
// when it has an address.
velmora::SocketHandle ConnectOnce(const SocketAddress& address, const SocketAddress& source)
{
    velmora::SocketHandle sock(socket(address.storage.ss_family, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!sock.valid())
        return {};
    if (source.size != 0 && ::bind(sock.fd(), source.get(), source.size) != 0)
        return {};
    if (!velmora::ConnectWithin(sock.fd(), address.get(), address.size,
                                velmora::DeadlineAfter(kConnectAttempt))
             .connected())
        return {}; // refused, unreachable, or timed out
    return sock;
}

} // namespace

bool UpnpClient::tcp_connect(const std::string& host, uint16_t port)
{
    tcp_sock.close();
    SocketAddress address;
    SocketAddress source;
    // Address literals only; anything else can never connect, so no attempt
    // is made and nothing is waited for. So is a source of another family.
    bool usable = MakeAddress(host, port, address);
    if (usable && !source_address.empty())
        usable = MakeAddress(source_address, 0, source) &&
                 source.storage.ss_family == address.storage.ss_family;
    for (int32_t attempt = 0; usable && attempt < time_out && !cancelled(); ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(kAttemptPause);
        velmora::SocketHandle sock = ConnectOnce(address, source);
        if (sock.valid()) {
            tcp_sock = std::move(sock);
            status = UpnpStatus::Connected;
            return true;
        }
    }
    DebugTrace("tcp_connect error host[%s], port[%d]\n", host.c_str(), port);
    fail(velmora::Format("Fail to connect to %s:%i (using TCP)\n", host.c_str(), port));
    return false;
}

std::string UpnpClient::http_exchange(const std::string& request, const char* end_marker,
                                      int cycles)
{
    using Status = velmora::ReceiveResult::Status;
    std::string response;
    if (!tcp_sock.valid())
        return response;
    const int fd = tcp_sock.fd();
    // The cycle limit is the exchange's deadline: one second per cycle.
    const auto deadline = velmora::DeadlineAfter(
        velmora::ScaledDeadline(std::chrono::milliseconds(cycles > 0 ? cycles * 1000 : 0)));
    size_t sent = 0;
    if (velmora::SendAll(fd, request.data(), request.size(), deadline, sent) !=
        velmora::SendResult::Sent)
        return response;

    const std::string_view marker = end_marker ? end_marker : "";
    if (!receive_buffer_)
        receive_buffer_.reset(new char[kReceiveBytes]);
    char* buffer = receive_buffer_.get();
    velmora::HttpAnswerEnd end(marker);
    // Reads until the answer is complete (Content-Length or the end marker),
    // the router closes, a socket error, or the deadline.
    for (;;) {
        const velmora::ReceiveResult got =
            velmora::ReceiveWithin(fd, buffer, kReceiveBytes, deadline);
        if (got.status != Status::Received)
            break;
        const size_t before = response.size();
        response.append(buffer, got.size);
        if (response.size() > kMaxResponseBytes) {
            last_error = velmora::Format("Response longer than %zu bytes.\n", kMaxResponseBytes);
            return {};
        }
        if (end.complete(response, before))
            break;
    }
    return response;
}
