#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// How velmora-cli speaks: its output on one stream, a failure as one line on
// the other, and the exit status that goes with each.
namespace velmora::cli {

inline constexpr char kProgram[] = "velmora-cli";
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // the router, the network or a file said no
inline constexpr int kExitUsage = 2;   // the command line itself is wrong

struct Streams
{
    std::FILE* out = stdout;
    std::FILE* err = stderr;
};

// "velmora-cli: REASON" on the error stream; kExitFailure.
int Fail(const Streams& io, std::string_view reason);
// The same for a command line that cannot be run; kExitUsage.
int UsageError(const Streams& io, std::string_view reason);

// Text from a router or a file as a terminal may show it: control characters
// become '?', bytes that are not UTF-8 become U+FFFD.
std::string PlainText(std::string_view text);

// Rows under their headings, each column as wide as its widest cell.
void PrintTable(std::FILE* out, const std::vector<std::string>& headings,
                const std::vector<std::vector<std::string>>& rows);

} // namespace velmora::cli
