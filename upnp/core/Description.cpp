#include "platform/DebugTrace.h"
#include "upnp/core/DeviceUrl.h"
#include "upnp/core/TextFormat.h"
#include "upnp/core/UpnpClient.h"
#include "upnp/core/UrlParts.h"
#include "upnp/core/XMLNode.h"

#include <cstring>
#include <initializer_list>

namespace {

// The device and service versions accepted at each level: version 1 as
// before, and the version 2 types that current routers describe themselves
// with. The WAN connection service found is used with its own type.
using TypeList = std::initializer_list<const char*>;
const TypeList kGatewayTypes = {"urn:schemas-upnp-org:device:InternetGatewayDevice:1",
                                "urn:schemas-upnp-org:device:InternetGatewayDevice:2"};
const TypeList kWanDeviceTypes = {"urn:schemas-upnp-org:device:WANDevice:1",
                                  "urn:schemas-upnp-org:device:WANDevice:2"};
const TypeList kWanConnectionDeviceTypes = {"urn:schemas-upnp-org:device:WANConnectionDevice:1",
                                            "urn:schemas-upnp-org:device:WANConnectionDevice:2"};
const TypeList kConnectionServiceTypes = {"urn:schemas-upnp-org:service:WANIPConnection:1",
                                          "urn:schemas-upnp-org:service:WANIPConnection:2",
                                          "urn:schemas-upnp-org:service:WANPPPConnection:1"};

bool OneOf(const char* text, TypeList types)
{
    for (const char* type : types) {
        if (std::strcmp(text, type) == 0)
            return true;
    }
    return false;
}

// Text of the node's first child `name` (prefix rule); null when there is
// no such child or it has no text.
const char* ChildText(const XMLNode& node, const char* name)
{
    return node.findChild(name).textAt(0);
}

// The first `element` child of `parent` whose `typeElement` text is exactly
// one of `types`, in document order. One pass: the cursor goes on from the
// last candidate, so a list of many children costs one look at each.
XMLNode FindTyped(const XMLNode& parent, const char* element, const char* typeElement,
                  TypeList types)
{
    const int count = parent.childCount(element);
    int cursor = 0;
    for (int i = 0; i < count; ++i) {
        XMLNode child = parent.nextChild(element, &cursor);
        if (child.empty())
            break;
        const char* type = ChildText(child, typeElement);
        if (type && OneOf(type, types))
            return child;
    }
    return {};
}

XMLNode FindDevice(const XMLNode& parent, TypeList types)
{
    return FindTyped(parent, "device", "deviceType", types);
}

// The first WAN IP or PPP connection service of the list.
XMLNode FindConnectionService(const XMLNode& serviceList)
{
    return FindTyped(serviceList, "service", "serviceType", kConnectionServiceTypes);
}

} // namespace

bool UpnpClient::get_description()
{
    std::string host;
    std::string path;
    uint16_t port = 0;
    if (!parseUrl(describe_url, host, port, path)) {
        fail("Failed to parseURl: " + describe_url + "\n");
        return false;
    }
    DebugTrace("get_description:describe_url[%s],host[%s],port[%d],path[%s]\n",
               describe_url.c_str(), host.c_str(), port, path.c_str());
    if (!tcp_connect(host, port))
        return false;
    const std::string request =
        velmora::Format("GET %s HTTP/1.1\r\nHost: %s:%d\r\n\r\n", path.c_str(), host.c_str(), port);
    description = http_exchange(request, "</root>", 30);
    tcp_sock.close();
    return true;
}

bool UpnpClient::parser_description()
{
    auto failStep = [this](const char* message) {
        fail(message);
        DebugTrace("last_error is %s\n", last_error.c_str());
        return false;
    };

    DebugTrace("parser_description step 1\n");
    XMLNode root = XMLNode::parseDocument(description.c_str(), "root");
    if (root.empty())
        return failStep("The device descripe XML file is not a valid XML file. Cann't find root "
                        "element.\n");

    DebugTrace("parser_description step 2\n");
    if (const char* urlBase = ChildText(root, "URLBase")) {
        base_URL = urlBase;
    } else {
        const size_t slash =
            describe_url.size() > 7 ? describe_url.find('/', 7) : std::string::npos;
        if (slash == std::string::npos)
            return failStep("Fail to get base_URL from XMLNode \"URLBase\" or describe_url.\n");
        base_URL = describe_url.substr(0, slash);
    }

    DebugTrace("parser_description step 3\n");
    XMLNode gateway = FindDevice(root, kGatewayTypes);
    if (gateway.empty())
        return failStep("Fail to find device "
                        "\"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n");
    XMLNode name = gateway.findChild("friendlyName");
    if (!name.empty())
        friendly_name = name.textAt(0) ? name.textAt(0) : "";

    // Steps 4 to 8, down from the gateway to its connection device's service
    // list: a child device of a type, or a list by its element name.
    struct Down
    {
        const TypeList* deviceTypes;
        const char* listName;
        const char* failure;
    };
    const Down kDown[] = {
        {nullptr, "deviceList",
         " Fail to find deviceList of device "
         "\"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n"},
        {&kWanDeviceTypes, nullptr,
         "Fail to find device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n"},
        {nullptr, "deviceList",
         " Fail to find deviceList of device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n"},
        {&kWanConnectionDeviceTypes, nullptr,
         "Fail to find device \"urn:schemas-upnp-org:device:WANConnectionDevice:1\"\n"},
        {nullptr, "serviceList",
         " Fail to find serviceList of device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n"},
    };
    XMLNode node = gateway;
    int step = 4;
    for (const Down& down : kDown) {
        DebugTrace("parser_description step %d\n", step++);
        node =
            down.deviceTypes ? FindDevice(node, *down.deviceTypes) : node.findChild(down.listName);
        if (node.empty())
            return failStep(down.failure);
    }
    const XMLNode& serviceList = node;

    DebugTrace("parser_description step 9\n");
    XMLNode service = FindConnectionService(serviceList);

    DebugTrace("parser_description step 10\n");
    if (service.empty())
        return failStep("can't find  \" SERVICE_WANIP \" or \" SERVICE_WANPPP \" service.\n");

    DebugTrace("parser_description step 11\n");
    service_type = ChildText(service, "serviceType");
    const char* controlText = ChildText(service, "controlURL");
    // Joined to the base, and only on the device's own address.
    const std::string device = velmora::UrlHostAddress(describe_url);
    const velmora::DeviceUrl control =
        velmora::JoinDeviceUrl(base_URL, controlText ? controlText : "", device);
    if (!control) {
        velmora::LogRefusedDevice(device.empty() ? describe_url : device, "control URL",
                                  controlText ? controlText : "", control.fault);
        return failStep("The controlURL of the service is not on the device's own address.\n");
    }
    control_url = control.url;

    DebugTrace("parser_description step 12\n");
    status = UpnpStatus::DescriptionParsed;
    return true;
}
