#pragma once

#include <string>
#include <string_view>

namespace velmora {

// Appends `value` (UTF-8) as the text of a double-quoted XML attribute, in
// plain ASCII so that it reads back the same under any declared encoding:
// the markup characters " & < > become &quot; &amp; &lt; &gt;, every character
// outside ASCII and tab, line feed and carriage return (which a parser would
// turn into spaces) become decimal character references, and control
// characters that XML cannot carry at all are left out. A byte that is not
// part of a valid UTF-8 sequence is taken as the Latin-1 character of that byte.
// Printable ASCII other than the four markup characters is copied as it is.
void AppendAttributeValue(std::string& out, std::string_view value);

} // namespace velmora
