// Feeds arbitrary bytes to the XCFG reader and the config.xml loader, through a
// file as they would be read at start-up. Whatever was loaded must survive a
// write and a second load unchanged.

#include "config/core/ConfigStore.h"
#include "config/core/XcfgReader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

const std::string& ScratchFile()
{
    static const std::string path = [] {
        char name[] = "/tmp/velmora-fuzz-xcfg-XXXXXX";
        int fd = ::mkstemp(name);
        if (fd < 0)
            std::abort();
        ::close(fd);
        std::atexit([] { ::unlink(ScratchFile().c_str()); });
        return std::string(name);
    }();
    return path;
}

void WriteScratch(const void* data, size_t size)
{
    FILE* file = std::fopen(ScratchFile().c_str(), "wb");
    if (!file)
        std::abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        std::abort();
    std::fclose(file);
}

// Touches every node and attribute, as the loader's questions would.
void Walk(XcfgNode* root)
{
    char buffer[200];
    for (XcfgNode* node = root; node; node = node->next) {
        if (node->magic != XCFG_MAGIC || std::strlen(node->name) > XCFG_MAX_TEXT)
            __builtin_trap();
        for (int32_t i = 0; i < node->attribute_count; ++i)
            XcfgGetAttribute(node, node->attributes[i].name, buffer, sizeof buffer);
        XcfgGetAttribute(node, nullptr, buffer, 7);
        XcfgNode* found = nullptr;
        XcfgFindPath(&found, node, 0, node->name);
        if (found != node)
            __builtin_trap();
        if (node->first_child)
            XcfgFindPath(&found, node, 1, node->first_child->name);
    }
}

template <typename Record>
bool SameRecords(const std::vector<Record>& a, const std::vector<Record>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Record)) == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WriteScratch(data, size);
    {
        XcfgDocument document;
        XcfgLoadFile(&document, ScratchFile().c_str());
        XcfgCheckRoot(&document, "mappings");
        Walk(document.root);
        if (document.root)
            Walk(document.root->first_child);
    }

    velmora::LoadedConfig first = velmora::LoadConfig(ScratchFile());
    if (first.invalid && first.triggerings.empty() && first.forwardings.empty())
        return 0;
    const std::string text =
        velmora::BuildConfigText(first.settings, first.triggerings, first.forwardings);
    WriteScratch(text.data(), text.size());
    velmora::LoadedConfig second = velmora::LoadConfig(ScratchFile());
    if (second.invalid ||
        std::memcmp(&first.settings, &second.settings, sizeof first.settings) != 0 ||
        !SameRecords(first.triggerings, second.triggerings) ||
        !SameRecords(first.forwardings, second.forwardings))
        __builtin_trap();
    return 0;
}
