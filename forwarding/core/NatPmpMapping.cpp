#include "forwarding/core/NatPmpMapping.h"

#include <algorithm>
#include <natpmp.h>
#include <poll.h>

namespace velmora {
namespace {

// One libnatpmp handle; its socket is closed with it.
class NatPmpHandle final
{
public:
    // A gateway of 0 is looked up as the default route's.
    explicit NatPmpHandle(in_addr_t gateway)
    {
        code_ = initnatpmp(&handle_, gateway != 0, gateway);
    }
    ~NatPmpHandle()
    {
        if (code_ == 0)
            closenatpmp(&handle_);
    }
    NatPmpHandle(const NatPmpHandle&) = delete;
    NatPmpHandle& operator=(const NatPmpHandle&) = delete;

    int initResult() const { return code_; }
    natpmp_t* get() { return &handle_; }

private:
    natpmp_t handle_{};
    int code_ = -1;
};

} // namespace

int NatPmpProtocolOf(std::string_view protocol)
{
    if (protocol == "TCP")
        return NATPMP_PROTOCOL_TCP;
    if (protocol == "UDP")
        return NATPMP_PROTOCOL_UDP;
    return 0;
}

NatPmpAnswer RequestNatPmpMapping(in_addr_t gateway, int protocol, uint16_t privatePort,
                                  uint16_t publicPort, uint32_t lifetime,
                                  std::chrono::milliseconds timeout)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    NatPmpAnswer answer;
    NatPmpHandle handle(gateway);
    if (handle.initResult() != 0) {
        answer.code = handle.initResult();
        return answer;
    }
    int sent = sendnewportmappingrequest(handle.get(), protocol, privatePort, publicPort, lifetime);
    if (sent < 0) {
        answer.code = sent;
        return answer;
    }
    natpmpresp_t response{};
    int code = NATPMP_TRYAGAIN;
    while (code == NATPMP_TRYAGAIN) {
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        timeval retry{};
        getnatpmprequesttimeout(handle.get(), &retry);
        auto untilRetry = std::chrono::milliseconds(std::max<long>(
            0, static_cast<long>(retry.tv_sec) * 1000 + static_cast<long>(retry.tv_usec) / 1000));
        auto untilDeadline = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        pollfd waitFor{handle.get()->s, POLLIN, 0};
        poll(&waitFor, 1, static_cast<int>(std::min(untilRetry, untilDeadline).count()) + 1);
        // Reads an answer when there is one, sends the request again when its
        // retry time has come, and otherwise says to try again.
        code = readnatpmpresponseorretry(handle.get(), &response);
    }
    answer.code = code;
    if (code == 0) {
        answer.publicPort = response.pnu.newportmapping.mappedpublicport;
        answer.lifetime = response.pnu.newportmapping.lifetime;
    }
    return answer;
}

} // namespace velmora
