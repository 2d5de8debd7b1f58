#include "config/core/XmlAttributeText.h"

#include <cstdint>

namespace velmora {
namespace {

// Length of the valid UTF-8 sequence at the start of `text` and its code
// point, or 0 when the first byte does not begin one (overlong forms and
// surrogates are not valid).
size_t DecodeUtf8(std::string_view text, uint32_t* code_point)
{
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    uint32_t value = 0;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length)
        return 0;
    for (size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(i);
        if (i == 1 ? (next < low || next > high) : (next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    *code_point = value;
    return length;
}

bool IsXmlChar(uint32_t c)
{
    if (c < 0x20)
        return c == 0x9 || c == 0xA || c == 0xD;
    return c != 0xFFFE && c != 0xFFFF;
}

void AppendReference(std::string& out, uint32_t code_point)
{
    out += "&#";
    out += std::to_string(code_point);
    out += ';';
}

} // namespace

void AppendAttributeValue(std::string& out, std::string_view value)
{
    size_t i = 0;
    while (i < value.size()) {
        const auto c = static_cast<unsigned char>(value[i]);
        uint32_t code_point = c;
        size_t length = 1;
        if (c >= 0x80) {
            length = DecodeUtf8(value.substr(i), &code_point);
            if (length == 0) {
                length = 1; // a stray byte: its Latin-1 character
                code_point = c;
            }
        }
        i += length;

        switch (code_point) {
        case '"':
            out += "&quot;";
            continue;
        case '&':
            out += "&amp;";
            continue;
        case '<':
            out += "&lt;";
            continue;
        case '>':
            out += "&gt;";
            continue;
        default:
            break;
        }
        if (!IsXmlChar(code_point))
            continue;
        if (code_point >= 0x20 && code_point < 0x80)
            out += static_cast<char>(code_point);
        else
            AppendReference(out, code_point);
    }
}

} // namespace velmora
