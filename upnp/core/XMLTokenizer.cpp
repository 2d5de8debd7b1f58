#include "upnp/core/XMLTokenizer.h"

#include "upnp/core/TextCompare.h"

#include <array>
#include <cstring>

using velmora::IsXmlSpace;
using velmora::StartsWithIgnoreCase;

const XMLClearTag kXMLClearTags[5] = {
    {"<![CDATA[", "]]>"}, {"<PRE>", "</PRE>"}, {"<Script>", "</Script>"},
    {"<!--", "-->"},      {"<!DOCTYPE", ">"},
};

void XMLTokenizer::skipSpace()
{
    while (src_[pos_] != '\0' && IsXmlSpace(src_[pos_]))
        ++pos_;
}

namespace {

// Characters that may end a text token: NUL, '<', '=', '>', '/' (only before
// '>') and the four whitespace characters.
constexpr std::array<bool, 256> MakeTextEnds()
{
    std::array<bool, 256> ends{};
    for (const char c : {'\0', '<', '=', '>', '/', '\t', '\n', '\r', ' '})
        ends[static_cast<unsigned char>(c)] = true;
    return ends;
}
constexpr std::array<bool, 256> kTextEnds = MakeTextEnds();

} // namespace

XMLToken XMLTokenizer::scanText(size_t start, size_t from)
{
    size_t end = from;
    for (;; ++end) {
        const char c = src_[end];
        if (!kTextEnds[static_cast<unsigned char>(c)])
            continue;
        if (c == '/' && src_[end + 1] != '>')
            continue;
        if (IsXmlSpace(c)) {
            pos_ = end + 1; // the whitespace is consumed but not part of the token
            return {XMLTokenKind::Text, start, end - start, nullptr};
        }
        break;
    }
    pos_ = end;
    return {XMLTokenKind::Text, start, end - start, nullptr};
}

XMLToken XMLTokenizer::next()
{
    skipSpace();
    const size_t start = pos_;
    const char c = src_[start];
    if (c == '\0')
        return {XMLTokenKind::EndOfInput, start, 0, nullptr};

    if (c == '<') {
        // Clear sections all begin with "<!", "<P" or "<S" (any case); compare
        // over the open tag's length.
        const char after = src_[start + 1];
        const char lower = velmora::AsciiLower(after);
        if (after == '!' || lower == 'p' || lower == 's') {
            const std::string_view rest(src_ + start, strnlen(src_ + start, 16));
            for (const XMLClearTag& row : kXMLClearTags) {
                if (StartsWithIgnoreCase(rest, row.open)) {
                    pos_ = start + std::strlen(row.open);
                    return {XMLTokenKind::ClearSection, start, pos_ - start, &row};
                }
            }
        }
        if (after == '/' || after == '?') {
            pos_ = start + 2;
            return {after == '/' ? XMLTokenKind::EndTagStart : XMLTokenKind::DeclStart, start, 2,
                    nullptr};
        }
        pos_ = start + 1;
        return {XMLTokenKind::TagStart, start, 1, nullptr};
    }

    switch (c) {
    case '"':
    case '\'': {
        size_t end = start + 1;
        while (src_[end] != '\0' && src_[end] != '<' && src_[end] != c)
            ++end;
        if (src_[end] == c) {
            pos_ = end + 1;
            XMLToken token{XMLTokenKind::QuotedText, start, pos_ - start, nullptr};
            skipSpace();
            return token;
        }
        return scanText(start, start + 1);
    }
    case '/':
        if (src_[start + 1] == '>') {
            pos_ = start + 2;
            return {XMLTokenKind::EmptyClose, start, 2, nullptr};
        }
        return scanText(start, start);
    case '=':
        pos_ = start + 1;
        return {XMLTokenKind::Equals, start, 1, nullptr};
    case '>':
        pos_ = start + 1;
        return {XMLTokenKind::TagClose, start, 1, nullptr};
    default:
        return scanText(start, start);
    }
}
