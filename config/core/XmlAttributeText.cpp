#include "config/core/XmlAttributeText.h"

#include <cstdint>

namespace velmora {
namespace {

// Length of the valid UTF-8 sequence at the start of `text` and its code
// point, or 0 when the first byte does not begin one (overlong forms and
// surrogates are not valid).
size_t DecodeUtf8(std::string_view text, uint32_t* code_point)
{
    // Well-formed sequences by lead byte: their length, the lead's value bits
    // and the allowed range of the second byte (the later ones are 80..BF).
    struct LeadRange
    {
        unsigned char first, last;
        size_t length;
        unsigned char valueMask, low, high;
    };
    static constexpr LeadRange kLeads[] = {
        {0xC2, 0xDF, 2, 0x1F, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0x0F, 0xA0, 0xBF},
        {0xE1, 0xEC, 3, 0x0F, 0x80, 0xBF}, {0xED, 0xED, 3, 0x0F, 0x80, 0x9F},
        {0xEE, 0xEF, 3, 0x0F, 0x80, 0xBF}, {0xF0, 0xF0, 4, 0x07, 0x90, 0xBF},
        {0xF1, 0xF3, 4, 0x07, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x07, 0x80, 0x8F},
    };
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    const LeadRange* range = nullptr;
    for (const LeadRange& candidate : kLeads) {
        if (lead >= candidate.first && lead <= candidate.last)
            range = &candidate;
    }
    if (range == nullptr || text.size() < range->length)
        return 0;
    uint32_t value = lead & range->valueMask;
    for (size_t i = 1; i < range->length; ++i) {
        const unsigned char next = byte(i);
        if (i == 1 ? (next < range->low || next > range->high) : (next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    *code_point = value;
    return range->length;
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
