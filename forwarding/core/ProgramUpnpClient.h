#pragma once

#include "forwarding/core/RouterMappings.h"
#include "upnp/core/UpnpClient.h"

#include <atomic>
#include <mutex>

namespace velmora {

// The one UpnpClient of the program that Router Management lists and deletes
// with. Each job gives it the endpoint of the router selected at that moment
// (the control URL and service type the scan found). Jobs run on worker
// threads, one at a time: a job waits for the one before it, which stops at
// its next step once its own cancel flag is set.
class ProgramUpnpClient final
{
public:
    // Connection attempts per request (1 s apart, each up to 2 s).
    static constexpr int kConnectAttempts = 2;

    static ProgramUpnpClient& instance();

    ProgramUpnpClient() = default;
    ProgramUpnpClient(const ProgramUpnpClient&) = delete;
    ProgramUpnpClient& operator=(const ProgramUpnpClient&) = delete;

    // Runs `job(client)` with the client pointed at `endpoint` and watching
    // `cancel`; the client's callbacks are cleared again afterwards.
    template <class Job>
    auto run(const RouterEndpoint& endpoint, const std::atomic<bool>& cancel, Job&& job)
    {
        std::lock_guard lock(mutex_);
        prepare(endpoint, cancel);
        struct Release
        {
            UpnpClient& client;
            ~Release()
            {
                client.cancel = nullptr;
                client.mappings_added = nullptr;
            }
        } release{client_};
        return job(client_);
    }

private:
    void prepare(const RouterEndpoint& endpoint, const std::atomic<bool>& cancel);

    std::mutex mutex_; // one job at a time
    UpnpClient client_;
};

} // namespace velmora
