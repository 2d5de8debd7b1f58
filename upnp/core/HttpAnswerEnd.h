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

// HttpAnswerComplete for one answer followed read by read: the head is looked
// for in the new data only and read once, so an answer that comes in many
// small reads is gone through once in all. `marker` must outlive it.
class HttpAnswerEnd final
{
public:
    explicit HttpAnswerEnd(std::string_view marker) : marker_(marker) {}

    // `answer` is all received so far; the latest read's data begins at `newFrom`.
    bool complete(std::string_view answer, size_t newFrom);

private:
    std::string_view marker_;
    bool headRead_ = false;
    std::optional<size_t> size_; // as the head announces it
};

} // namespace velmora
