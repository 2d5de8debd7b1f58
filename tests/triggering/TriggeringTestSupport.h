#pragma once

// Shared pieces of the triggering tests: entries, bounded waits, the log.
#include "config/core/Records.h"
#include "platform/Log.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace velmora::test {

// A triggering entry with auto start "N" and an empty status.
inline TriggeringEntry MakeTriggeringEntry(const std::string& name, const std::string& protocol,
                                           const std::string& address, long long startPort,
                                           long long endPort, int frequency)
{
    auto entry = ZeroedRecord<TriggeringEntry>();
    SetField(entry.name, name);
    SetField(entry.auto_start, "N");
    SetField(entry.protocol, protocol);
    SetField(entry.trigger_address, address);
    SetField(entry.trigger_port, std::to_string(startPort));
    SetField(entry.trigger_port_end, std::to_string(endPort));
    SetField(entry.frequence, std::to_string(frequency));
    return entry;
}

// An entry that sends nothing anywhere: "ICMP" only pauses.
inline TriggeringEntry Quiet(const std::string& name, int firstPort, int lastPort)
{
    return MakeTriggeringEntry(name, "ICMP", "127.0.0.1", firstPort, lastPort, 3);
}

// Polls `done` every few milliseconds until it holds or `limit` passes.
inline bool WaitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// A worker's "start" or "stop" line without its time stamp.
inline std::string WorkerLine(const std::string& verb, const std::string& name,
                              const std::string& address, long long port)
{
    return verb + " port triggering[" + name + "], trigger address is " + address +
           ", trigger port is " + std::to_string(port);
}

// Opens the activity log in a temp folder for the life of the object and
// reads its messages (the text after the time stamp) back.
class LogCapture final
{
public:
    LogCapture()
    {
        velmora::CloseLogForTesting();
        OpenLog(dir_.file("velmora.log").c_str());
    }
    ~LogCapture() { velmora::CloseLogForTesting(); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> messages() const
    {
        std::istringstream text(dir_.read("velmora.log"));
        std::vector<std::string> out;
        for (std::string line; std::getline(text, line);) {
            const auto stampEnd = line.find(">:");
            out.push_back(stampEnd == std::string::npos ? line : line.substr(stampEnd + 2));
        }
        return out;
    }
    // Messages equal to `message`, or only starting with it when `prefix`.
    int count(const std::string& message, bool prefix = false) const
    {
        int found = 0;
        for (const auto& candidate : messages())
            found += (prefix ? candidate.rfind(message, 0) == 0 : candidate == message) ? 1 : 0;
        return found;
    }

    // The "start" or "stop" lines of the entry `name`, any port.
    int lines(const std::string& verb, const std::string& name) const
    {
        return count(verb + " port triggering[" + name + "]", true);
    }

private:
    TempDir dir_;
};

} // namespace velmora::test
