#include "upnp/core/HttpAnswerEnd.h"

#include "upnp/core/TextCompare.h"

namespace velmora {
namespace {

bool IsNameChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Whether the name that ends at `end` (exclusive) is a closing tag's: "</"
// directly before it, or "</prefix:" before it.
bool ClosesTagAt(std::string_view text, size_t end)
{
    size_t at = end;
    if (at > 0 && text[at - 1] == ':') {
        --at;
        while (at > 0 && IsNameChar(text[at - 1]))
            --at;
    }
    return at >= 2 && text.substr(at - 2, 2) == "</";
}

} // namespace

std::optional<size_t> FindEndMarker(std::string_view text, std::string_view marker, size_t from)
{
    if (marker.empty() || from >= text.size())
        return std::nullopt;
    const bool literal = marker.starts_with("</");
    // The marker usually ends the answer: search from the end, and no further
    // back than `from`, so that following an answer read by read looks at
    // each byte once.
    const std::string_view tail = text.substr(from);
    size_t at = tail.size();
    while (at > 0) {
        at = tail.rfind(marker, at - 1);
        if (at == std::string_view::npos)
            return std::nullopt;
        if (literal || ClosesTagAt(text, from + at))
            return from + at;
    }
    return std::nullopt;
}

std::optional<size_t> AnnouncedAnswerSize(std::string_view answer)
{
    const size_t headerEnd = answer.find("\r\n\r\n");
    if (headerEnd == std::string_view::npos)
        return std::nullopt;
    constexpr std::string_view kName = "\r\ncontent-length:";
    const std::string_view header = answer.substr(0, headerEnd + 2);
    for (size_t at = header.find("\r\n"); at != std::string_view::npos;
         at = header.find("\r\n", at + 2)) {
        if (!StartsWithIgnoreCase(header.substr(at), kName))
            continue;
        size_t digit = at + kName.size();
        while (digit < header.size() && (header[digit] == ' ' || header[digit] == '\t'))
            ++digit;
        size_t value = 0;
        size_t digits = 0;
        for (; digit < header.size() && header[digit] >= '0' && header[digit] <= '9'; ++digit) {
            if (++digits > 12)
                return std::nullopt; // no answer we would take is this long
            value = value * 10 + static_cast<size_t>(header[digit] - '0');
        }
        if (digits == 0)
            return std::nullopt;
        return headerEnd + 4 + value;
    }
    return std::nullopt;
}

bool HttpAnswerComplete(std::string_view answer, std::string_view marker, size_t newFrom)
{
    if (const auto size = AnnouncedAnswerSize(answer); size && answer.size() >= *size)
        return true;
    // The marker may straddle two reads: look for one that starts in the new
    // data or just before it.
    const size_t from = newFrom >= marker.size() ? newFrom - marker.size() + 1 : 0;
    return FindEndMarker(answer, marker, from).has_value();
}

bool HttpAnswerEnd::complete(std::string_view answer, size_t newFrom)
{
    if (!headRead_) {
        // The blank line may straddle two reads.
        const size_t headEnd = answer.find("\r\n\r\n", newFrom >= 3 ? newFrom - 3 : 0);
        if (headEnd != std::string_view::npos) {
            headRead_ = true;
            size_ = AnnouncedAnswerSize(answer.substr(0, headEnd + 4));
        }
    }
    if (size_ && answer.size() >= *size_)
        return true;
    const size_t from = newFrom >= marker_.size() ? newFrom - marker_.size() + 1 : 0;
    return FindEndMarker(answer, marker_, from).has_value();
}

} // namespace velmora
