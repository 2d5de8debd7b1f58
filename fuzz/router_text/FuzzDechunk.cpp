// libFuzzer target: the chunked transfer coding of a description's body. The
// body never holds more than the chunks carried.
#include "router/core/DescriptionFetch.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string chunked(reinterpret_cast<const char*>(data), size);
    std::string body;
    velmora::Dechunk(chunked, body);
    if (body.size() > chunked.size())
        std::abort();
    return 0;
}
