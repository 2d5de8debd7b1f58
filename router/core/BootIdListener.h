#pragma once

#include "platform/SocketHandle.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace velmora {

// Listens for the SSDP announcements of one router (NOTIFY to
// 239.255.255.250:1900 in the network the program runs in) and tells when
// the router has started again: its BOOTID.UPNP.ORG changed (a device counts
// it up at every start), or it said goodbye (ssdp:byebye) and is alive again.
// To know the boot id before the first announcement, it asks the router
// once, with a search sent to the router alone. Its thread wakes at least
// every 250 ms and ends with the listener.
class BootIdListener final
{
public:
    // Called on the listener's thread with a sentence that says what was seen.
    using Restarted = std::function<void(const std::string& why)>;

    // `interfaceAddress`: the local address that faces the router (dotted;
    // empty for the default interface). `routerAddress`: the dotted address
    // the announcements must come from.
    BootIdListener(const std::string& interfaceAddress, const std::string& routerAddress,
                   Restarted restarted);
    ~BootIdListener();
    BootIdListener(const BootIdListener&) = delete;
    BootIdListener& operator=(const BootIdListener&) = delete;

    // Whether the socket could be opened and joined to the group.
    bool listening() const { return socket_.valid(); }

    static constexpr int kWakeMs = 250;

private:
    void run();

    SocketHandle socket_;
    uint32_t router_ = 0; // network byte order
    Restarted restarted_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace velmora
