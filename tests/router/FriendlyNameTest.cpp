#include "router/core/FriendlyName.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

TEST(FirstFriendlyName, TakesTheRootDevicesName)
{
    const char* description = R"(<?xml version="1.0"?>
<root xmlns="urn:schemas-upnp-org:device-1-0">
<device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>
<friendlyName>Home Router</friendlyName>
<deviceList><device><friendlyName>WANDevice</friendlyName></device></deviceList>
</device></root>)";
    EXPECT_EQ(FirstFriendlyName(description), "Home Router");
}

TEST(FirstFriendlyName, NoElementGivesEmptyText)
{
    EXPECT_EQ(FirstFriendlyName("<root><device><modelName>x</modelName></device></root>"), "");
    EXPECT_EQ(FirstFriendlyName(""), "");
    EXPECT_EQ(FirstFriendlyName("<friendlyName/>"), "");
    EXPECT_EQ(FirstFriendlyName("<friendlyName>unterminated"), "");
    EXPECT_EQ(FirstFriendlyName("<friendlyNam"), "");
}

TEST(FirstFriendlyName, SimilarNamesAreNotTaken)
{
    EXPECT_EQ(FirstFriendlyName("<friendlyNameX>a</friendlyNameX><friendlyName>b</friendlyName>"),
              "b");
}

TEST(FirstFriendlyName, PrefixAndAttributes)
{
    EXPECT_EQ(FirstFriendlyName(R"(<u:friendlyName lang="en">Box</u:friendlyName>)"), "Box");
}

TEST(FirstFriendlyName, EmptyElement)
{
    EXPECT_EQ(FirstFriendlyName("<friendlyName></friendlyName><friendlyName>b</friendlyName>"),
              "");
}

TEST(FirstFriendlyName, EntitiesDecoded)
{
    EXPECT_EQ(FirstFriendlyName("<friendlyName>A &amp; B &lt;1&gt; &unknown;</friendlyName>"),
              "A & B <1> &unknown;");
}

TEST(FirstFriendlyName, CutTo127Bytes)
{
    std::string name(200, 'n');
    EXPECT_EQ(FirstFriendlyName("<friendlyName>" + name + "</friendlyName>"), name.substr(0, 127));
}

TEST(FirstFriendlyName, CutNeverSplitsACharacter)
{
    // 126 ASCII bytes, then a two-byte character that would straddle the cut.
    std::string name = std::string(126, 'a') + "\xC3\xA9" + "z";
    EXPECT_EQ(FirstFriendlyName("<friendlyName>" + name + "</friendlyName>"),
              std::string(126, 'a'));
    std::string fits = std::string(125, 'a') + "\xC3\xA9";
    EXPECT_EQ(FirstFriendlyName("<friendlyName>" + fits + "x</friendlyName>"), fits);
}

} // namespace

namespace {

std::string ReadCapture(const std::string& name)
{
    std::ifstream in(std::string(ROUTER_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FirstFriendlyName, CapturedDescriptions)
{
    EXPECT_EQ(FirstFriendlyName(ReadCapture("linksys_WAG200G_desc.xml")), "LINKSYS WAG200G Gateway");
    EXPECT_EQ(FirstFriendlyName(ReadCapture("new_LiveBox_desc.xml")), "Orange Livebox");
}

} // namespace
