#pragma once

#include <string>
#include <string_view>

namespace velmora {

// `text` with every control character written out, so that a name taken from
// a file or a router can never start a line of its own in the log or a
// balloon, move a terminal's cursor or hide what follows it: newline, CR and
// tab as "\n", "\r" and "\t", other C0 characters and DEL as "\xHH", and the
// C1 characters (U+0080 to U+009F, in UTF-8) as "\u00HH". Everything else,
// backslashes included, is kept as it is.
std::string EscapeControlCharacters(std::string_view text);

} // namespace velmora
