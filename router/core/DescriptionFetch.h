#pragma once

#include "platform/Deadline.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace velmora {

// Reads a router's device description: one connection, one GET, an answer of
// at most kMaxDescriptionAnswer bytes, everything before one deadline, where
// miniwget would take any size at any pace. Every description the scan reads
// comes through here.

// The whole answer (head and body) may be this long; a longer one is refused.
inline constexpr size_t kMaxDescriptionAnswer = 1024 * 1024;

enum class DescriptionFetch
{
    Fetched,
    Failed,      // no connection, no whole answer by the deadline, too long, or not 200
    NotAnAddress // the URL's host is not a dotted IPv4 address: nothing is sent
};

// `url` is a checked device URL (CheckDeviceUrl). `body` receives the
// description (de-chunked), `lanAddress` the local address of the connection.
DescriptionFetch FetchDescription(const std::string& url, Deadline deadline, std::string& body,
                                  std::string& lanAddress);

// A chunked transfer coding read as it arrives: each call reads the chunks
// that are whole from `at` on, appends their data to `body` and moves `at`
// past them.
enum class ChunkedState
{
    NeedMore, // the next chunk is not whole yet
    Done,     // the last chunk (and any trailer) has been read
    Bad       // not a chunked coding
};
ChunkedState ReadChunks(std::string_view chunked, size_t& at, std::string& body);

// The body of a whole chunked transfer coding; false when it is cut or malformed.
bool Dechunk(const std::string& chunked, std::string& body);

} // namespace velmora
