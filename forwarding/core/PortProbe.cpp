#include "forwarding/core/PortProbe.h"

#include "forwarding/core/PortCheckTexts.h"
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

using namespace port_check_texts;

ProbeResult Unreached(int error)
{
    return {PortState::Filtered, Message(kNoConnection, {std::strerror(error)})};
}

Message NoAnswerWithin(std::chrono::milliseconds timeout)
{
    return Message(kNoAnswer, {std::to_string(timeout.count())});
}

Message NotIPv4(const std::string& address)
{
    return Message(kNotIPv4, {address});
}

} // namespace

const TextTemplate& PortStateText(PortState state)
{
    const auto index = static_cast<size_t>(state);
    return index < std::size(kStateWords) ? kStateWords[index]
                                          : kStateWords[static_cast<size_t>(PortState::Filtered)];
}

const char* PortStateWord(PortState state)
{
    return PortStateText(state).english;
}

ProbeResult ProbeTcp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const Deadline deadline = DeadlineAfter(timeout);
    sockaddr_in target{};
    if (!MakeIPv4Endpoint(address.c_str(), port, target))
        return {PortState::Filtered, NotIPv4(address)};
    SocketHandle socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!socket.valid())
        return Unreached(errno);
    const ConnectResult connected = ConnectWithin(socket.fd(), target, deadline);
    switch (connected.status) {
    case ConnectResult::Status::Connected:
        return {PortState::Open, Message(kAccepted)};
    case ConnectResult::Status::TimedOut:
        return {PortState::Filtered, NoAnswerWithin(timeout)};
    case ConnectResult::Status::Failed:
        break;
    }
    if (connected.error == ECONNREFUSED)
        return {PortState::Closed, Message(kRefused)};
    return Unreached(connected.error);
}

ProbeResult ProbeUdp(const std::string& address, uint16_t port, std::chrono::milliseconds timeout)
{
    const auto start = SteadyClock::now();
    sockaddr_in target{};
    if (!MakeIPv4Endpoint(address.c_str(), port, target))
        return {PortState::OpenFiltered, NotIPv4(address)};
    SocketHandle socket(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    // A connected UDP socket reports the host's port-unreachable answer as ECONNREFUSED.
    const int error =
        !socket.valid() ? errno : ConnectWithin(socket.fd(), target, kNoDeadline).error;
    if (error != 0)
        return {PortState::OpenFiltered, Message(kNotProbed, {std::strerror(error)})};
    for (Deadline until : {start + timeout / 2, start + timeout}) {
        size_t sent = 0;
        if (SendSome(socket.fd(), "", 0, until, sent) == SendResult::Failed &&
            errno == ECONNREFUSED)
            return {PortState::Closed, Message(kUnreachable)};
        char reply[512];
        const ReceiveResult got = ReceiveWithin(socket.fd(), reply, sizeof reply, until, false);
        if (got.status == ReceiveResult::Status::Received)
            return {PortState::Open, Message(kDatagramBack)};
        if (got.status == ReceiveResult::Status::Failed && got.error == ECONNREFUSED)
            return {PortState::Closed, Message(kUnreachable)};
    }
    return {PortState::OpenFiltered, NoAnswerWithin(timeout)};
}

} // namespace velmora
