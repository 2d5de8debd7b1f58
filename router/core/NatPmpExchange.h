#pragma once

#include "platform/Deadline.h"

#include <natpmp.h>

namespace velmora {

// One libnatpmp handle; its socket is closed with it unless released to a
// RouterEntry, which then owns it.
class NatPmpHandle final
{
public:
    // A gateway of 0 is the default route's.
    explicit NatPmpHandle(in_addr_t gateway = 0)
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

    // initnatpmp's result: 0 when the handle is open.
    int initResult() const { return code_; }
    natpmp_t* get() { return &handle_; }
    natpmp_t release()
    {
        code_ = -1;
        return handle_;
    }

private:
    natpmp_t handle_{};
    int code_ = -1;
};

// Waits for the answer to the request just sent, letting libnatpmp resend it
// on its schedule, but never past `deadline`. Returns libnatpmp's last result:
// 0 with `response` filled, NATPMP_TRYAGAIN when the deadline came first, or
// another (negative) error.
int AwaitNatPmpResponse(natpmp_t* handle, natpmpresp_t* response, velmora::Deadline deadline);

} // namespace velmora
