// libFuzzer target: SSDP NOTIFY datagrams and search answers as the restart
// watch reads them. Whatever is read is a part of the datagram.
#include "router/core/SsdpNotify.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view datagram(reinterpret_cast<const char*>(data), size);
    const auto notify = velmora::ParseSsdpNotify(datagram);
    if (notify && (notify->nts.size() > size || notify->location.size() > size ||
                   datagram.find(notify->location) == std::string_view::npos))
        std::abort();
    return 0;
}
