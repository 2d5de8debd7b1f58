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
    size_t from = 0;
    for (size_t amp = source.find('&'); amp != std::string_view::npos;
         amp = source.find('&', from)) {
        out.append(source.substr(from, amp - from));
        const std::string_view rest = source.substr(amp + 1);
        from = amp + 1;
        bool known = false;
        for (const Entity& entity : kEntities) {
            if (StartsWithIgnoreCase(rest, entity.reference)) {
                out += entity.replacement;
                from += entity.reference.size();
                known = true;
                break;
            }
        }
        if (!known) {
            ReportUnknownEntity(rest);
            out += '&'; // kept as written; the characters after it follow as text
        }
    }
    out.append(source.substr(from));
    return out;
}

} // namespace velmora
