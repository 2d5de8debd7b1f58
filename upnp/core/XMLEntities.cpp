#include "upnp/core/XMLEntities.h"

#include "upnp/core/TextCompare.h"

#include <cstdio>

namespace velmora {

namespace {

struct Entity
{
    std::string_view reference; // after the '&'
    char replacement;
};

constexpr Entity kEntities[] = {
    {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"apos;", '\''}, {"quot;", '"'},
};

// The report shows the text after '&' up to and including the first ';',
// at most 11 characters of it.
void ReportUnknownEntity(std::string_view afterAmpersand)
{
    std::string_view shown = afterAmpersand.substr(0, 11);
    const size_t semicolon = shown.find(';');
    if (semicolon != std::string_view::npos)
        shown = shown.substr(0, semicolon + 1);
    std::printf("unknown escape character: '&%.*s'", static_cast<int>(shown.size()), shown.data());
    std::fflush(stdout);
}

} // namespace

std::string DecodeXmlEntities(std::string_view source)
{
    std::string out;
    out.reserve(source.size());
    for (size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c != '&') {
            out += c;
            continue;
        }
        const std::string_view rest = source.substr(i + 1);
        bool known = false;
        for (const Entity& entity : kEntities) {
            if (StartsWithIgnoreCase(rest, entity.reference)) {
                out += entity.replacement;
                i += entity.reference.size();
                known = true;
                break;
            }
        }
        if (!known) {
            ReportUnknownEntity(rest);
            out += c; // kept as written; the characters after it follow as text
        }
    }
    return out;
}

} // namespace velmora
