#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace velmora::cli {

inline constexpr char kReplacementCharacter[] = "\xEF\xBF\xBD"; // U+FFFD

// One character of a text, or one byte that starts no valid UTF-8 sequence.
struct Utf8Piece
{
    std::string_view bytes;
    uint32_t codePoint = 0;
    bool valid = false;
};

// The text split into characters; overlong forms, surrogates and values past
// U+10FFFF are not valid.
std::vector<Utf8Piece> Utf8Pieces(std::string_view text);

} // namespace velmora::cli
