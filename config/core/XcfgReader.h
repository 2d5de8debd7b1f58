#pragma once

#include <cstddef>
#include <cstdint>

// XCFG: a small reader that turns an XML configuration file into a tree of
// element nodes with their attributes (built by expat's callbacks), and answers
// three questions about it: is the root named so, which node sits at a path of
// child names, and what is the value of an attribute.

constexpr uint32_t XCFG_MAGIC = 0x20050524; // first word of every record

// Return codes besides 0 (success), -1 (no parser / not well-formed) and errno values.
constexpr int XCFG_NOT_FOUND = 2010; // node or attribute not found
constexpr int XCFG_NO_ROOT = 2024;   // document has no root element
constexpr int XCFG_WRONG_ROOT = 22;  // root element has another name

constexpr size_t XCFG_MAX_TEXT = 128; // longest name, value or text kept

struct XcfgAttribute
{
    uint32_t magic;
    char name[129];
    char value[131]; // entities decoded, UTF-8
};

struct XcfgNode
{
    uint32_t magic;
    char name[129];
    char text[131];            // trimmed character data
    XcfgAttribute* attributes; // in document order
    int32_t attribute_count;
    XcfgNode* next; // next sibling
    XcfgNode* first_child;
};

// The caller's handle of one parsed file. It owns the tree: the tree is freed
// when the document goes away or when another file is loaded into it.
class XcfgDocument final
{
public:
    XcfgDocument() = default;
    ~XcfgDocument();
    XcfgDocument(const XcfgDocument&) = delete;
    XcfgDocument& operator=(const XcfgDocument&) = delete;

    // Frees the tree and leaves the document without a root.
    void Clear();

    uint32_t magic = 0;
    XcfgNode* root = nullptr; // the document element; null until the first start tag
};

// Parses the file into a new tree under `document`. 0, -1 or an errno value.
// A tree partly built before a failure stays attached to the document.
int XcfgLoadFile(XcfgDocument* document, const char* path);

// 0 if the root element is named `name` (compared over at most 128 characters),
// XCFG_WRONG_ROOT if it is named otherwise, XCFG_NO_ROOT without a root.
int XcfgCheckRoot(const XcfgDocument* document, const char* name);

// Follows `count` names from `start`: for each, steps to the current node's first
// child and along its siblings to the first node of that name. With a count of 0,
// searches `start` and its following siblings for the one name given. `*found` is
// null before the search and stays null on failure. 0 or XCFG_NOT_FOUND.
int XcfgFindPath(XcfgNode** found, XcfgNode* start, int count, ...);

// Copies the value of the node's first attribute named `name` (or, with a null
// name, the node's text) into `buffer`, cut on a character boundary so that it
// always ends in a NUL within `size` bytes; the rest of the buffer is zeroed.
// 0 or XCFG_NOT_FOUND.
int XcfgGetAttribute(const XcfgNode* node, const char* name, char* buffer, size_t size);
