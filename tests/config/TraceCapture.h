#pragma once

#include "platform/DebugTrace.h"

#include <string>
#include <vector>

namespace velmora::test {

// Collects the DebugTrace lines written while it exists.
class TraceCapture final
{
public:
    TraceCapture()
    {
        SetDebugTraceSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~TraceCapture() { SetDebugTraceSink({}); }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    std::vector<std::string> lines;
};

} // namespace velmora::test
