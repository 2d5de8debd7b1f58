#include "router/core/UpnpDiscovery.h"

#include "platform/Utf8Text.h"
#include "router/core/DescriptionFetch.h"
#include "router/core/MiniupnpcOwners.h"
#include "upnp/core/DeviceUrl.h"
#include "upnp/core/FriendlyName.h"

#include <cstring>

namespace velmora {

namespace {

// The text of one of IGDdatas' fixed-size fields.
template <size_t N> std::string Field(const char (&text)[N])
{
    return std::string(text, strnlen(text, N));
}

} // namespace

std::string RouterFriendlyName(const std::string& description)
{
    std::string name = FirstFriendlyName(description);
    name.resize(Utf8CutLength(name, kFriendlyNameMaxBytes));
    return name;
}

bool BuildRouterUrls(const IGDdatas& data, const std::string& descriptionUrl,
                     const std::string& deviceAddress, UPNPUrls& urls)
{
    const std::string base = data.urlbase[0] ? Field(data.urlbase) : descriptionUrl;
    const struct
    {
        std::string reference;
        char* UPNPUrls::*field;
        const char* what;
    } wanted[] = {
        {Field(data.first.controlurl), &UPNPUrls::controlURL, "control URL"},
        {Field(data.first.scpdurl), &UPNPUrls::ipcondescURL, "SCPD URL"},
        {Field(data.CIF.controlurl), &UPNPUrls::controlURL_CIF, "interface control URL"},
        {Field(data.IPv6FC.controlurl), &UPNPUrls::controlURL_6FC, "IPv6 firewall control URL"},
        {descriptionUrl, &UPNPUrls::rootdescURL, "description URL"},
    };
    UpnpUrlsOwner built;
    for (const auto& url : wanted) {
        const DeviceUrl joined = JoinDeviceUrl(base, url.reference, deviceAddress);
        if (!joined) {
            LogRefusedDevice(deviceAddress, url.what, url.reference, joined.fault);
            return false;
        }
        built.get()->*url.field = ::strdup(joined.url.c_str());
        if (!(built.get()->*url.field))
            return false;
    }
    urls = built.release();
    return true;
}

RouterEntryPtr FetchUpnpRouter(const std::string& descriptionUrl, const std::string& deviceAddress,
                               Deadline deadline, std::string& diagnostics)
{
    std::string description;
    std::string lanAddress;
    if (FetchDescription(descriptionUrl, deadline, description, lanAddress) !=
        DescriptionFetch::Fetched)
        return nullptr;
    auto entry = std::make_shared<RouterEntry>();
    // What UPNP_GetIGDFromUrl does with the description, read once and bounded.
    parserootdesc(description.data(), static_cast<int>(description.size()), &entry->data);
    if (!BuildRouterUrls(entry->data, descriptionUrl, deviceAddress, entry->urls))
        return nullptr;
    entry->friendly_name = RouterFriendlyName(description);
    diagnostics += "Local LAN ip address : " + lanAddress + "\n";
    entry->description_url = descriptionUrl;
    entry->is_apple = false;
    entry->lan_address = lanAddress;
    return entry;
}

} // namespace velmora
