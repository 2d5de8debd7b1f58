#include "upnp/core/SsdpAnswer.h"

#include <gtest/gtest.h>

using velmora::DescribeUrlFromSsdpAnswer;

TEST(SsdpAnswer, SearchRequestText)
{
    EXPECT_STREQ(velmora::kSsdpSearchRequest,
                 "M-SEARCH * HTTP/1.1\r\nHOST:239.255.255.250:1900\r\n"
                 "ST:urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                 "Man:\"ssdp:discover\"\r\nMX:3\r\n\r\n");
}

TEST(SsdpAnswer, FirstUrlUpToCarriageReturn)
{
    const std::string answer = "HTTP/1.1 200 OK\r\n"
                               "CACHE-CONTROL: max-age=120\r\n"
                               "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                               "LOCATION: http://10.77.0.1:5000/rootDesc.xml\r\n"
                               "SERVER: Debian/12 UPnP/1.1 MiniUPnPd/2.3.1\r\n\r\n";
    EXPECT_EQ(DescribeUrlFromSsdpAnswer(answer), "http://10.77.0.1:5000/rootDesc.xml");
}

TEST(SsdpAnswer, FirstHttpAnywhereWinsOverLocation)
{
    const std::string answer = "HTTP/1.1 200 OK\r\n"
                               "X-INFO: see http://example.invalid/info\r\n"
                               "LOCATION: http://10.77.0.1:5000/rootDesc.xml\r\n\r\n";
    EXPECT_EQ(DescribeUrlFromSsdpAnswer(answer), "http://example.invalid/info");
}

TEST(SsdpAnswer, SkippedAnswers)
{
    EXPECT_FALSE(DescribeUrlFromSsdpAnswer("NOTIFY * HTTP/1.1\r\nLOCATION: http://1.2.3.4/\r\n"));
    EXPECT_FALSE(DescribeUrlFromSsdpAnswer("HTTP/1.1 200 OK\r\nLOCATION: /rootDesc.xml\r\n"));
    EXPECT_FALSE(DescribeUrlFromSsdpAnswer("HTTP/1.1 200 OK\nLOCATION: http://1.2.3.4/x\n"));
    EXPECT_FALSE(DescribeUrlFromSsdpAnswer(""));
}

TEST(SsdpAnswer, DatagramTakenByExactLength)
{
    // A NUL inside the datagram does not end it.
    const char raw[] = "HTTP/1.1 200 OK\r\n\0LOCATION: http://1.2.3.4/d.xml\r\n";
    const std::string answer(raw, sizeof raw - 1);
    EXPECT_EQ(DescribeUrlFromSsdpAnswer(answer), "http://1.2.3.4/d.xml");
}
