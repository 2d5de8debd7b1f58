#pragma once

#include <ctime>
#include <string>
#include <string_view>

// The activity log: log/velmora.log beside the executable, opened once and
// appended to for the life of the process. Safe to call from many threads:
// every line is formatted in the caller's own buffers and written whole.

// Opens the log for appending (creating it, mode 0666 before umask; never
// through a symlink, and closed on exec). Returns
// the descriptor, or the result of printing the failure message when the open
// fails; either way the descriptor is kept for WriteLog.
int OpenLog(const char* path);

// Formats the message, writes its control characters out (EscapeControlCharacters;
// a final line end stays), prefixes "<MM/DD/YYYY hh:mm:ss>:" and writes the
// line in one write. Before OpenLog the line goes to standard output instead.
void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

namespace velmora {

// Size of each of WriteLog's working buffers; longer messages are cut.
inline constexpr size_t kLogBufferSize = 10240;

// The line WriteLog builds for a message at a given local time.
std::string FormatLogLine(const std::tm& local, std::string_view message);

// Closes the log and forgets its descriptor (tests reopen it elsewhere).
void CloseLogForTesting();

} // namespace velmora
