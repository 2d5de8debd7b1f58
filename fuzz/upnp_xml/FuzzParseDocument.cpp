// libFuzzer target: the XML DOM reader on arbitrary text.
#include "upnp/core/XMLNode.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Walks the whole tree through the public lookups.
void Visit(const XMLNode& node, int depth)
{
    if (depth > XMLNode::kMaxDepth + 2)
        std::abort();
    for (int i = 0; i < node.textCount(); ++i) {
        if (!node.textAt(i))
            std::abort();
    }
    for (int i = 0; i < node.attributeCount(); ++i)
        (void)node.attributeAt(i)->name.size();
    for (int i = 0; i < node.clearCount(); ++i)
        (void)node.clearAt(i)->content.size();
    for (int i = 0; i < node.childNodeCount(); ++i) {
        const XMLNode child = node.childAt(i);
        if (child.empty() || !child.name())
            std::abort();
        (void)node.childCount(child.name());
        (void)node.findChild(child.name(), 1);
        Visit(child, depth + 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    static const char* const kTags[] = {nullptr, "root", "Envelope", "a"};
    const char* tag = kTags[data[0] % 4];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    XMLParseReport report;
    const XMLNode result = XMLNode::parseDocument(text.c_str(), tag, &report);
    const bool success =
        report.error == velmora::XMLParseOk || report.error == velmora::XMLParseMismatchedEndTag;
    if (!success && !result.empty())
        std::abort();
    if (!tag && success && result.empty())
        std::abort();
    Visit(result, 0);
    return 0;
}
