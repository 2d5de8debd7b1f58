#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// A router stand-in on 127.0.0.1: answers the first SOAP request with a
// mapping entry (or holds it until released) and every later one with UPnP
// error 713, so that a listing reads one row and stops. Records the SOAP
// actions it saw. Every wait in it is bounded.
class LoopbackSoapServer final
{
public:
    explicit LoopbackSoapServer(bool holdFirstAnswer = false);
    ~LoopbackSoapServer();
    LoopbackSoapServer(const LoopbackSoapServer&) = delete;
    LoopbackSoapServer& operator=(const LoopbackSoapServer&) = delete;

    std::string controlUrl() const;
    // Lets a held first answer go.
    void release();
    int requestsSeen() const { return requests_.load(); }
    std::vector<std::string> bodies();

private:
    void serve();
    void answer(int client, int index);

    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> requests_{0};
    std::mutex mutex_;
    std::condition_variable released_;
    bool hold_;
    std::vector<std::string> bodies_;
    std::thread thread_;
};

} // namespace velmora::test
