#include "upnp/core/SoapRequest.h"

#include "SoapGolden.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::test;

TEST(SoapRequest, AddPortMappingBytes)
{
    const std::string request =
        BuildSoapRequest("/ctl/IPConn", "10.77.0.1", 5000, kWanIp, "AddPortMapping",
                         AddPortMappingArguments(8080, "TCP", 80, "10.77.0.2", "web & mail <1>"));
    const std::string body = GoldenBody("AddPortMapping", kAddArguments);
    ASSERT_EQ(body.size(), 644u);
    EXPECT_EQ(request,
              GoldenHeader("/ctl/IPConn", "10.77.0.1:5000", "AddPortMapping", "644") + body);
}

TEST(SoapRequest, DeletePortMappingBytes)
{
    const std::string request =
        BuildSoapRequest("/ctl/IPConn", "10.77.0.1", 5000, kWanIp, "DeletePortMapping",
                         DeletePortMappingArguments(8080, "UDP"));
    const std::string body = GoldenBody("DeletePortMapping", kDeleteArguments);
    ASSERT_EQ(body.size(), 412u);
    EXPECT_EQ(request,
              GoldenHeader("/ctl/IPConn", "10.77.0.1:5000", "DeletePortMapping", "412") + body);
}

TEST(SoapRequest, GetExternalIPAddressBytes)
{
    const std::string request =
        BuildSoapRequest("/ctl/IPConn", "10.77.0.1", 65535, kWanIp, "GetExternalIPAddress", "");
    const std::string body = GoldenBody("GetExternalIPAddress", "");
    ASSERT_EQ(body.size(), 312u);
    EXPECT_EQ(request,
              GoldenHeader("/ctl/IPConn", "10.77.0.1:65535", "GetExternalIPAddress", "312") + body);
}

TEST(SoapRequest, GetGenericPortMappingEntryBytes)
{
    const std::string request =
        BuildSoapRequest("/", "10.77.0.1", 80, kWanIp, "GetGenericPortMappingEntry",
                         GenericPortMappingEntryArguments(3));
    const std::string body = GoldenBody("GetGenericPortMappingEntry", kEntry3Arguments);
    ASSERT_EQ(body.size(), 669u);
    EXPECT_EQ(request,
              GoldenHeader("/", "10.77.0.1:80", "GetGenericPortMappingEntry", "669") + body);
    EXPECT_NE(GenericPortMappingEntryArguments(-1).find("<NewPortMappingIndex>-1<"),
              std::string::npos);
}

TEST(SoapRequest, EveryArgumentValueIsEscaped)
{
    EXPECT_EQ(XmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
    const std::string args = AddPortMappingArguments(1, "T<P", 2, "1\"2", "'x'");
    EXPECT_NE(args.find("<NewProtocol>T&lt;P</NewProtocol>"), std::string::npos);
    EXPECT_NE(args.find("<NewInternalClient>1&quot;2</NewInternalClient>"), std::string::npos);
    EXPECT_NE(args.find("<NewPortMappingDescription>&apos;x&apos;</NewPortMappingDescription>"),
              std::string::npos);
    EXPECT_NE(DeletePortMappingArguments(1, "&").find("<NewProtocol>&amp;</NewProtocol>"),
              std::string::npos);
}

TEST(SoapRequest, AnswerSuccessNeedsStatus200AndTheEnvelopeEnd)
{
    EXPECT_TRUE(SoapAnswerIsSuccess("HTTP/1.1 200 OK\r\n\r\n<s:Envelope></s:Envelope>"));
    EXPECT_TRUE(SoapAnswerIsSuccess("HTTP/1.0 200 OK\r\n\r\n</SOAP-ENV:Envelope>"));
    // "200 OK" only in the body of an error answer is a failure.
    EXPECT_FALSE(SoapAnswerIsSuccess(
        "HTTP/1.1 500 Internal Server Error\r\n\r\n<s:Envelope>200 OK</s:Envelope>"));
    // A cut answer (no envelope end) is a failure.
    EXPECT_FALSE(SoapAnswerIsSuccess("HTTP/1.1 200 OK\r\nContent-Length: 300\r\n\r\n<s:Env"));
    EXPECT_FALSE(SoapAnswerIsSuccess("HTTP/1.1 2000 OK\r\n\r\n</s:Envelope>"));
    EXPECT_FALSE(SoapAnswerIsSuccess("garbage 200 OK </s:Envelope>"));
    EXPECT_FALSE(SoapAnswerIsSuccess(""));
}
