// IPv6 hosts in URLs and the firewall control service's requests and answers.
#include "upnp/core/PinholeRequest.h"

#include "upnp/core/UrlParts.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(IPv6Urls, BracketedHostsParseAndAreWrittenBack)
{
    struct Row
    {
        const char* url;
        bool ok;
        const char* host;
        uint16_t port;
    } rows[] = {
        {"http://[fe80::1%25eth0]:5000/ctl/IP6FCtl", true, "fe80::1%eth0", 5000},
        {"http://[2001:db8::1]/x", true, "2001:db8::1", 80},
        {"http://[2001:db8::1/x", false, "", 0},
        {"http://[2001:db8::1]x/", false, "", 0},
    };
    for (const Row& row : rows) {
        std::string host, path;
        uint16_t port = 0;
        EXPECT_EQ(parseUrl(row.url, host, port, path), row.ok) << row.url;
        if (row.ok) {
            EXPECT_EQ(host, row.host);
            EXPECT_EQ(port, row.port);
        }
    }
    EXPECT_EQ(UrlWithHost("http://192.168.77.1:5000/ctl/IP6FCtl", "fe80::1%eth0"),
              "http://[fe80::1%25eth0]:5000/ctl/IP6FCtl");
    EXPECT_EQ(HostInHeader("fe80::1%eth0"), "[fe80::1]");
    EXPECT_EQ(HostInHeader("192.168.77.1"), "192.168.77.1");
}

TEST(PinholeRequest, AnswersAndFaults)
{
    const std::string ok = "HTTP/1.1 200 OK\r\n\r\n<s:Envelope><s:Body><u:AddPinholeResponse>"
                           "<UniqueID>7</UniqueID></u:AddPinholeResponse></s:Body></s:Envelope>";
    std::string id;
    EXPECT_TRUE(ReadAnswerValue(ok, "AddPinhole", "UniqueID", id));
    EXPECT_EQ(id, "7");
    EXPECT_FALSE(ReadAnswerValue(ok, "UpdatePinhole", "UniqueID", id));
    const std::string fault = "HTTP/1.1 500 Internal Server Error\r\n\r\n<s:Envelope><s:Body>"
                              "<s:Fault><detail><UPnPError><errorCode>702</errorCode>"
                              "</UPnPError></detail></s:Fault></s:Body></s:Envelope>";
    EXPECT_EQ(SoapFaultCode(fault), 702);
    EXPECT_EQ(SoapFaultCode(ok), 0);
    EXPECT_EQ(DescribePinholeError(702), "702 FirewallDisabled");
    EXPECT_EQ(DescribePinholeError(799), "error 799");
}

} // namespace
} // namespace velmora
