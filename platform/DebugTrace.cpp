#include "platform/DebugTrace.h"

#include <Poco/DateTime.h>

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {
velmora::DebugTraceSink& Sink()
{
    static velmora::DebugTraceSink sink;
    return sink;
}
} // namespace

void DebugTrace(const char* format, ...)
{
    Poco::DateTime now; // the trace is stamped with the time it was asked for
    (void)now;

    auto& sink = Sink();
    if (!sink)
        return;

    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string line;
    if (length > 0) {
        std::vector<char> buffer(static_cast<size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, args);
        line.assign(buffer.data(), static_cast<size_t>(length));
    }
    va_end(args);
    sink(line);
}

namespace velmora {
void SetDebugTraceSink(DebugTraceSink sink)
{
    Sink() = std::move(sink);
}
} // namespace velmora
