#pragma once

#include <functional>
#include <string>

// Program-wide sink for printf-style debug lines of the configuration reader,
// the UPnP client and the catalogue. It reads the clock and writes nothing;
// tests may install a sink to see the formatted lines.
void DebugTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace velmora {

using DebugTraceSink = std::function<void(const std::string& line)>;

// Installs (or, with an empty function, removes) a receiver for the lines.
// Meant for tests; not thread-safe against concurrent DebugTrace calls.
void SetDebugTraceSink(DebugTraceSink sink);

} // namespace velmora
