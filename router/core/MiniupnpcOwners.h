#pragma once

#include <cstdlib>
#include <memory>
#include <miniupnpc/miniupnpc.h>

namespace velmora {

// Owners for what miniupnpc allocates.

struct UpnpDevListDeleter
{
    void operator()(UPNPDev* list) const { freeUPNPDevlist(list); }
};
using UpnpDevList = std::unique_ptr<UPNPDev, UpnpDevListDeleter>;

// A buffer from miniwget (released with free).
struct MallocDeleter
{
    void operator()(void* buffer) const { std::free(buffer); }
};
using MallocBuffer = std::unique_ptr<char, MallocDeleter>;

// The URL strings of one router; released with FreeUPNPUrls unless handed on.
class UpnpUrlsOwner final
{
public:
    UpnpUrlsOwner() = default;
    ~UpnpUrlsOwner() { FreeUPNPUrls(&urls_); }
    UpnpUrlsOwner(const UpnpUrlsOwner&) = delete;
    UpnpUrlsOwner& operator=(const UpnpUrlsOwner&) = delete;

    UPNPUrls* get() { return &urls_; }
    // Hands the strings to the caller, who then releases them.
    UPNPUrls release()
    {
        UPNPUrls urls = urls_;
        urls_ = UPNPUrls{};
        return urls;
    }

private:
    UPNPUrls urls_{};
};

} // namespace velmora
