#include "router/core/NatPmpProbe.h"

#include "router/core/NatPmpExchange.h"

velmora::RouterEntryPtr ProbeNatPmpRouter(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    velmora::NatPmpHandle handle;
    if (handle.initResult() != 0)
        return nullptr;
    if (sendpublicaddressrequest(handle.get()) != 2)
        return nullptr;
    natpmpresp_t response{};
    if (velmora::AwaitNatPmpResponse(handle.get(), &response, deadline) != 0)
        return nullptr;

    auto entry = std::make_shared<RouterEntry>();
    entry->is_apple = true;
    entry->natpmp = handle.release();
    entry->natpmp_open = true;
    return entry;
}
