#include "upnp/core/FriendlyName.h"

#include "upnp/core/XMLNode.h"

namespace velmora {

std::string FirstFriendlyName(const std::string& description)
{
    const XMLNode root = XMLNode::parseDocument(description.c_str(), "root");
    const char* name = root.findChild("device").findChild("friendlyName").textAt(0);
    return name ? name : "";
}

} // namespace velmora
