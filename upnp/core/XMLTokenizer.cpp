#include "upnp/core/XMLTokenizer.h"

#include "upnp/core/TextCompare.h"

#include <array>
#include <cstring>

namespace velmora {

const XMLClearTag kXMLClearTags[5] = {
    {"<![CDATA[", "]]>"}, {"<PRE>", "</PRE>"}, {"<Script>", "</Script>"},
    {"<!--", "-->"},      {"<!DOCTYPE", ">"},
};

namespace {

// TAB, LF, CR and SPACE.
constexpr std::array<bool, 256> MakeSpaces()
{
    std::array<bool, 256> spaces{};
    for (const char c : {'\t', '\n', '\r', ' '})
        spaces[static_cast<unsigned char>(c)] = true;
    return spaces;
}
constexpr std::array<bool, 256> kSpaces = MakeSpaces();

// Whether `text` begins with `tag`, ignoring case. The text is NUL-terminated
// and no tag holds a NUL, so the comparison stops at the text's end.
bool BeginsWithTag(const char* text, const char* tag)
{
    for (; *tag != '\0'; ++text, ++tag) {
        if (velmora::AsciiLower(*text) != velmora::AsciiLower(*tag))
            return false;
    }
    return true;
}

// The clear-section row that `text` (at a '<') begins with, rows in table
// order; null when none does. Rows are told apart by their second character
// ("<!", "<P", "<S"), so only the rows that share it are compared.
const XMLClearTag* ClearRowAt(const char* text)
{
    switch (velmora::AsciiLower(text[1])) {
    case '!':
        for (const int row : {0, 3, 4}) {
            if (BeginsWithTag(text, kXMLClearTags[row].open))
                return &kXMLClearTags[row];
        }
        return nullptr;
    case 'p':
        return BeginsWithTag(text, kXMLClearTags[1].open) ? &kXMLClearTags[1] : nullptr;
    case 's':
        return BeginsWithTag(text, kXMLClearTags[2].open) ? &kXMLClearTags[2] : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

void XMLTokenizer::skipSpace()
{
    while (kSpaces[static_cast<unsigned char>(src_[pos_])])
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

// Characters that end a quoted value's scan: NUL, '<' and the quote itself.
constexpr std::array<bool, 256> MakeQuoteEnds(char quote)
{
    std::array<bool, 256> ends{};
    for (const char c : {'\0', '<', quote})
        ends[static_cast<unsigned char>(c)] = true;
    return ends;
}
constexpr std::array<bool, 256> kDoubleQuoteEnds = MakeQuoteEnds('"');
constexpr std::array<bool, 256> kSingleQuoteEnds = MakeQuoteEnds('\'');

} // namespace

XMLToken XMLTokenizer::scanText(size_t start, size_t from)
{
    const char* end = src_ + from;
    for (;;) {
        while (!kTextEnds[static_cast<unsigned char>(*end)])
            ++end;
        if (*end == '/' && end[1] != '>') {
            ++end;
            continue;
        }
        break;
    }
    const size_t length = static_cast<size_t>(end - src_) - start;
    // Whitespace ending the token is consumed but not part of it.
    pos_ = static_cast<size_t>(end - src_) + (kSpaces[static_cast<unsigned char>(*end)] ? 1 : 0);
    return {XMLTokenKind::Text, start, length, nullptr};
}

XMLToken XMLTokenizer::next()
{
    skipSpace();
    const size_t start = pos_;
    const char c = src_[start];
    if (c == '\0')
        return {XMLTokenKind::EndOfInput, start, 0, nullptr};

    if (c == '<') {
        if (const XMLClearTag* row = ClearRowAt(src_ + start)) {
            pos_ = start + std::strlen(row->open);
            return {XMLTokenKind::ClearSection, start, pos_ - start, row};
        }
        const char after = src_[start + 1];
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
        const std::array<bool, 256>& ends = c == '"' ? kDoubleQuoteEnds : kSingleQuoteEnds;
        size_t end = start + 1;
        while (!ends[static_cast<unsigned char>(src_[end])])
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

} // namespace velmora
