#include "TestData.h"
#include "upnp/core/FriendlyName.h"
#include "upnp/core/UpnpClient.h"

#include <gtest/gtest.h>

using velmora::test::ReadTestData;
using velmora::test::ValuesEntry;

namespace {

const char kHeaders[] = "HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\nConnection: close\r\n\r\n";

bool ParseDescription(UpnpClient& client, const std::string& xml,
                      const std::string& describeUrl = "http://10.77.0.1:5000/rootDesc.xml")
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

const std::string kIp = "urn:schemas-upnp-org:service:WANIPConnection:1";
const std::string kPpp = "urn:schemas-upnp-org:service:WANPPPConnection:1";

// A description with the three device levels; each part can be replaced.
struct Desc
{
    std::string urlBase;
    std::string rootType = "urn:schemas-upnp-org:device:InternetGatewayDevice:1";
    std::string rootExtra = "<friendlyName>Lab Router</friendlyName>";
    std::string beforeWan;
    std::string wanType = "urn:schemas-upnp-org:device:WANDevice:1";
    std::string connType = "urn:schemas-upnp-org:device:WANConnectionDevice:1";
    std::string services = Service(kIp, "/ctl/IPConn");
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

} // namespace

TEST(ParserDescription, LinksysWithUrlBaseAndPppService)
{
    const std::string xml = ReadTestData("routers/linksys_WAG200G_desc.xml");
    const std::string values = ReadTestData("routers/linksys_WAG200G_desc.values");
    ASSERT_FALSE(xml.empty());
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, xml, "http://192.168.1.1:49152/gateway.xml"));
    EXPECT_EQ(client.status, UpnpStatus::DescriptionParsed);
    EXPECT_EQ(client.base_URL, "http://192.168.1.1:49152");
    EXPECT_EQ(client.friendly_name, "LINKSYS WAG200G Gateway");
    EXPECT_EQ(client.service_type, ValuesEntry(values, "first", "servicetype"));
    EXPECT_EQ(client.control_url,
              "http://192.168.1.1:49152" + ValuesEntry(values, "first", "controlurl"));
    EXPECT_EQ(velmora::FirstFriendlyName(xml), "LINKSYS WAG200G Gateway");
}

TEST(ParserDescription, LiveboxIsAVersion2GatewayAndFailsAtTheRootDevice)
{
    const std::string xml = ReadTestData("routers/new_LiveBox_desc.xml");
    ASSERT_FALSE(xml.empty());
    UpnpClient client;
    EXPECT_FALSE(ParseDescription(client, xml, "http://192.168.1.1:80/87895a19/desc.xml"));
    EXPECT_EQ(client.status, UpnpStatus::Failed);
    EXPECT_EQ(client.last_error,
              "Fail to find device \"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n");
    EXPECT_EQ(client.base_URL, "http://192.168.1.1:80"); // set by the earlier step
    EXPECT_EQ(velmora::FirstFriendlyName(xml), "Orange Livebox");
    EXPECT_EQ(velmora::FirstFriendlyName(kHeaders + xml), "Orange Livebox");
}

TEST(ParserDescription, BaseUrlFromDescribeUrlAndRelativeControlUrl)
{
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, Desc().text()));
    EXPECT_EQ(client.base_URL, "http://10.77.0.1:5000");
    EXPECT_EQ(client.control_url, "http://10.77.0.1:5000/ctl/IPConn");
    EXPECT_EQ(client.service_type, kIp);
    EXPECT_EQ(client.friendly_name, "Lab Router");
}

TEST(ParserDescription, UrlBaseWithSlashGivesTwoSlashes)
{
    Desc d;
    d.urlBase = "<URLBase>http://10.77.0.1:5000/</URLBase>";
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.control_url, "http://10.77.0.1:5000//ctl/IPConn");
}

TEST(ParserDescription, AbsoluteControlUrlIsKept)
{
    Desc d;
    d.services = Service(kIp, "HTTP://10.9.9.9:1/c");
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.control_url, "HTTP://10.9.9.9:1/c");
    d.services = Service(kIp, "/redirect?to=http://10.9.9.9/c");
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.control_url, "/redirect?to=http://10.9.9.9/c");
}

TEST(ParserDescription, MissingControlUrlGivesTheBase)
{
    Desc d;
    d.services = "<service><serviceType>" + kIp + "</serviceType></service>";
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.control_url, "http://10.77.0.1:5000");
}

TEST(ParserDescription, FirstAcceptedServiceInDocumentOrderWins)
{
    Desc d;
    d.services = Service("urn:schemas-upnp-org:service:WANEthernetLinkConfig:1", "/eth") +
                 Service(kPpp, "/ppp") + Service(kIp, "/ip");
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.service_type, kPpp);
    EXPECT_EQ(client.control_url, "http://10.77.0.1:5000/ppp");
}

TEST(ParserDescription, LanDeviceBeforeWanDeviceIsSkipped)
{
    Desc d;
    d.beforeWan = "<device><deviceType>urn:schemas-upnp-org:device:LANDevice:1</deviceType>"
                  "<deviceList><device><deviceType>urn:schemas-upnp-org:device:"
                  "WANConnectionDevice:1</deviceType></device></deviceList></device>";
    UpnpClient client;
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.control_url, "http://10.77.0.1:5000/ctl/IPConn");
}

TEST(ParserDescription, DeviceTypeIsComparedExactly)
{
    Desc d;
    d.rootType = "urn:schemas-upnp-org:device:internetgatewaydevice:1";
    UpnpClient client;
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error,
              "Fail to find device \"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n");
}

TEST(ParserDescription, StepMessages)
{
    UpnpClient client;
    EXPECT_FALSE(ParseDescription(client, "no xml at all"));
    EXPECT_EQ(client.last_error, "The device descripe XML file is not a valid XML file. Cann't "
                                 "find root element.\n");
    EXPECT_EQ(client.status, UpnpStatus::Failed);

    EXPECT_FALSE(ParseDescription(client, Desc().text(), "http://10.77.0.1"));
    EXPECT_EQ(client.last_error,
              "Fail to get base_URL from XMLNode \"URLBase\" or describe_url.\n");

    Desc d;
    d.rootList = false;
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error, " Fail to find deviceList of device "
                                 "\"urn:schemas-upnp-org:device:InternetGatewayDevice:1 \"\n");
    d = Desc();
    d.wanType = "urn:schemas-upnp-org:device:WANDevice:2";
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error,
              "Fail to find device \"urn:schemas-upnp-org:device:WANDevice:1 \"\n");
    d = Desc();
    d.wanList = false;
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error, " Fail to find deviceList of device "
                                 "\"urn:schemas-upnp-org:device:WANDevice:1 \"\n");
    d = Desc();
    d.connType = "";
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error,
              "Fail to find device \"urn:schemas-upnp-org:device:WANConnectionDevice:1\"\n");
    d = Desc();
    d.serviceList = false;
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error, " Fail to find serviceList of device "
                                 "\"urn:schemas-upnp-org:device:WANDevice:1 \"\n");
    d = Desc();
    d.services = Service("urn:schemas-upnp-org:service:WANIPConnection:2", "/ip2");
    EXPECT_FALSE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.last_error,
              "can't find  \" SERVICE_WANIP \" or \" SERVICE_WANPPP \" service.\n");
}

TEST(ParserDescription, EmptyFriendlyNameAndNoFriendlyName)
{
    Desc d;
    d.rootExtra = "<friendlyName></friendlyName>";
    UpnpClient client;
    client.friendly_name = "old";
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.friendly_name, "");
    d.rootExtra = "";
    client.friendly_name = "kept";
    ASSERT_TRUE(ParseDescription(client, d.text()));
    EXPECT_EQ(client.friendly_name, "kept");
}

TEST(FriendlyName, RootDeviceNameOrEmpty)
{
    EXPECT_EQ(velmora::FirstFriendlyName(Desc().text()), "Lab Router");
    EXPECT_EQ(velmora::FirstFriendlyName(""), "");
    EXPECT_EQ(velmora::FirstFriendlyName("<root><device/></root>"), "");
    EXPECT_EQ(velmora::FirstFriendlyName("<root><device><friendlyName>A &amp; B</friendlyName>"
                                         "</device></root>"),
              "A & B");
}
