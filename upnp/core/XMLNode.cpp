#include "upnp/core/XMLNode.h"

#include "upnp/core/TextCompare.h"

#include <cstring>
#include <string_view>

using velmora::EqualsIgnoreCase;

namespace {

// The name compared under the prefix rule: the part after the first ':'.
std::string_view LocalName(std::string_view name)
{
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

int32_t OrderEntry(int index, velmora::XMLOrderKind kind)
{
    return static_cast<int32_t>(index) * 4 + kind;
}

} // namespace

void XMLNodeBody::trim()
{
    children.trim();
    texts.trim();
    clears.trim();
    attributes.trim();
    order.trim();
}

XMLNode::XMLNode(XMLNodeBody* body, bool addReference) : d(body)
{
    if (d && addReference)
        ++d->refCount;
}

XMLNode::XMLNode(const XMLNode& other) : XMLNode(other.d, true) {}

XMLNode::XMLNode(XMLNode&& other) noexcept : d(other.d)
{
    other.d = nullptr;
}

XMLNode& XMLNode::operator=(const XMLNode& other)
{
    if (other.d != d) {
        XMLNodeBody* old = d;
        d = other.d;
        if (d)
            ++d->refCount;
        release(old);
    }
    return *this;
}

XMLNode& XMLNode::operator=(XMLNode&& other) noexcept
{
    if (this != &other) {
        XMLNodeBody* old = d;
        d = other.d;
        other.d = nullptr;
        release(old);
    }
    return *this;
}

XMLNode::~XMLNode()
{
    release(d);
}

void XMLNode::release(XMLNodeBody* body)
{
    if (!body || --body->refCount > 0)
        return;
    if (XMLNodeBody* parent = body->pParent) {
        // Dropped while still linked: take it out of the parent's child array
        // and order list, and renumber the parent's later child entries.
        int index = -1;
        for (int i = 0; i < parent->children.count(); ++i) {
            if (parent->children[i] == body) {
                index = i;
                break;
            }
        }
        if (index >= 0) {
            parent->children.removeAt(index);
            for (int i = 0; i < parent->order.count(); ++i) {
                const int32_t entry = parent->order[i];
                if (entry % 4 != velmora::XMLOrderChild)
                    continue;
                if (entry / 4 == index) {
                    parent->order.removeAt(i);
                    --i;
                } else if (entry / 4 > index) {
                    parent->order[i] = entry - 4;
                }
            }
        }
    }
    for (XMLNodeBody* child : body->children) {
        child->pParent = nullptr;
        release(child);
    }
    delete body;
}

const char* XMLNode::name() const
{
    return d && d->lpszName ? d->lpszName->c_str() : nullptr;
}

int XMLNode::childCount(const char* name) const
{
    if (!d || !name)
        return 0;
    const std::string_view wanted(name); // measured once, not per child
    int count = 0;
    for (const XMLNodeBody* child : d->children) {
        if (child->lpszName && EqualsIgnoreCase(*child->lpszName, wanted))
            ++count;
    }
    return count;
}

XMLNode XMLNode::nextChild(const char* name, int* cursor) const
{
    if (!d || !name)
        return {};
    const std::string_view wanted(name); // measured once, not per child
    int i = cursor ? *cursor : 0;
    for (i = i < 0 ? 0 : i; i < d->children.count(); ++i) {
        XMLNodeBody* child = d->children[i];
        if (child->lpszName && EqualsIgnoreCase(LocalName(*child->lpszName), wanted)) {
            if (cursor)
                *cursor = i + 1;
            return XMLNode(child, true);
        }
    }
    return {};
}

XMLNode XMLNode::findChild(const char* name, int n) const
{
    int cursor = 0;
    XMLNode found;
    for (int i = 0; i <= n; ++i) {
        found = nextChild(name, &cursor);
        if (found.empty())
            break;
    }
    return found;
}

XMLNode XMLNode::childAt(int i) const
{
    if (!d || i < 0 || i >= d->children.count())
        return {};
    return XMLNode(d->children[i], true);
}

const char* XMLNode::textAt(int i) const
{
    if (!d || i < 0 || i >= d->texts.count())
        return nullptr;
    return d->texts[i].c_str();
}

const XMLAttr* XMLNode::attributeAt(int i) const
{
    if (!d || i < 0 || i >= d->attributes.count())
        return nullptr;
    return &d->attributes[i];
}

const XMLClearSection* XMLNode::clearAt(int i) const
{
    if (!d || i < 0 || i >= d->clears.count())
        return nullptr;
    return &d->clears[i];
}

XMLNode XMLNode::appendChild(const char* name, bool isDeclaration)
{
    if (!name)
        return {};
    return appendChild(std::string(name), isDeclaration);
}

XMLNode XMLNode::appendChild(std::string name, bool isDeclaration)
{
    if (!d)
        return {};
    auto* child = new XMLNodeBody;
    child->lpszName = std::move(name);
    child->isDeclaration = isDeclaration;
    child->pParent = d;
    d->order.append(OrderEntry(d->children.count(), velmora::XMLOrderChild));
    d->children.append(child); // this reference is the child's first
    return XMLNode(child, true);
}

const XMLAttr* XMLNode::appendAttr(const char* name, const char* value)
{
    if (!name)
        return nullptr;
    std::optional<std::string> ownedValue;
    if (value)
        ownedValue = value;
    return appendAttr(std::string(name), std::move(ownedValue));
}

const XMLAttr* XMLNode::appendAttr(std::string name, std::optional<std::string> value)
{
    if (!d)
        return nullptr;
    d->order.append(OrderEntry(d->attributes.count(), velmora::XMLOrderAttr));
    return &d->attributes.append(XMLAttr{std::move(name), std::move(value)});
}

const char* XMLNode::appendText(const char* text)
{
    if (!text)
        return nullptr;
    return appendText(std::string(text));
}

const char* XMLNode::appendText(std::string text)
{
    if (!d)
        return nullptr;
    d->order.append(OrderEntry(d->texts.count(), velmora::XMLOrderText));
    return d->texts.append(std::move(text)).c_str();
}

const XMLClearSection* XMLNode::appendClear(const char* content, const char* openTag,
                                            const char* closeTag)
{
    if (!content)
        return nullptr;
    return appendClear(std::string(content), openTag, closeTag);
}

const XMLClearSection* XMLNode::appendClear(std::string content, const char* openTag,
                                            const char* closeTag)
{
    if (!d)
        return nullptr;
    d->order.append(OrderEntry(d->clears.count(), velmora::XMLOrderClear));
    return &d->clears.append(XMLClearSection{openTag, std::move(content), closeTag});
}
