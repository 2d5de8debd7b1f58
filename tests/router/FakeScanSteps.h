#pragma once

#include "router/core/RouterScan.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace velmora::test {

// Scan steps that touch no network: each scan answers with the next list of
// `answers` (the last one repeats). While `hold` is set, rounds wait until
// release() so a test can look at the window in the middle of a scan; the
// NAT-PMP probe answers `natPmp` at once.
class FakeScanSteps
{
public:
    std::vector<std::vector<RouterEntryPtr>> answers;
    RouterEntryPtr natPmp;

    RouterScanSteps steps()
    {
        return {SearchByRounds([this](const std::string& address) { return round(address); }),
                [this] { return natPmp; }};
    }

    void hold()
    {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    int scans() const { return scans_; }

    static RouterEntryPtr Upnp(const std::string& url, const std::string& name)
    {
        auto entry = std::make_shared<RouterEntry>();
        entry->description_url = url;
        entry->friendly_name = name;
        return entry;
    }
    static RouterEntryPtr AirPort()
    {
        auto entry = std::make_shared<RouterEntry>();
        entry->is_apple = true;
        return entry;
    }

private:
    // Only the default-interface round answers: the whole list, in order.
    UpnpRound round(const std::string& address)
    {
        if (!address.empty())
            return {};
        int scan = scans_++;
        {
            std::unique_lock lock(mutex_);
            changed_.wait_for(lock, std::chrono::seconds(30), [this] { return !held_; });
        }
        if (answers.empty())
            return {};
        const auto& list = answers[std::min<size_t>(static_cast<size_t>(scan), answers.size() - 1)];
        UpnpRound result{true, {}};
        for (const RouterEntryPtr& entry : list)
            result.devices.push_back({"", entry});
        return result;
    }

    std::atomic<int> scans_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
    bool held_ = false;
};

} // namespace velmora::test
