#include "tests/triggering/TriggeringTestSupport.h"

#include "app/core/Log.h"

#include <sstream>
#include <thread>

namespace velmora::test {

TriggeringEntry MakeTriggeringEntry(const std::string& name, const std::string& protocol,
                                    const std::string& address, const std::string& startPort,
                                    const std::string& endPort, const std::string& frequency)
{
    auto entry = velmora::ZeroedRecord<TriggeringEntry>();
    velmora::SetField(entry.name, name);
    velmora::SetField(entry.auto_start, "N");
    velmora::SetField(entry.protocol, protocol);
    velmora::SetField(entry.trigger_address, address);
    velmora::SetField(entry.trigger_port, startPort);
    velmora::SetField(entry.trigger_port_end, endPort);
    velmora::SetField(entry.frequence, frequency);
    return entry;
}

TriggeringEntry MakeTriggeringEntry(const std::string& name, const std::string& protocol,
                                    const std::string& address, int startPort, int endPort,
                                    int frequency)
{
    return MakeTriggeringEntry(name, protocol, address, std::to_string(startPort),
                               std::to_string(endPort), std::to_string(frequency));
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

LogCapture::LogCapture()
{
    velmora::CloseLogForTesting();
    OpenLog(dir_.file("velmora.log").c_str());
}

LogCapture::~LogCapture()
{
    velmora::CloseLogForTesting();
}

std::vector<std::string> LogCapture::lines() const
{
    std::istringstream text(dir_.read("velmora.log"));
    std::vector<std::string> out;
    for (std::string line; std::getline(text, line);)
        out.push_back(line);
    return out;
}

std::vector<std::string> LogCapture::messagesStartingWith(const std::string& prefix) const
{
    std::vector<std::string> out;
    for (const auto& line : lines()) {
        auto stampEnd = line.find(">:");
        if (stampEnd == std::string::npos)
            continue;
        std::string message = line.substr(stampEnd + 2);
        if (message.rfind(prefix, 0) == 0)
            out.push_back(message);
    }
    return out;
}

int LogCapture::count(const std::string& message) const
{
    int found = 0;
    for (const auto& candidate : messagesStartingWith(message))
        found += candidate == message ? 1 : 0;
    return found;
}

std::string StartLine(const std::string& name, const std::string& address, const std::string& port)
{
    return "start port triggering[" + name + "], trigger address is " + address +
           ", trigger port is " + port;
}

std::string StopLine(const std::string& name, const std::string& address, const std::string& port)
{
    return "stop port triggering[" + name + "], trigger address is " + address +
           ", trigger port is " + port;
}

} // namespace velmora::test
