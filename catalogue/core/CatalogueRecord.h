#pragma once

#include <string>

namespace velmora {

// One line of ports_list.txt as the window shows it: the application name and
// its TCP and UDP ports, free text. The last non-empty piece of a line keeps
// the line end it was read with.
struct CatalogueRecord
{
    std::string name;
    std::string tcpPorts;
    std::string udpPorts;

    bool operator==(const CatalogueRecord&) const = default;
};

} // namespace velmora
