#pragma once

#include "platform/SocketHandle.h"
#include "upnp/core/MappingRecord.h"
#include "upnp/core/RouterInfo.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// Result of the client's last step (no caller reads it; the operations'
// boolean results are what callers use).
namespace UpnpStatus {
constexpr int32_t Initialised = 0;
constexpr int32_t GatewayFound = 1;
constexpr int32_t Connected = 2;
constexpr int32_t DescriptionParsed = 4;
constexpr int32_t MappingChanged = 5;
constexpr int32_t ValueRead = 7;
constexpr int32_t Failed = 8;
} // namespace UpnpStatus

// The program's own UPnP control point. Every operation blocks the calling
// thread; each TCP operation opens and closes its own connection. One thread
// at a time.
class UpnpClient final
{
public:
    // Bytes read per receive call.
    static constexpr size_t kReceiveBytes = 102400;
    // A response larger than this is dropped (the exchange yields nothing).
    static constexpr size_t kMaxResponseBytes = 1024 * 1024;
    // Most entries a listing reads, whichever way it asks (both protocols'
    // full port ranges); the router's ports list keeps the same bound.
    static constexpr int kMaxListedMappings = 2 * 65536;

    UpnpClient() = default;
    UpnpClient(const UpnpClient&) = delete;
    UpnpClient& operator=(const UpnpClient&) = delete;

    std::string last_response;
    std::vector<std::string> mapping_lines;
    std::vector<MappingRecord> mappings;
    std::string friendly_name;
    std::string last_error;
    velmora::SocketHandle ssdp_sock;
    velmora::SocketHandle tcp_sock;
    int32_t status = UpnpStatus::Initialised;
    int32_t time_out = 0;
    // Seconds AddPortMapping waits for the router's answer.
    int32_t add_answer_seconds = 30;
    std::string service_type;
    std::string describe_url;
    std::string control_url;
    std::string base_URL;
    std::string description;

    // The local address the client's connections leave from (empty: the
    // system's choice). A router opens a pinhole only for the address that
    // asks for it.
    std::string source_address;
    // The router's UPnP error code of the last action it refused (0: none).
    int upnp_error = 0;

    // Set by the owner of a client that runs on a worker thread: once the
    // flag is set, a search stops before its next wait, a connection before
    // its next attempt and a listing before its next entry (a request in
    // flight runs to its own deadline).
    const std::atomic<bool>* cancel = nullptr;
    // Called on the listing's thread with the entries kept, as they come: one
    // call per router answer (one entry, or a chunk of a bulk listing).
    std::function<void(std::span<const MappingRecord>)> mappings_added;
    // Entries a listing reads at most (tests lower it).
    int32_t max_listed = kMaxListedMappings;
    // How the last listing that succeeded ended.
    enum class ListingEnd
    {
        Complete,
        Capped,  // max_listed entries were read and the router had more
        Partial, // the router refused to list the rest
    };
    ListingEnd listing_end = ListingEnd::Complete;

    // Sets the number of TCP connection attempts; always true.
    bool init_client(int32_t attempts);

    RouterInfo routerInfo() const;
    void setRouterInfo(const RouterInfo& info);

    // Connects tcp_sock to a dotted IPv4 address or an IPv6 literal (with
    // its zone, "fe80::1%eth0"), from source_address: time_out attempts, 1000 ms
    // apart, each bounded by a short connect time-out.
    bool tcp_connect(const std::string& host, uint16_t port);
    // Sends the request on tcp_sock and collects the answer until the end
    // marker is in it, the router closes, or `cycles` seconds have passed.
    // Empty when nothing came or the answer outgrew kMaxResponseBytes.
    std::string http_exchange(const std::string& request, const char* end_marker, int cycles);

    // One SSDP search (six waits of up to 5 s for an answer) that keeps the
    // first answering Internet Gateway Device; fetches its description.
    bool discovery();
    // Fetches describe_url into description.
    bool get_description();
    // Walks description down to the WAN connection service.
    bool parser_description();

    // SOAP actions on control_url / service_type. AddPortMapping tells a
    // router that connected and never answered by a last_error that starts
    // with kNoAnswer.
    static constexpr char kNoAnswer[] = "No answer from ";
    bool AddPortMapping(const std::string& mapping_description, const std::string& internal_client,
                        uint16_t external_port, uint16_t internal_port,
                        const std::string& protocol);
    bool DeletePortMapping(uint16_t external_port, const std::string& protocol);
    // Copies the address text with its NUL into `buffer` (cut to `size` - 1
    // bytes on a UTF-8 boundary); the buffer is untouched on failure.
    bool GetExternalIPAddress(char* buffer, size_t size);

    // WANIPv6FirewallControl:1 actions on control_url / service_type (the
    // firewall control service), sent from source_address. Protocols are IANA
    // numbers (6 TCP, 17 UDP); leases are seconds (1-86400); a refusal leaves
    // the router's code in upnp_error.
    bool GetFirewallStatus(bool& firewall_enabled, bool& inbound_pinhole_allowed);
    // Optional for routers: many answer 501, which is no failure of theirs.
    bool GetOutboundPinholeTimeout(const std::string& internal_client, uint16_t internal_port,
                                   int protocol, uint32_t& timeout);
    // A pinhole from any remote host and port to internal_client:internal_port.
    bool AddPinhole(const std::string& internal_client, uint16_t internal_port, int protocol,
                    uint32_t lease_time, uint16_t& unique_id);
    bool UpdatePinhole(uint16_t unique_id, uint32_t lease_time);
    bool DeletePinhole(uint16_t unique_id);
    bool CheckPinholeWorking(uint16_t unique_id, bool& working);

    // The router's port-mapping table into `mappings`.
    bool list_port_mappings();
    bool parse_mapping_info();

private:
    struct Endpoint
    {
        std::string host;
        uint16_t port = 0;
        std::string path;
    };
    enum class SoapOutcome
    {
        Exchanged,
        NoConnection
    };

    // parseUrl on control_url; on failure sets status and last_error.
    bool controlEndpoint(Endpoint& endpoint);
    // Connects, sends one SOAP request and closes; the response in `response`.
    SoapOutcome soapExchange(const Endpoint& endpoint, const char* action,
                             const std::string& arguments, int cycles, std::string& response);
    // One firewall control action: true for a successful answer; a refusal
    // sets upnp_error and last_error.
    bool pinholeAction(const char* action, const std::string& arguments, std::string& response);
    void fail(std::string message);
    bool cancelled() const { return cancel && cancel->load(); }

    // Working buffer of the exchanges, made once per client.
    std::unique_ptr<char[]> receive_buffer_;
};
