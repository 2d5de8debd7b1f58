// libFuzzer target: the device-description reader and the friendly-name reader.
#include "upnp/core/FriendlyName.h"
#include "upnp/core/UpnpClient.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    UpnpClient client;
    client.init_client(1);
    client.describe_url = "http://10.77.0.1:5000/rootDesc.xml";
    client.description = text;
    if (client.parser_description()) {
        if (client.status != UpnpStatus::DescriptionParsed || client.service_type.empty())
            std::abort();
    } else if (client.status != UpnpStatus::Failed || client.last_error.empty()) {
        std::abort();
    }
    (void)velmora::FirstFriendlyName(text);
    return 0;
}
