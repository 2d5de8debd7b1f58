#include "router/core/NatPmpProbe.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>

namespace {

using Clock = std::chrono::steady_clock;

// A libnatpmp handle whose socket is closed unless handed to an entry.
class NatPmpHandle final
{
public:
    NatPmpHandle() = default;
    ~NatPmpHandle()
    {
        if (open_)
            closenatpmp(&handle_);
    }
    NatPmpHandle(const NatPmpHandle&) = delete;
    NatPmpHandle& operator=(const NatPmpHandle&) = delete;

    bool open()
    {
        open_ = initnatpmp(&handle_, 0, 0) == 0;
        return open_;
    }
    natpmp_t* get() { return &handle_; }
    natpmp_t release()
    {
        open_ = false;
        return handle_;
    }

private:
    natpmp_t handle_{};
    bool open_ = false;
};

// Waits for the socket to become readable, at most until libnatpmp's next
// retransmission or the deadline, whichever comes first.
bool WaitForAnswer(natpmp_t* handle, Clock::time_point deadline)
{
    timeval retry{};
    if (getnatpmprequesttimeout(handle, &retry) < 0)
        return false;
    auto untilRetry = std::chrono::seconds(retry.tv_sec) + std::chrono::microseconds(retry.tv_usec);
    auto untilDeadline = deadline - Clock::now();
    auto wait = std::chrono::ceil<std::chrono::milliseconds>(std::max<Clock::duration>(
        Clock::duration::zero(), std::min<Clock::duration>(untilRetry, untilDeadline)));
    pollfd socket{handle->s, POLLIN, 0};
    return poll(&socket, 1, static_cast<int>(wait.count())) >= 0 || errno == EINTR;
}

} // namespace

RouterEntryPtr ProbeNatPmpRouter(std::chrono::milliseconds wait)
{
    const Clock::time_point deadline = Clock::now() + wait;
    NatPmpHandle handle;
    if (!handle.open())
        return nullptr;
    if (sendpublicaddressrequest(handle.get()) != 2)
        return nullptr;

    natpmpresp_t response{};
    int result = NATPMP_TRYAGAIN;
    while (result == NATPMP_TRYAGAIN) {
        if (!WaitForAnswer(handle.get(), deadline))
            return nullptr;
        result = readnatpmpresponseorretry(handle.get(), &response);
        if (result == NATPMP_TRYAGAIN && Clock::now() >= deadline)
            return nullptr;
    }
    if (result != 0)
        return nullptr;

    auto entry = std::make_shared<RouterEntry>();
    entry->is_apple = true;
    entry->natpmp = handle.release();
    entry->natpmp_open = true;
    return entry;
}
