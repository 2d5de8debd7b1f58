#pragma once

#include <string_view>

namespace velmora {

// Case folding for names: ASCII letters only; bytes from 0x80 up compare as
// they are.
constexpr char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsIgnoreCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    }
    return true;
}

constexpr bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

// Whitespace of the XML reader: exactly TAB, LF, CR and SPACE.
constexpr bool IsXmlSpace(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == ' ';
}

} // namespace velmora
