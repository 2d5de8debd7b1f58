#include "app/cli/Utf8Check.h"

namespace velmora::cli {

namespace {

// The sequence that starts at `at`, or an invalid one-byte piece.
Utf8Piece PieceAt(std::string_view text, size_t at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    Utf8Piece piece{text.substr(at, 1), lead, lead < 0x80};
    if (piece.valid)
        return piece;
    size_t length = 0;
    uint32_t value = 0;
    uint32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, least = 0x10000;
    } else {
        return piece;
    }
    if (at + length > text.size())
        return piece;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return piece;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return piece;
    return {text.substr(at, length), value, true};
}

} // namespace

std::vector<Utf8Piece> Utf8Pieces(std::string_view text)
{
    std::vector<Utf8Piece> pieces;
    for (size_t at = 0; at < text.size();) {
        pieces.push_back(PieceAt(text, at));
        at += pieces.back().bytes.size();
    }
    return pieces;
}

} // namespace velmora::cli
