#pragma once

#include <string>

// What the client knows about its router: filled by discovery and the
// description reader, or set directly from a control URL and service type
// found elsewhere (the router scan).
struct RouterInfo
{
    std::string friendly_name;
    std::string service_type; // URN of the WAN connection service in use
    std::string describe_url;
    std::string control_url; // absolute control URL of that service
    std::string base_URL;
    std::string description; // the whole HTTP response that carried the description

    // A router known only by its WAN connection service.
    static RouterInfo forService(std::string controlUrl, std::string serviceType)
    {
        RouterInfo info;
        info.control_url = std::move(controlUrl);
        info.service_type = std::move(serviceType);
        return info;
    }
};
