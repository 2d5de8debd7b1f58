#include "router/core/UpnpDiscovery.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string Description(const std::string& name)
{
    return "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
           "<friendlyName>" +
           name +
           "</friendlyName><deviceList><device>"
           "<friendlyName>WANDevice</friendlyName></device></deviceList></device></root>";
}

std::string ReadCapture(const std::string& name)
{
    std::ifstream in(std::string(ROUTER_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RouterFriendlyName, RootDevicesName)
{
    EXPECT_EQ(RouterFriendlyName(Description("Home Router")), "Home Router");
    EXPECT_EQ(RouterFriendlyName(ReadCapture("linksys_WAG200G_desc.xml")),
              "LINKSYS WAG200G Gateway");
    EXPECT_EQ(RouterFriendlyName(ReadCapture("new_LiveBox_desc.xml")), "Orange Livebox");
}

TEST(RouterFriendlyName, NoneGivesEmptyText)
{
    EXPECT_EQ(RouterFriendlyName("<root><device><modelName>x</modelName></device></root>"), "");
    EXPECT_EQ(RouterFriendlyName(""), "");
}

TEST(RouterFriendlyName, CutTo127Bytes)
{
    std::string name(200, 'n');
    EXPECT_EQ(RouterFriendlyName(Description(name)), name.substr(0, 127));
    std::string exact(127, 'e');
    EXPECT_EQ(RouterFriendlyName(Description(exact)), exact);
}

TEST(RouterFriendlyName, CutNeverSplitsACharacter)
{
    // 126 ASCII bytes, then a two-byte character that would straddle the cut.
    EXPECT_EQ(RouterFriendlyName(Description(std::string(126, 'a') + "\xC3\xA9z")),
              std::string(126, 'a'));
    std::string fits = std::string(125, 'a') + "\xC3\xA9";
    EXPECT_EQ(RouterFriendlyName(Description(fits + "x")), fits);
}

} // namespace
