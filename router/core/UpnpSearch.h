#pragma once

#include "platform/Deadline.h"
#include "router/core/ScanBoard.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

// The scan's UPnP search, on our own sockets: an M-SEARCH for
// InternetGatewayDevice:1 (TTL 2) on the default interface and on each local
// address at once, answers taken as they come until the listening time ends,
// and the description of each answering gateway read at once, in parallel,
// each within its own deadline.

// How long the search listens for answers.
inline constexpr std::chrono::milliseconds kUpnpListenTime{2000};
// How long a device has, from its answer, to hand over its description (taken
// through ScaledDeadline).
inline constexpr std::chrono::milliseconds kDescriptionDeadline{3000};
// Descriptions read per scan at most; devices beyond are passed over.
inline constexpr size_t kMaxDescriptionReads = 16;
// Answers kept per round at most (each is a diagnostic line).
inline constexpr size_t kMaxAnswersPerRound = 64;

// What the search does with each datagram; no sockets, one thread.
class UpnpAnswers final
{
public:
    // Starts reading the description at `url` (a checked device URL) for the
    // board's read `read`, from the device at `sender`.
    using StartRead =
        std::function<void(size_t read, const std::string& url, const std::string& sender)>;

    UpnpAnswers(ScanBoard& board, StartRead startRead);

    // A datagram that came to round `round` from `sender` (dotted). An answer
    // with a LOCATION and an ST is a device of the round (once per LOCATION
    // and ST in a round). A gateway of version 1 has its description read,
    // once per scan for each URL, when the URL is on the sender's address
    // (CheckDeviceUrl); otherwise it is passed over with one log line.
    void take(size_t round, std::string_view datagram, const std::string& sender);

    size_t reads() const { return urls_.size(); }

private:
    ScanBoard& board_;
    StartRead startRead_;
    std::set<std::pair<size_t, std::string>> seen_;    // round and "LOCATION ST"
    std::vector<size_t> answers_;                      // per round
    std::vector<std::pair<std::string, size_t>> urls_; // URL read, and its read
    std::set<std::string> refused_;                    // logged once per scan
};

} // namespace velmora

// The whole UPnP search of one scan; returns once the listening time is over
// and every description read has ended, or soon after `cancel` is set (the
// reads under way still end by their deadlines).
void SearchUpnpRouters(const std::vector<std::string>& localAddresses, velmora::ScanBoard& board,
                       const std::atomic<bool>& cancel);
