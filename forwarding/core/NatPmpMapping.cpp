#include "forwarding/core/NatPmpMapping.h"

#include "router/core/NatPmpExchange.h"

namespace velmora {

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
    int code = AwaitNatPmpResponse(handle.get(), &response, deadline);
    answer.code = code;
    if (code == 0) {
        answer.publicPort = response.pnu.newportmapping.mappedpublicport;
        answer.lifetime = response.pnu.newportmapping.lifetime;
    }
    return answer;
}

} // namespace velmora
