#pragma once

#include "catalogue/core/CatalogueRecord.h"

#include <string>
#include <string_view>
#include <vector>

// ports_list.txt: read whole with a filter, and extended one line at a time.
// The file is opened for reading and appending (so it is created empty when
// missing) and closed again within each call; nothing in it is ever rewritten.

namespace velmora {

// The records of the lines that pass `filter`, in file order. A line longer
// than kCatalogueLineLimit bytes is read in pieces, each a record of its own;
// a piece never ends inside a UTF-8 sequence. When the file cannot be opened,
// "open idx errno is %d\n" goes to DebugTrace and false comes back.
bool ReadCatalogue(const std::string& path, std::string_view filter,
                   std::vector<CatalogueRecord>& records);

// Appends FormatCatalogueLine(...), on a line of its own even when the file's
// last line has no line end. Returns 0, or -1 when the file cannot be opened
// (traced as above) or written; `reason` then tells why.
int AppendCatalogueLine(const std::string& path, std::string_view name, std::string_view tcpPorts,
                        std::string_view udpPorts, std::string* reason = nullptr);

} // namespace velmora
