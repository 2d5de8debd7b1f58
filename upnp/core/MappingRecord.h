#pragma once

#include <string>

// One entry of the router's port-mapping table, each field the text of the
// GetGenericPortMappingEntry answer element named beside it.
struct MappingRecord
{
    std::string mapping_desc;    // NewPortMappingDescription
    std::string protocol;        // NewProtocol
    std::string external_port;   // NewExternalPort
    std::string internal_client; // NewInternalClient
    std::string internal_port;   // NewInternalPort

    bool operator==(const MappingRecord&) const = default;
};
