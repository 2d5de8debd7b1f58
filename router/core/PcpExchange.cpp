#include "router/core/PcpExchange.h"

#include "platform/IPv4Endpoint.h"
#include "platform/IPv6Endpoint.h"
#include "platform/SocketConnect.h"
#include "platform/SocketHandle.h"
#include "platform/SocketReceive.h"
#include "platform/SocketSend.h"
#include "router/core/ProblemTexts.h"

#include <cerrno>
#include <random>
#include <sys/socket.h>

namespace velmora {
namespace {

// RFC 6887 section 8.1.1: the first resend after about 3 s, then doubling,
// each with up to 10% of jitter, never more than 1024 s apart.
constexpr auto kInitialResend = std::chrono::milliseconds(3000);
constexpr auto kMaxResend = std::chrono::seconds(1024);

SteadyClock::duration Jittered(SteadyClock::duration interval)
{
    static thread_local std::minstd_rand random{std::random_device{}()};
    std::uniform_int_distribution<int> tenths(-100, 100);
    return interval + interval * tenths(random) / 1000;
}

struct Endpoint
{
    sockaddr_storage storage{};
    socklen_t size = 0;
    int family = AF_UNSPEC;
};

bool MakeEndpoint(const std::string& text, uint16_t port, Endpoint& out)
{
    out = {};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&out.storage);
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&out.storage);
    if (MakeIPv4Endpoint(text.c_str(), port, *v4)) {
        out.size = sizeof(sockaddr_in);
        out.family = AF_INET;
    } else if (MakeIPv6Endpoint(text.c_str(), port, *v6)) {
        out.size = sizeof(sockaddr_in6);
        out.family = AF_INET6;
    }
    return out.family != AF_UNSPEC;
}

// The local address the connected socket sends from, in PCP's form.
bool ClientAddress(int fd, in6_addr& client)
{
    sockaddr_storage local{};
    socklen_t size = sizeof local;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return false;
    if (local.ss_family == AF_INET)
        client = MappedIPv4(reinterpret_cast<const sockaddr_in*>(&local)->sin_addr);
    else
        client = reinterpret_cast<const sockaddr_in6*>(&local)->sin6_addr;
    return true;
}

// Why an answer does not belong to the request, for the failure message.
Message Mismatch(const PcpAnswer& answer, const PcpRequest& request)
{
    using namespace problem_texts;
    if (answer.form != PcpAnswer::Form::Pcp)
        return Message(kUnreadableAnswer);
    if (answer.version != kPcpVersion)
        return Message(kOtherVersion, {std::to_string(answer.version)});
    if (answer.opcode != static_cast<uint8_t>(request.opcode))
        return Message(kOtherOpcode);
    if (answer.nonce != request.nonce)
        return Message(kOtherNonce);
    return Message(kOtherPort);
}

} // namespace

PcpOutcome ExchangePcp(const std::string& server, const std::string& source, PcpRequest request,
                       Deadline deadline)
{
    PcpOutcome outcome;
    Endpoint to;
    if (!MakeEndpoint(server, kPcpPort, to)) {
        outcome.problem = Message(problem_texts::kNoGatewayAddress);
        return outcome;
    }
    SocketHandle sock(::socket(to.family, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!sock.valid())
        return outcome;
    if (!source.empty()) {
        Endpoint from;
        if (!MakeEndpoint(source, 0, from) || from.family != to.family ||
            ::bind(sock.fd(), reinterpret_cast<const sockaddr*>(&from.storage), from.size) != 0) {
            outcome.problem = Message(problem_texts::kCannotSendFrom, {source});
            return outcome;
        }
    }
    // A connected socket hears only the server, and learns of a closed port.
    if (!ConnectWithin(sock.fd(), reinterpret_cast<const sockaddr*>(&to.storage), to.size, deadline)
             .connected() ||
        !ClientAddress(sock.fd(), request.client))
        return outcome;
    outcome.client = request.client;
    const std::vector<uint8_t> message = EncodePcpRequest(request);

    SteadyClock::duration interval = kInitialResend;
    uint8_t buffer[kPcpMaxMessage + 4];
    while (SteadyClock::now() < deadline) {
        size_t sent = 0;
        if (SendAll(sock.fd(), message.data(), message.size(), deadline, sent) !=
            SendResult::Sent) {
            outcome.status =
                errno == ECONNREFUSED ? PcpOutcome::Status::Refused : PcpOutcome::Status::Failed;
            return outcome;
        }
        const Deadline resend = std::min(deadline, SteadyClock::now() + Jittered(interval));
        interval = std::min<SteadyClock::duration>(interval * 2, kMaxResend);
        for (;;) {
            const ReceiveResult got = ReceiveWithin(sock.fd(), reinterpret_cast<char*>(buffer),
                                                    sizeof buffer, resend, false);
            if (got.status == ReceiveResult::Status::TimedOut)
                break;
            if (got.status != ReceiveResult::Status::Received) {
                outcome.status = got.error == ECONNREFUSED ? PcpOutcome::Status::Refused
                                                           : PcpOutcome::Status::Failed;
                return outcome;
            }
            const PcpAnswer answer = DecodePcpAnswer(buffer, got.size);
            if (answer.form == PcpAnswer::Form::NatPmp) {
                outcome.status = PcpOutcome::Status::NatPmpOnly;
                outcome.answer = answer;
                return outcome;
            }
            if (answer.form == PcpAnswer::Form::Pcp && answer.version < kPcpVersion &&
                answer.result == pcp_result::kUnsupportedVersion) {
                outcome.status = PcpOutcome::Status::OldVersion;
                outcome.answer = answer;
                return outcome;
            }
            if (PcpAnswerMatches(answer, request)) {
                outcome.status = PcpOutcome::Status::Answered;
                outcome.answer = answer;
                outcome.problem = {};
                return outcome;
            }
            // Dropped (RFC 6887 section 8.3); kept only to say why nothing fitted.
            outcome.status = PcpOutcome::Status::Mismatched;
            outcome.problem = Mismatch(answer, request);
        }
    }
    if (outcome.status != PcpOutcome::Status::Mismatched)
        outcome.status = PcpOutcome::Status::NoAnswer;
    return outcome;
}

Message DescribePcpOutcome(const PcpOutcome& outcome)
{
    using namespace problem_texts;
    using Status = PcpOutcome::Status;
    switch (outcome.status) {
    case Status::Answered:
        if (outcome.answer.result == pcp_result::kSuccess)
            return {};
        return Message(kGatewayRefused, {PcpResultName(outcome.answer.result)});
    case Status::NatPmpOnly:
        return Message(kNatPmpNotPcp);
    case Status::OldVersion:
        return Message(kOldPcp, {std::to_string(outcome.answer.version)});
    case Status::Refused:
        return Message(kNoPcp);
    case Status::NoAnswer:
        return Message(kGatewaySilent);
    case Status::Mismatched:
        return Message(kGatewaySentOther, {outcome.problem});
    case Status::Failed:
        return outcome.problem.empty() ? Message(kNotSent) : outcome.problem;
    }
    return {};
}

} // namespace velmora
