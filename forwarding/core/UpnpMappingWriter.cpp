#include "forwarding/core/UpnpMappingWriter.h"

#include "router/core/ProblemTexts.h"
#include "upnp/core/UpnpClient.h"

#include <string>

namespace velmora {

UpnpMappingWriter::UpnpMappingWriter(RouterEndpoint endpoint, std::chrono::seconds answerWithin)
    : endpoint_(std::move(endpoint)), client_(std::make_unique<UpnpClient>())
{
    client_->init_client(kConnectAttempts);
    client_->add_answer_seconds = static_cast<int32_t>(answerWithin.count());
    client_->setRouterInfo(RouterInfo::forService(endpoint_.controlUrl, endpoint_.serviceType));
}

UpnpMappingWriter::~UpnpMappingWriter() = default;

MappingWriter::Outcome UpnpMappingWriter::write(const MappingRequest& request)
{
    client_->last_error.clear();
    problem_ = {};
    if (client_->AddPortMapping(request.description, request.internalClient, request.port,
                                request.port, request.protocol)) {
        return Outcome::Written;
    }
    // The client tells a router it could not reach, or that never answered,
    // only by its message.
    const std::string& error = client_->last_error;
    const bool noAnswer =
        error.rfind("Fail to connect", 0) == 0 || error.rfind(UpnpClient::kNoAnswer, 0) == 0;
    problem_ = Message(noAnswer ? problem_texts::kRouterSilent : problem_texts::kRouterRefused);
    return noAnswer ? Outcome::Unreachable : Outcome::Refused;
}

bool UpnpMappingWriter::holds(const MappingRequest& request)
{
    PortMappingRow row;
    if (GetSpecificPortMapping(endpoint_, request.port, request.protocol, row) != 0)
        return false;
    return SameAddress(row.internalClient, request.internalClient) &&
           row.internalPort == std::to_string(request.port);
}

} // namespace velmora
