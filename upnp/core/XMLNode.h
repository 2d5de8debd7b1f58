#pragma once

#include "upnp/core/BlockArray.h"

#include <cstdint>
#include <optional>
#include <string>

// A small, permissive, in-memory XML reader for device descriptions and SOAP
// answers. It accepts text in front of the document (HTTP headers), unclosed
// elements and end tags that name another element; it never validates.

struct XMLAttr
{
    std::string name;
    std::optional<std::string> value; // none for an attribute written without '='
};

namespace velmora {

// One row of the clear-section table: text between the tags is kept verbatim.
struct XMLClearTag
{
    const char* open;
    const char* close;
};

} // namespace velmora

struct XMLClearSection
{
    const char* openTag;  // points into the clear-section table, not owned
    std::string content;  // the text between the tags, verbatim
    const char* closeTag; // points into the clear-section table, not owned
};

struct XMLParseReport
{
    int32_t error = 0;
    int32_t line = 0;
    int32_t column = 0;
};

namespace velmora {

// Parse result codes.
enum XMLParseCode : int32_t
{
    XMLParseOk = 0,
    XMLParseMismatchedEndTag = 1, // a warning: the parse still succeeds
    XMLParseMissingTagName = 4,
    XMLParseBadEndTag = 5,
    XMLParseUnmatchedEndTag = 7, // also: a clear section without its close tag
    XMLParseUnexpectedToken = 8,
    XMLParseNoText = 10,
    XMLParseTooDeep = 11, // elements nested deeper than XMLNode::kMaxDepth
};

// Kind of an order-list entry (entry = index * 4 + kind).
enum XMLOrderKind : int32_t
{
    XMLOrderChild = 0,
    XMLOrderAttr = 1,
    XMLOrderText = 2,
    XMLOrderClear = 3,
};

class XMLParser;

} // namespace velmora

struct XMLNodeBody
{
    std::optional<std::string> lpszName; // as written, prefix included; none for the document
    bool isDeclaration = false;          // opened with "<?"
    XMLNodeBody* pParent = nullptr;      // cleared by the parent when the parent is freed
    velmora::BlockArray<XMLNodeBody*, 50> children;
    velmora::BlockArray<std::string, 50> texts;
    velmora::BlockArray<XMLClearSection, 50> clears;
    velmora::BlockArray<XMLAttr, 50> attributes;
    velmora::BlockArray<int32_t, 150> order;
    int32_t refCount = 1; // the parent's child array (or the parse call) holds the first

    // Gives every array back its spare capacity.
    void trim();
};

// A handle to a node body; bodies are shared by reference counting. A handle
// without a body is the empty node: lookups on it find nothing.
class XMLNode
{
public:
    // Deepest element nesting the parser follows; deeper input is an error.
    static constexpr int kMaxDepth = 256;

    XMLNode() = default;
    XMLNode(const XMLNode& other);
    XMLNode(XMLNode&& other) noexcept;
    XMLNode& operator=(const XMLNode& other);
    XMLNode& operator=(XMLNode&& other) noexcept;
    ~XMLNode();

    // Parses NUL-terminated `text` and selects the node named `tag` (see the
    // selection rules in XMLParser.cpp); the empty node on failure.
    static XMLNode parseDocument(const char* text, const char* tag = nullptr,
                                 XMLParseReport* report = nullptr);

    bool empty() const { return d == nullptr; }
    const char* name() const;
    bool isDeclaration() const { return d && d->isDeclaration; }

    // Children whose whole name equals `name` (ignoring case, prefix included).
    int childCount(const char* name) const;
    // The first child at or after *cursor whose local name (after the first
    // ':') equals `name`, ignoring case; *cursor moves past the hit.
    XMLNode nextChild(const char* name, int* cursor = nullptr) const;
    // The (n + 1)-th child matching as in nextChild().
    XMLNode findChild(const char* name, int n = 0) const;
    XMLNode childAt(int i) const;
    const char* textAt(int i) const;

    int childNodeCount() const { return d ? d->children.count() : 0; }
    int textCount() const { return d ? d->texts.count() : 0; }
    int clearCount() const { return d ? d->clears.count() : 0; }
    int attributeCount() const { return d ? d->attributes.count() : 0; }
    const XMLAttr* attributeAt(int i) const;
    const XMLClearSection* clearAt(int i) const;
    // The body for inspection (order list, capacities); null for the empty node.
    const XMLNodeBody* body() const { return d; }

    // Appending (used by the parser). Each also adds an order-list entry.
    XMLNode appendChild(const char* name, bool isDeclaration);
    XMLNode appendChild(std::string name, bool isDeclaration);
    const XMLAttr* appendAttr(const char* name, const char* value);
    const XMLAttr* appendAttr(std::string name, std::optional<std::string> value);
    const char* appendText(const char* text);
    const char* appendText(std::string text);
    const XMLClearSection* appendClear(const char* content, const char* openTag,
                                       const char* closeTag);
    const XMLClearSection* appendClear(std::string content, const char* openTag,
                                       const char* closeTag);

private:
    friend class velmora::XMLParser;
    explicit XMLNode(XMLNodeBody* body, bool addReference);

    static void release(XMLNodeBody* body);

    XMLNodeBody* d = nullptr;
};
