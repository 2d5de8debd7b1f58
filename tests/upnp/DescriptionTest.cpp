#include "UpnpTestSupport.h"
#include "upnp/core/FriendlyName.h"

#include <gtest/gtest.h>

using namespace velmora::test;
using velmora::FirstFriendlyName;

namespace {

const char kHeaders[] = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n";
const char kDescribeUrl[] = "http://10.77.0.1:5000/rootDesc.xml";

bool ParseDescription(UpnpClient& client, const std::string& xml,
                      const std::string& describeUrl = kDescribeUrl)
{
    client.init_client(1);
    client.describe_url = describeUrl;
    client.description = kHeaders + xml;
    return client.parser_description();
}

std::string Service(const std::string& type, const std::string& control)
{
    return "<service><serviceType>" + type + "</serviceType><controlURL>" + control +
           "</controlURL></service>";
}

std::string Times(int count, const std::string& text)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

const std::string kPpp = "urn:schemas-upnp-org:service:WANPPPConnection:1";
const char kWanIp2[] = "urn:schemas-upnp-org:service:WANIPConnection:2";

// A description with the three device levels; each part can be replaced.
struct Desc
{
    std::string urlBase = {};
    std::string rootType = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";
    std::string rootExtra = "<friendlyName>Lab Router</friendlyName>";
    std::string beforeWan = {};
    std::string wanType = "urn:schemas-upnp-org:device:WANDevice:1";
    std::string connType = "urn:schemas-upnp-org:device:WANConnectionDevice:1";
    std::string services = Service(kWanIp, "/ctl/IPConn");
    bool rootList = true, wanList = true, serviceList = true;

    std::string text() const
    {
        std::string conn = "<device><deviceType>" + connType + "</deviceType>" +
                           (serviceList ? "<serviceList>" + services + "</serviceList>" : "") +
                           "</device>";
        std::string wan = "<device><deviceType>" + wanType + "</deviceType>" +
                          (wanList ? "<deviceList>" + conn + "</deviceList>" : "") + "</device>";
        return "<?xml version=\"1.0\"?>\n<root xmlns=\"urn:schemas-upnp-org:device-1-0\">" +
               urlBase + "<device><deviceType>" + rootType + "</deviceType>" + rootExtra +
               (rootList ? "<deviceList>" + beforeWan + wan + "</deviceList>" : "") +
               "</device></root>";
    }
};

const std::string kNoGateway =
    "Fail to find device \"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n";

} // namespace

TEST(ParserDescription, RealRouters)
{
    // Linksys: IGD v1 with URLBase and a PPP connection.
    const std::string linksys = ReadTestData("routers/linksys_WAG200G_desc.xml");
    const std::string values = ReadTestData("routers/linksys_WAG200G_desc.values");
    ASSERT_FALSE(linksys.empty());
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, linksys, "http://192.168.1.1:49152/gateway.xml"));
    EXPECT_EQ(client.status, UpnpStatus::DescriptionParsed);
    EXPECT_EQ(client.base_URL, "http://192.168.1.1:49152");
    EXPECT_EQ(client.friendly_name, "LINKSYS WAG200G Gateway");
    EXPECT_EQ(client.service_type, ValuesEntry(values, "first", "servicetype"));
    EXPECT_EQ(client.control_url,
              "http://192.168.1.1:49152" + ValuesEntry(values, "first", "controlurl"));
    EXPECT_EQ(FirstFriendlyName(linksys), "LINKSYS WAG200G Gateway");

    // Livebox: IGD v2 devices are walked, but its only connection service is
    // WANPPPConnection:2, which is not taken.
    const std::string livebox = ReadTestData("routers/new_LiveBox_desc.xml");
    ASSERT_FALSE(livebox.empty());
    EXPECT_FALSE(ParseDescription(client, livebox, "http://192.168.1.1:80/87895a19/desc.xml"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error,
              "can't find  \" SERVICE_WANIP \" or \" SERVICE_WANPPP \" service.\n");
    EXPECT_EQ(client.base_URL, "http://192.168.1.1:80"); // set by the earlier step
    EXPECT_EQ(FirstFriendlyName(livebox), "Orange Livebox");
    EXPECT_EQ(FirstFriendlyName(kHeaders + livebox), "Orange Livebox");
}

TEST(ParserDescription, ServiceChoiceAndControlUrl)
{
    const std::string lan = "<device><deviceType>urn:schemas-upnp-org:device:LANDevice:1"
                            "</deviceType><deviceList><device><deviceType>urn:schemas-upnp-org:"
                            "device:WANConnectionDevice:1</deviceType></device></deviceList>"
                            "</device>";
    struct Case
    {
        Desc desc;
        std::string type, control;
    };
    const Case cases[] = {
        {Desc{}, kWanIp, "http://10.77.0.1:5000/ctl/IPConn"},
        // Joined to the base as URLs are, on the device's own address.
        {Desc{.urlBase = "<URLBase>http://10.77.0.1:5000/</URLBase>"}, kWanIp,
         "http://10.77.0.1:5000/ctl/IPConn"},
        {Desc{.services = Service(kWanIp, "HTTP://10.77.0.1:1/c")}, kWanIp, "http://10.77.0.1:1/c"},
        {Desc{.services = Service(kWanIp, "/redirect?to=http://10.9.9.9/c")}, kWanIp,
         "http://10.77.0.1:5000/redirect?to=http://10.9.9.9/c"},
        {Desc{.services =
                  "<service><serviceType>" + std::string(kWanIp) + "</serviceType></service>"},
         kWanIp, "http://10.77.0.1:5000/"},
        // The first accepted service in document order wins.
        {Desc{.services = Service("urn:schemas-upnp-org:service:WANEthernetLinkConfig:1", "/eth") +
                          Service(kPpp, "/ppp") + Service(kWanIp, "/ip")},
         kPpp, "http://10.77.0.1:5000/ppp"},
        {Desc{.beforeWan = lan}, kWanIp, "http://10.77.0.1:5000/ctl/IPConn"},
        // 1 MB of devices before the WAN device: the search looks at each once.
        {Desc{.beforeWan = Times(116000, "<device/>")}, kWanIp, "http://10.77.0.1:5000/ctl/IPConn"},
        // Version 2 devices, and the version 2 IP connection with its own type.
        {Desc{.rootType = "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
              .wanType = "urn:schemas-upnp-org:device:WANDevice:2",
              .connType = "urn:schemas-upnp-org:device:WANConnectionDevice:2",
              .services = Service(kWanIp2, "/ip2")},
         kWanIp2, "http://10.77.0.1:5000/ip2"},
        {Desc{.rootType = "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
              .services = Service(kWanIp2, "/ip2") + Service(kWanIp, "/ip1")},
         kWanIp2, "http://10.77.0.1:5000/ip2"},
        {Desc{.wanType = "urn:schemas-upnp-org:device:WANDevice:2"}, kWanIp,
         "http://10.77.0.1:5000/ctl/IPConn"},
    };
    for (const Case& c : cases) {
        UpnpClient client;
        ASSERT_TRUE(ParseDescription(client, c.desc.text())) << c.desc.text();
        EXPECT_EQ(client.base_URL,
                  c.desc.urlBase.empty() ? "http://10.77.0.1:5000" : "http://10.77.0.1:5000/");
        EXPECT_EQ(client.service_type, c.type) << c.desc.text();
        EXPECT_EQ(client.control_url, c.control) << c.desc.text();
        EXPECT_EQ(client.friendly_name, "Lab Router");
    }
}

TEST(ParserDescription, AControlUrlOffTheDevicesAddressIsNotUsed)
{
    for (const Desc& desc : {Desc{.services = Service(kWanIp, "http://10.9.9.9:1/c")},
                             Desc{.services = Service(kWanIp, "https://10.77.0.1/c")},
                             Desc{.urlBase = "<URLBase>http://10.9.9.9:5000</URLBase>"}}) {
        UpnpClient client;
        EXPECT_FALSE(ParseDescription(client, desc.text())) << desc.text();
        EXPECT_EQ(client.last_error,
                  "The controlURL of the service is not on the device's own address.\n");
        EXPECT_EQ(client.control_url, "");
    }
}

TEST(ParserDescription, StepMessages)
{
    struct Case
    {
        std::string text;
        std::string message;
        std::string describeUrl = kDescribeUrl;
    };
    const Case cases[] = {
        {"no xml at all",
         "The device descripe XML file is not a valid XML file. Cann't find root element.\n"},
        {Desc{}.text(), "Fail to get base_URL from XMLNode \"URLBase\" or describe_url.\n",
         "http://10.77.0.1"},
        {Desc{.rootType = "urn:schemas-upnp-org:device:internetgatewaydevice:1"}.text(),
         kNoGateway}, // compared exactly
        {Desc{.rootList = false}.text(),
         " Fail to find deviceList of device "
         "\"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n"},
        {Desc{.rootType = "urn:schemas-upnp-org:device:InternetGatewayDevice:3"}.text(),
         kNoGateway},
        {Desc{.wanType = "urn:schemas-upnp-org:device:WANDevice:3"}.text(),
         "Fail to find device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n"},
        {Desc{.wanList = false}.text(),
         " Fail to find deviceList of device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n"},
        {Desc{.connType = ""}.text(),
         "Fail to find device \"urn:schemas-upnp-org:device:WANConnectionDevice:1\"\n"},
        {Desc{.serviceList = false}.text(),
         " Fail to find serviceList of device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n"},
        {Desc{.services = Service("urn:schemas-upnp-org:service:WANPPPConnection:2", "/ppp2") +
                          Service("urn:schemas-upnp-org:service:WANIPConnection:3", "/ip3")}
             .text(),
         "can't find  \" SERVICE_WANIP \" or \" SERVICE_WANPPP \" service.\n"},
    };
    for (const Case& c : cases) {
        UpnpClient client;
        EXPECT_FALSE(ParseDescription(client, c.text, c.describeUrl)) << c.text;
        EXPECT_EQ(client.status, UpnpStatus::Failed);
        EXPECT_EQ(client.last_error, c.message) << c.text;
    }
}

TEST(ParserDescription, FriendlyName)
{
    UpnpClient client;
    client.friendly_name = "old";
    ASSERT_TRUE(
        ParseDescription(client, Desc{.rootExtra = "<friendlyName></friendlyName>"}.text()));
    EXPECT_EQ(client.friendly_name, "");
    client.friendly_name = "kept";
    ASSERT_TRUE(ParseDescription(client, Desc{.rootExtra = ""}.text()));
    EXPECT_EQ(client.friendly_name, "kept");

    EXPECT_EQ(FirstFriendlyName(Desc{}.text()), "Lab Router");
    EXPECT_EQ(FirstFriendlyName(""), "");
    EXPECT_EQ(FirstFriendlyName("<root><device/></root>"), "");
    EXPECT_EQ(FirstFriendlyName("<root><device><friendlyName>A &amp; B</friendlyName>"
                                "</device></root>"),
              "A & B");
}
