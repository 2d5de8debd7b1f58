#pragma once

#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/RouterMappings.h"

namespace velmora {

// Installs mappings in a UPnP router: AddPortMapping on the control URL and
// service type the scan found, read back with GetSpecificPortMappingEntry.
class UpnpMappingWriter final : public MappingWriter
{
public:
    explicit UpnpMappingWriter(RouterEndpoint endpoint);

    Outcome write(const MappingRequest& request) override;
    bool holds(const MappingRequest& request) override;

private:
    RouterEndpoint endpoint_;
};

} // namespace velmora
