#include "forwarding/core/PortProbe.h"

#include "platform/IPv4Endpoint.h"
#include "platform/SocketConnect.h"
#include "platform/SocketHandle.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"

#include <cerrno>
#include <cstring>
#include <iterator>
#include <sys/socket.h>

namespace velmora {
namespace {

ProbeResult Unreached(int error)
{
    return {PortState::Filtered, std::string("no connection (") + std::strerror(error) + ")"};
}

std::string NoAnswerWithin(std::chrono::milliseconds timeout)
{
    return "no answer within " + std::to_string(timeout.count()) + " ms";
}

} // namespace

const char* PortStateWord(PortState state)
{
    // In the order of the enumeration.
    static constexpr const char* kWords[] = {"open",       "closed",        "filtered",
                                             "unfiltered", "open|filtered", "closed|filtered"};
    const auto index = static_cast<size_t>(state);
    return index < std::size(kWords) ? kWords[index] : "filtered";
}

ProbeResult ProbeTcp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const Deadline deadline = DeadlineAfter(timeout);
    sockaddr_in target{};
    if (!MakeIPv4Endpoint(address.c_str(), port, target))
        return {PortState::Filtered, "not probed: \"" + address + "\" is not an IPv4 address"};
    SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return Unreached(errno);
    const ConnectResult connected = ConnectWithin(socket.fd(), target, deadline);
    switch (connected.status) {
    case ConnectResult::Status::Connected:
        return {PortState::Open, "connection accepted"};
    case ConnectResult::Status::TimedOut:
        return {PortState::Filtered, NoAnswerWithin(timeout)};
    case ConnectResult::Status::Failed:
        break;
    }
    if (connected.error == ECONNREFUSED)
        return {PortState::Closed, "connection refused"};
    return Unreached(connected.error);
}

ProbeResult ProbeUdp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const auto start = SteadyClock::now();
    sockaddr_in target{};
    if (!MakeIPv4Endpoint(address.c_str(), port, target))
        return {PortState::OpenFiltered, "not probed: \"" + address + "\" is not an IPv4 address"};
    SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    // A connected UDP socket reports the host's port-unreachable answer as ECONNREFUSED.
    const int error =
        !socket.valid() ? errno : ConnectWithin(socket.fd(), target, kNoDeadline).error;
    if (error != 0)
        return {PortState::OpenFiltered, std::string("not probed: ") + std::strerror(error)};
    for (Deadline until : {start + timeout / 2, start + timeout}) {
        size_t sent = 0;
        if (SendSome(socket.fd(), "", 0, until, sent) == SendResult::Failed &&
            errno == ECONNREFUSED)
            return {PortState::Closed, "port unreachable"};
        char reply[512];
        const ReceiveResult got = ReceiveWithin(socket.fd(), reply, sizeof reply, until, false);
        if (got.status == ReceiveResult::Status::Received)
            return {PortState::Open, "a datagram came back"};
        if (got.status == ReceiveResult::Status::Failed && got.error == ECONNREFUSED)
            return {PortState::Closed, "port unreachable"};
    }
    return {PortState::OpenFiltered, NoAnswerWithin(timeout)};
}

} // namespace velmora
