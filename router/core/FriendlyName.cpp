#include "router/core/FriendlyName.h"

namespace {

constexpr std::string_view kElement = "friendlyName";

struct StartTag
{
    size_t contentStart = std::string_view::npos; // just past the tag; npos when none
    bool selfClosing = false;                      // <friendlyName/>
};

// The first start tag "<friendlyName ...>" (any namespace prefix).
StartTag FindStartTag(std::string_view text)
{
    size_t from = 0;
    while ((from = text.find('<', from)) != std::string_view::npos) {
        size_t nameStart = from + 1;
        size_t nameEnd = text.find_first_of(" \t\r\n/>", nameStart);
        size_t close = text.find('>', nameStart);
        if (nameEnd == std::string_view::npos || close == std::string_view::npos)
            return {};
        std::string_view name = text.substr(nameStart, nameEnd - nameStart);
        size_t colon = name.rfind(':');
        if (colon != std::string_view::npos)
            name.remove_prefix(colon + 1);
        if (name == kElement)
            return {close + 1, text[close - 1] == '/'};
        from = close + 1;
    }
    return {};
}

std::string DecodeEntities(std::string_view text)
{
    static constexpr struct
    {
        std::string_view entity;
        char character;
    } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        bool decoded = false;
        if (text[i] == '&') {
            for (const auto& e : kEntities) {
                if (text.substr(i, e.entity.size()) == e.entity) {
                    out += e.character;
                    i += e.entity.size();
                    decoded = true;
                    break;
                }
            }
        }
        if (!decoded)
            out += text[i++];
    }
    return out;
}

std::string CutUtf8(std::string text, size_t maxBytes)
{
    if (text.size() <= maxBytes)
        return text;
    size_t cut = maxBytes;
    // Step back over continuation bytes so no character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}

} // namespace

std::string FirstFriendlyName(std::string_view description, size_t maxBytes)
{
    StartTag tag = FindStartTag(description);
    if (tag.contentStart == std::string_view::npos || tag.selfClosing)
        return {};
    size_t start = tag.contentStart;
    size_t end = description.find('<', start);
    if (end == std::string_view::npos)
        return {};
    return CutUtf8(DecodeEntities(description.substr(start, end - start)), maxBytes);
}
