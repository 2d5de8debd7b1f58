#include "router/core/UpnpDiscovery.h"

#include "platform/Utf8Text.h"
#include "router/core/DescriptionFetch.h"
#include "router/core/MiniupnpcOwners.h"
#include "upnp/core/FriendlyName.h"

#include <cstring>
#include <miniupnpc/miniwget.h>

namespace {

// Discovery waits this long for answers; with a TTL of 2 the search stays
// on the local network and the next hop behind it.
constexpr int kDiscoverDelayMs = 2000;
constexpr unsigned char kDiscoverTtl = 2;
// An empty path, unlike null, keeps miniupnpc from asking a local MiniSSDPd.
constexpr char kNoMiniSsdpd[] = "";

std::string DeviceLines(const char* descUrl, const char* st)
{
    std::string lines = " desc: ";
    lines += descUrl ? descUrl : "(null)";
    lines += "\n st: ";
    lines += st ? st : "(null)";
    lines += "\n\n";
    return lines;
}

std::string FetchFriendlyName(const char* descriptionUrl, unsigned scopeId)
{
    int size = 0;
    int status = 0;
    velmora::MallocBuffer body(
        static_cast<char*>(miniwget(descriptionUrl, &size, scopeId, &status)));
    if (!body || size <= 0)
        return {};
    return velmora::RouterFriendlyName(std::string(body.get(), static_cast<size_t>(size)));
}

} // namespace

namespace velmora {

std::string RouterFriendlyName(const std::string& description)
{
    std::string name = velmora::FirstFriendlyName(description);
    name.resize(velmora::Utf8CutLength(name, kFriendlyNameMaxBytes));
    return name;
}

RouterEntryPtr FetchUpnpRouter(const char* descriptionUrl, unsigned scopeId,
                               std::string& diagnostics)
{
    auto entry = std::make_shared<RouterEntry>();
    UpnpUrlsOwner urls;
    std::string description;
    std::string lanAddress;
    switch (FetchDescription(descriptionUrl, description, lanAddress)) {
    case DescriptionFetch::Failed:
        return nullptr;
    case DescriptionFetch::Fetched:
        // What UPNP_GetIGDFromUrl does with the description, read once and bounded.
        parserootdesc(description.data(), static_cast<int>(description.size()), &entry->data);
        GetUPNPUrls(urls.get(), &entry->data, descriptionUrl, scopeId);
        entry->friendly_name = RouterFriendlyName(description);
        break;
    case DescriptionFetch::NotAnAddress: {
        // A LOCATION that names a host: miniupnpc resolves it.
        char lan[64] = {};
        if (!UPNP_GetIGDFromUrl(descriptionUrl, urls.get(), &entry->data, lan, sizeof lan))
            return nullptr;
        lanAddress = lan;
        entry->friendly_name = FetchFriendlyName(descriptionUrl, scopeId);
        break;
    }
    }
    diagnostics += "Local LAN ip address : ";
    diagnostics += lanAddress;
    diagnostics += "\n";
    entry->description_url = descriptionUrl;
    entry->is_apple = false;
    entry->urls = urls.release();
    entry->lan_address = lanAddress;
    return entry;
}

UpnpRound ReadDeviceList(const UPNPDev* devices, const RouterFetch& fetch)
{
    UpnpRound round;
    if (!devices)
        return round;
    round.answered = true;
    for (const UPNPDev* device = devices; device; device = device->pNext) {
        UpnpRound::Device seen;
        seen.diagnostics = DeviceLines(device->descURL, device->st);
        bool isIgd = device->st && std::strcmp(device->st, kIgdDeviceType) == 0;
        if (isIgd && device->descURL && device->descURL[0])
            seen.router = fetch(device->descURL, device->scope_id, seen.diagnostics);
        round.devices.push_back(std::move(seen));
    }
    return round;
}

} // namespace velmora

velmora::UpnpRound DiscoverUpnpRouters(const std::string& interfaceAddress)
{
    int error = 0;
    const char* multicastIf = interfaceAddress.empty() ? nullptr : interfaceAddress.c_str();
    // Only IGD:1 answers are taken, so only IGD:1 is searched for: upnpDiscover
    // would go on to three more search types, 2 s each, whenever nothing
    // answers, and everything they could find is passed over anyway.
    velmora::UpnpDevList devices(upnpDiscoverDevice(velmora::kIgdDeviceType, kDiscoverDelayMs,
                                                    multicastIf, kNoMiniSsdpd, UPNP_LOCAL_PORT_ANY,
                                                    0, kDiscoverTtl, &error));
    if (!devices)
        return {};
    return velmora::ReadDeviceList(devices.get(), velmora::FetchUpnpRouter);
}
