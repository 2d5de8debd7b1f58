#include "upnp/core/UpnpClient.h"

void UpnpClient::fail(std::string message)
{
    status = UpnpStatus::Failed;
    last_error = std::move(message);
}

bool UpnpClient::init_client(int32_t attempts)
{
    // Sockets need no start-up here.
    time_out = attempts;
    status = UpnpStatus::Initialised;
    return true;
}

RouterInfo UpnpClient::routerInfo() const
{
    return RouterInfo{friendly_name, service_type, describe_url,
                      control_url,   base_URL,     description};
}

void UpnpClient::setRouterInfo(const RouterInfo& info)
{
    friendly_name = info.friendly_name;
    service_type = info.service_type;
    describe_url = info.describe_url;
    control_url = info.control_url;
    base_URL = info.base_URL;
    description = info.description;
}
