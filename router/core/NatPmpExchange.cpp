#include "router/core/NatPmpExchange.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

int AwaitNatPmpResponse(natpmp_t* handle, natpmpresp_t* response,
                        std::chrono::steady_clock::time_point deadline)
{
    using Clock = std::chrono::steady_clock;
    int code = NATPMP_TRYAGAIN;
    while (code == NATPMP_TRYAGAIN) {
        const auto now = Clock::now();
        if (now >= deadline)
            break;
        timeval retry{};
        int timeout = getnatpmprequesttimeout(handle, &retry);
        if (timeout < 0)
            return timeout;
        auto untilRetry =
            std::chrono::seconds(retry.tv_sec) + std::chrono::microseconds(retry.tv_usec);
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::max<Clock::duration>(
            Clock::duration::zero(), std::min<Clock::duration>(untilRetry, deadline - now)));
        pollfd socket{handle->s, POLLIN, 0};
        // One more millisecond, so that a resend is due when the wait ends.
        if (poll(&socket, 1, static_cast<int>(wait.count()) + 1) < 0 && errno != EINTR)
            return NATPMP_ERR_RECVFROM;
        // Reads an answer when there is one, resends the request when its
        // time has come, and otherwise says to try again.
        code = readnatpmpresponseorretry(handle, response);
    }
    return code;
}
