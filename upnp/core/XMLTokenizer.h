#pragma once

#include "upnp/core/XMLNode.h"

#include <cstddef>

namespace velmora {

// Splits the source text into the tokens of the XML reader. Works in place:
// a token is a position and a length in the source.
enum class XMLTokenKind
{
    Text,
    QuotedText,
    TagStart,     // "<"
    EndTagStart,  // "</"
    TagClose,     // ">"
    Equals,       // "="
    DeclStart,    // "<?"
    EmptyClose,   // "/>"
    ClearSection, // an open tag of the clear-section table
    EndOfInput,
};

struct XMLToken
{
    XMLTokenKind kind = XMLTokenKind::EndOfInput;
    size_t start = 0;
    size_t length = 0;
    const XMLClearTag* clear = nullptr; // the table row of a clear-section token
};

// The clear-section table, searched in order; the first match wins.
extern const XMLClearTag kXMLClearTags[5];

class XMLTokenizer
{
public:
    explicit XMLTokenizer(const char* source) : src_(source) {}

    // The next token; the position moves past it.
    XMLToken next();

    size_t position() const { return pos_; }
    void setPosition(size_t pos) { pos_ = pos; }
    const char* source() const { return src_; }

private:
    void skipSpace();
    // Scans a text token from `from` on; the token itself starts at `start`.
    XMLToken scanText(size_t start, size_t from);

    const char* src_;
    size_t pos_ = 0;
};

} // namespace velmora
