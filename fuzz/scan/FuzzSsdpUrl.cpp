// libFuzzer target: an SSDP answer's LOCATION, and the rule every URL a device
// gives goes through (checked alone, and joined to a base). The input is the
// answer; its LOCATION also serves as the reference joined to the base given
// by the answer's first line after the status line.
#include "upnp/core/DeviceUrl.h"
#include "upnp/core/SsdpAnswer.h"
#include "upnp/core/UrlParts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

constexpr char kDevice[] = "10.0.0.1";
constexpr char kLinkDevice[] = "fe80::1%eth0"; // an IPv6 device on a link

// An accepted URL is one the client can send to: the device's own address,
// nothing that could end a request line, and the same when checked again.
void CheckAccepted(const velmora::DeviceUrl& url, const char* device = kDevice)
{
    if (!url) {
        if (!url.url.empty())
            std::abort();
        return;
    }
    std::string host, path;
    uint16_t port = 0;
    if (!parseUrl(url.url, host, port, path) || host != device || path.empty() || path[0] != '/')
        std::abort();
    for (const char c : url.url) {
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f)
            std::abort();
    }
    if (velmora::CheckDeviceUrl(url.url, device).url != url.url)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const auto answer = velmora::ReadSsdpSearchAnswer(text);
    const std::string location = answer ? answer->location : text;
    CheckAccepted(velmora::CheckDeviceUrl(location, kDevice));
    const size_t line = text.find('\n');
    const std::string base = line == std::string::npos ? text : text.substr(line + 1, 200);
    CheckAccepted(velmora::JoinDeviceUrl(base, location, kDevice));
    CheckAccepted(velmora::JoinDeviceUrl("http://10.0.0.1:5000/a/desc.xml", location, kDevice));
    CheckAccepted(velmora::CheckDeviceUrl(location, kLinkDevice), kLinkDevice);
    CheckAccepted(velmora::JoinDeviceUrl(base, location, kLinkDevice), kLinkDevice);
    (void)velmora::UrlHostAddress(location);
    return 0;
}
