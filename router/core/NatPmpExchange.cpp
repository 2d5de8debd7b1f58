#include "router/core/NatPmpExchange.h"

#include "platform/SocketWait.h"

#include <algorithm>

namespace velmora {

int AwaitNatPmpResponse(natpmp_t* handle, natpmpresp_t* response, velmora::Deadline deadline)
{
    using velmora::SteadyClock;
    int code = NATPMP_TRYAGAIN;
    while (code == NATPMP_TRYAGAIN) {
        const auto now = SteadyClock::now();
        if (now >= deadline)
            break;
        timeval retry{};
        int timeout = getnatpmprequesttimeout(handle, &retry);
        if (timeout < 0)
            return timeout;
        const auto untilRetry =
            std::chrono::seconds(retry.tv_sec) + std::chrono::microseconds(retry.tv_usec);
        const auto wait = std::max<SteadyClock::duration>(
            SteadyClock::duration::zero(),
            std::min<SteadyClock::duration>(untilRetry, deadline - now));
        // One more millisecond, so that a resend is due when the wait ends.
        const velmora::Deadline waitEnd = now + wait + std::chrono::milliseconds(1);
        if (velmora::WaitReadable(handle->s, waitEnd) == velmora::WaitResult::Failed)
            return NATPMP_ERR_RECVFROM;
        // Reads an answer when there is one, resends the request when its
        // time has come, and otherwise says to try again.
        code = readnatpmpresponseorretry(handle, response);
    }
    return code;
}

} // namespace velmora
