#pragma once

#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/RouterMappings.h"

#include <chrono>
#include <memory>

class UpnpClient;

namespace velmora {

// Installs mappings in a UPnP router: the program's own client sends
// AddPortMapping to the control URL and service type the scan found (any
// remote host, enabled, no lease time); each mapping is read back with
// miniupnpc's GetSpecificPortMappingEntry.
class UpnpMappingWriter final : public MappingWriter
{
public:
    // Connection attempts per request (1 s apart, each up to 2 s).
    static constexpr int kConnectAttempts = 2;

    // How long a request waits for the router's answer.
    static constexpr std::chrono::seconds kAnswerWithin{30};

    explicit UpnpMappingWriter(RouterEndpoint endpoint,
                               std::chrono::seconds answerWithin = kAnswerWithin);
    ~UpnpMappingWriter() override;

    Outcome write(const MappingRequest& request) override;
    bool holds(const MappingRequest& request) override;
    Message problem() const override { return problem_; }

private:
    RouterEndpoint endpoint_;
    std::unique_ptr<UpnpClient> client_;
    Message problem_;
};

} // namespace velmora
