#pragma once

#include <cstddef>
#include <string_view>

namespace velmora {

// Length of the longest prefix of `text` of at most `limit` bytes that does not
// end inside a UTF-8 sequence.
inline size_t Utf8CutLength(std::string_view text, size_t limit)
{
    if (text.size() <= limit)
        return text.size();
    // If the byte after the cut continues a sequence, the sequence it belongs
    // to does not fit whole: cut before its lead byte.
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return cut;
}

} // namespace velmora
