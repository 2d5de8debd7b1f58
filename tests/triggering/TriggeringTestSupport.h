#pragma once

#include "config/core/Records.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace velmora::test {

// A triggering entry with the given texts, auto start "N", status empty.
TriggeringEntry MakeTriggeringEntry(const std::string& name, const std::string& protocol,
                                    const std::string& address, const std::string& startPort,
                                    const std::string& endPort, const std::string& frequency);
TriggeringEntry MakeTriggeringEntry(const std::string& name, const std::string& protocol,
                                    const std::string& address, int startPort, int endPort,
                                    int frequency);

// Polls `done` every few milliseconds until it holds or `limit` passes.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(20));

// Opens the activity log in a temp folder for the life of the object and
// reads its lines back; the log is closed again afterwards.
class LogCapture final
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const;
    // Lines whose message (after the time stamp) starts with `prefix`.
    std::vector<std::string> messagesStartingWith(const std::string& prefix) const;
    // Lines whose whole message is `message`.
    int count(const std::string& message) const;

private:
    TempDir dir_;
};

// The start / stop message of a worker (without the time stamp).
std::string StartLine(const std::string& name, const std::string& address, const std::string& port);
std::string StopLine(const std::string& name, const std::string& address, const std::string& port);

} // namespace velmora::test
