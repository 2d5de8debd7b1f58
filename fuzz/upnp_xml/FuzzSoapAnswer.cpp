// libFuzzer target: the readers of SOAP answers (mapping entry, external address).
#include "upnp/core/SoapActions.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/UpnpClient.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    UpnpClient client;
    client.last_response = text;
    const size_t before = client.mappings.size();
    const bool kept = client.parse_mapping_info();
    if (kept != (client.mappings.size() == before + 1))
        std::abort();
    // A second read of the same answer is a repeat.
    if (kept && client.parse_mapping_info())
        std::abort();

    std::string address;
    std::string error;
    if (!velmora::ReadExternalIPAddress(text, address, error) && error.empty())
        std::abort();
    (void)velmora::SoapAnswerIsSuccess(text);
    return 0;
}
