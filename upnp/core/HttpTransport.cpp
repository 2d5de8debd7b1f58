#include "platform/DeadlineScale.h"
#include "platform/DebugTrace.h"
#include "platform/IPv4Endpoint.h"
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

// One attempt on a fresh socket, bounded by kConnectAttempt.
velmora::SocketHandle ConnectOnce(const sockaddr_in& address)
{
    velmora::SocketHandle sock(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!sock.valid())
        return {};
    if (!velmora::ConnectWithin(sock.fd(), address, velmora::DeadlineAfter(kConnectAttempt))
             .connected())
        return {}; // refused, unreachable, or timed out
    return sock;
}

} // namespace

bool UpnpClient::tcp_connect(const std::string& host, uint16_t port)
{
    tcp_sock.close();
    sockaddr_in address{};
    // Dotted IPv4 text only; anything else can never connect, so no attempt
    // is made and nothing is waited for.
    const bool usable = velmora::MakeIPv4Endpoint(host.c_str(), port, address);
    for (int32_t attempt = 0; usable && attempt < time_out && !cancelled(); ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(kAttemptPause);
        velmora::SocketHandle sock = ConnectOnce(address);
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
