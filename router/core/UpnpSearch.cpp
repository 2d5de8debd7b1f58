#include "router/core/UpnpSearch.h"

#include "platform/DeadlineScale.h"
#include "platform/IPv4Endpoint.h"
#include "platform/Log.h"
#include "platform/SocketHandle.h"
#include "platform/SocketSend.h"
#include "platform/SocketWait.h"
#include "router/core/UpnpDiscovery.h"
#include "upnp/core/DeviceUrl.h"
#include "upnp/core/SsdpAnswer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <system_error>
#include <thread>

namespace velmora {

namespace {

// The search as miniupnpc words it, for version 1 gateways only: everything
// else the scan would pass over anyway.
constexpr char kSearch[] = "M-SEARCH * HTTP/1.1\r\n"
                           "HOST: 239.255.255.250:1900\r\n"
                           "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                           "MAN: \"ssdp:discover\"\r\n"
                           "MX: 2\r\n"
                           "\r\n";
// With a TTL of 2 the search stays on the local network and the next hop behind it.
constexpr int kSearchTtl = 2;
// The listening loop looks at `cancel` this often.
constexpr std::chrono::milliseconds kCancelCheck{100};
// Datagrams read per socket and wake-up, at most.
constexpr int kDatagramsPerWake = 32;
constexpr size_t kDatagramBytes = 8192;

// A socket for one round, its search sent: on the default interface (no
// address), or bound to a local address and sending from its interface.
// Invalid when it cannot be made; a search that cannot leave (no route) is
// silent, and the round simply hears nothing.
SocketHandle OpenRound(const std::string& localAddress)
{
    SocketHandle sock(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!sock.valid())
        return {};
    const int one = 1;
    ::setsockopt(sock.fd(), SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (!localAddress.empty()) {
        sockaddr_in local{};
        if (!MakeIPv4Endpoint(localAddress.c_str(), 0, local) ||
            ::bind(sock.fd(), reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0)
            return {};
        ::setsockopt(sock.fd(), IPPROTO_IP, IP_MULTICAST_IF, &local.sin_addr,
                     sizeof local.sin_addr);
    }
    ::setsockopt(sock.fd(), IPPROTO_IP, IP_MULTICAST_TTL, &kSearchTtl, sizeof kSearchTtl);
    sockaddr_in group{};
    MakeIPv4Endpoint("239.255.255.250", 1900, group);
    size_t sent = 0;
    SendAll(sock.fd(), kSearch, sizeof kSearch - 1, DeadlineAfter(kCancelCheck), sent, &group);
    return sock;
}

std::string Dotted(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    return ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) ? text : "";
}

} // namespace

UpnpAnswers::UpnpAnswers(ScanBoard& board, StartRead startRead)
    : board_(board), startRead_(std::move(startRead))
{
}

void UpnpAnswers::take(size_t round, std::string_view datagram, const std::string& sender)
{
    const std::optional<SsdpSearchAnswer> answer = ReadSsdpSearchAnswer(datagram);
    if (!answer || answer->location.empty() || answer->st.empty())
        return;
    if (answers_.size() <= round)
        answers_.resize(round + 1);
    if (answers_[round] >= kMaxAnswersPerRound ||
        !seen_.emplace(round, answer->location + '\n' + answer->st).second)
        return;
    ++answers_[round];
    std::string lines = " desc: " + answer->location + "\n st: " + answer->st + "\n\n";
    if (answer->st != kIgdDeviceType) {
        board_.addDevice(round, std::move(lines));
        return;
    }
    const DeviceUrl url = CheckDeviceUrl(answer->location, sender);
    if (!url) {
        if (refused_.insert(answer->location).second)
            LogRefusedDevice(sender, "description URL", answer->location, url.fault);
        board_.addDevice(round, std::move(lines));
        return;
    }
    const auto known = std::find_if(urls_.begin(), urls_.end(),
                                    [&](const auto& read) { return read.first == url.url; });
    size_t read = ScanBoard::kNoRead;
    if (known != urls_.end()) {
        read = known->second; // one read per URL and scan
    } else if (urls_.size() < kMaxDescriptionReads) {
        read = board_.beginRead();
        urls_.emplace_back(url.url, read);
        startRead_(read, url.url, sender);
    } else if (refused_.insert(std::string()).second) {
        WriteLog("UPnP device %s not used: more than %zu devices answered the search\n",
                 sender.c_str(), kMaxDescriptionReads);
    }
    board_.addDevice(round, std::move(lines), read);
}

} // namespace velmora

void SearchUpnpRouters(const std::vector<std::string>& localAddresses, velmora::ScanBoard& board,
                       const std::atomic<bool>& cancel)
{
    using namespace velmora;
    const Deadline listenEnd = DeadlineAfter(kUpnpListenTime);
    // Declared first, so that they are joined last: each ends by its own deadline.
    std::vector<std::jthread> readers;
    UpnpAnswers answers(board, [&](size_t read, const std::string& url, const std::string& sender) {
        const Deadline deadline = DeadlineAfter(ScaledDeadline(kDescriptionDeadline));
        try {
            readers.emplace_back([&board, read, url, sender, deadline] {
                std::string lines;
                RouterEntryPtr router = FetchUpnpRouter(url, sender, deadline, lines);
                board.endRead(read, std::move(router), std::move(lines));
            });
        } catch (const std::system_error&) {
            board.endRead(read, nullptr, {}); // no thread for it: passed over
        }
    });

    std::vector<SocketHandle> rounds;
    rounds.push_back(OpenRound({}));
    for (const std::string& address : localAddresses)
        rounds.push_back(OpenRound(address));
    std::vector<int> fds;
    for (const SocketHandle& sock : rounds)
        fds.push_back(sock.fd());

    std::vector<char> buffer(kDatagramBytes);
    std::vector<bool> ready;
    while (!cancel.load() && SteadyClock::now() < listenEnd) {
        const Deadline wake = std::min(listenEnd, DeadlineAfter(kCancelCheck));
        const WaitResult waited = WaitAnyReadable(fds, wake, ready);
        if (waited == WaitResult::Failed)
            break; // nothing more can be heard
        if (waited != WaitResult::Ready)
            continue;
        for (size_t round = 0; round < fds.size(); ++round) {
            for (int n = 0; ready[round] && n < kDatagramsPerWake; ++n) {
                sockaddr_in from{};
                socklen_t fromSize = sizeof from;
                const ssize_t got =
                    ::recvfrom(fds[round], buffer.data(), buffer.size(), MSG_DONTWAIT,
                               reinterpret_cast<sockaddr*>(&from), &fromSize);
                if (got < 0)
                    break; // drained (or an error the next wait reports)
                answers.take(round, std::string_view(buffer.data(), static_cast<size_t>(got)),
                             Dotted(from));
            }
        }
    }
}
