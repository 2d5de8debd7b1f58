// Questions about a loaded XCFG tree, and freeing it.

#include "config/core/Records.h"
#include "config/core/XcfgReader.h"

#include <cstdarg>
#include <cstring>
#include <string_view>

XcfgDocument::~XcfgDocument()
{
    Clear();
}

void XcfgDocument::Clear()
{
    // Frees the tree without recursion, so that neither a deep nesting nor a
    // long run of siblings can exhaust the stack: a node with children is
    // rotated so that its first child takes its place in the chain.
    XcfgNode* node = root;
    root = nullptr;
    while (node) {
        if (XcfgNode* child = node->first_child) {
            node->first_child = child->next;
            child->next = node;
            node = child;
            continue;
        }
        XcfgNode* next = node->next;
        delete[] node->attributes;
        delete node;
        node = next;
    }
}

int XcfgCheckRoot(const XcfgDocument* document, const char* name)
{
    if (!document || !document->root)
        return XCFG_NO_ROOT;
    return std::strncmp(document->root->name, name, XCFG_MAX_TEXT) == 0 ? 0 : XCFG_WRONG_ROOT;
}

namespace {

XcfgNode* FindSibling(XcfgNode* node, const char* name)
{
    if (!name)
        return nullptr;
    for (; node; node = node->next) {
        if (std::strcmp(node->name, name) == 0)
            return node;
    }
    return nullptr;
}

} // namespace

int XcfgFindPath(XcfgNode** found, XcfgNode* start, int count, ...)
{
    *found = nullptr;
    if (count < 0)
        return XCFG_NOT_FOUND;

    va_list names;
    va_start(names, count);
    XcfgNode* node = nullptr;
    if (count == 0) {
        node = FindSibling(start, va_arg(names, const char*));
    } else {
        node = start;
        for (int i = 0; i < count && node; ++i)
            node = FindSibling(node->first_child, va_arg(names, const char*));
    }
    va_end(names);

    if (!node)
        return XCFG_NOT_FOUND;
    *found = node;
    return 0;
}

int XcfgGetAttribute(const XcfgNode* node, const char* name, char* buffer, size_t size)
{
    if (!node)
        return XCFG_NOT_FOUND;
    const char* value = nullptr;
    if (!name) {
        value = node->text;
    } else {
        for (int32_t i = 0; i < node->attribute_count; ++i) {
            if (std::strcmp(node->attributes[i].name, name) == 0) {
                value = node->attributes[i].value;
                break;
            }
        }
    }
    if (!value)
        return XCFG_NOT_FOUND;
    if (size == 0)
        return 0;
    // Unlike a plain bounded copy, always leave the buffer terminated.
    size_t length = velmora::Utf8CutLength(value, size - 1);
    std::memcpy(buffer, value, length);
    std::memset(buffer + length, 0, size - length);
    return 0;
}
