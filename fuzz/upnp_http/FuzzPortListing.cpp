// libFuzzer target: the reader of GetListOfPortMappings answers and the fault
// code of error answers. An answer never yields more entries than asked for,
// and only a list yields entries.
#include "upnp/core/PortMappingList.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using velmora::PortListingAnswer;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<MappingRecord> entries;
    const PortListingAnswer answer = velmora::ReadPortListing(text, entries);
    if (entries.size() > static_cast<size_t>(velmora::kPortListingChunk) ||
        (answer != PortListingAnswer::Entries && !entries.empty()))
        std::abort();
    if (velmora::ReadPortListing(text, entries, 2) != answer || entries.size() > 2)
        std::abort();
    const int code = velmora::UpnpFaultCode(text);
    if (code < 0 || code > 9999)
        std::abort();
    return 0;
}
