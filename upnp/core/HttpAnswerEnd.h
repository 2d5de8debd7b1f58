#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace velmora {

// Where the last end marker in `text` starts, if one starts at or after
// `from`. A marker that is a tag's end ("Envelope>") counts only as the end of
// a closing tag ("</Envelope>", "</s:Envelope>"), never of the opening one; a
// marker that begins with "</" is taken as it is.
std::optional<size_t> FindEndMarker(std::string_view text, std::string_view marker,
                                    size_t from = 0);

// The size of the whole answer (header and body) as its Content-Length
// announces it; nothing while the header is incomplete, or when it has no
// readable Content-Length.
std::optional<size_t> AnnouncedAnswerSize(std::string_view answer);

// Whether an HTTP answer being collected is complete: its body has reached the
// Content-Length, or the end marker arrived. `newFrom` is where
// the data of the latest read begins.
bool HttpAnswerComplete(std::string_view answer, std::string_view marker, size_t newFrom);

} // namespace velmora
