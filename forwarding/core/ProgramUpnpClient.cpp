#include "forwarding/core/ProgramUpnpClient.h"

namespace velmora {

ProgramUpnpClient& ProgramUpnpClient::instance()
{
    // Never destroyed: a worker that outlives its dialog may still use it
    // while the program's static objects go away.
    static ProgramUpnpClient* const client = new ProgramUpnpClient;
    return *client;
}

void ProgramUpnpClient::prepare(const RouterEndpoint& endpoint, const std::atomic<bool>& cancel)
{
    client_.init_client(kConnectAttempts);
    client_.setRouterInfo(RouterInfo::forService(endpoint.controlUrl, endpoint.serviceType));
    client_.last_error.clear();
    client_.cancel = &cancel;
}

} // namespace velmora
