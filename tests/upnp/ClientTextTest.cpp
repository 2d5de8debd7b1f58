// The client's text rules without a network: URL splitting, SSDP answers,
// argument escaping and the judging of SOAP answers.
#include "tests/upnp/UpnpTestSupport.h"
#include "upnp/core/DeviceUrl.h"
#include "upnp/core/HttpAnswerEnd.h"
#include "upnp/core/SoapRequest.h"
#include "upnp/core/SsdpAnswer.h"
#include "upnp/core/UrlParts.h"

#include <gtest/gtest.h>
#include <optional>

using namespace velmora;

TEST(ParseUrl, SplitsHostPortAndPath)
{
    struct Case
    {
        const char* url;
        const char* host;
        int port; // -1: not checked
        const char* path;
    };
    const Case cases[] = {
        {"http://192.168.1.1:5431/dyn/desc.xml", "192.168.1.1", 5431, "/dyn/desc.xml"},
        {"http://192.168.1.254/", "192.168.1.254", 80, "/"},
        {"ftp://10.0.0.1:21/x", "10.0.0.1", 21, "/x"},                // the scheme is not checked
        {"http://10.0.0.1:70000/x", "10.0.0.1", 70000 % 65536, "/x"}, // as atoi reads it, 16 bits
        {"http://10.0.0.1:12ab/x", "10.0.0.1", 12, "/x"},
        {"http://10.0.0.1:/x", "10.0.0.1", 0, "/x"},
        {"http://10.0.0.1:99999999999999999999/x", "10.0.0.1", -1, "/x"}, // no overflow
        {"http://10.0.0.1/ctl/a:b/c", "10.0.0.1", 80, "/ctl/a:b/c"},      // ':' only in the path
        {"http://10.0.0.1:49152//ctl?x=1", "10.0.0.1", 49152, "//ctl?x=1"},
    };
    for (const Case& c : cases) {
        std::string host, path;
        uint16_t port = 0;
        ASSERT_TRUE(parseUrl(c.url, host, port, path)) << c.url;
        EXPECT_EQ(host, c.host) << c.url;
        if (c.port >= 0) {
            EXPECT_EQ(port, c.port) << c.url;
        }
        EXPECT_EQ(path, c.path) << c.url;
    }
    for (const char* url : {"192.168.1.1:80/x", "http://192.168.1.1:80", "http://192.168.1.1", "",
                            "http://10.0.0.1/a\r\nX: y", "http://10.0.0.1/a\tb"}) {
        std::string host, path;
        uint16_t port = 0;
        EXPECT_FALSE(parseUrl(url, host, port, path)) << url;
    }
}

TEST(SsdpAnswer, SearchTextAndTheLocationHeaderOfAnAnswer)
{
    EXPECT_STREQ(kSsdpSearchRequest, "M-SEARCH * HTTP/1.1\r\nHOST:239.255.255.250:1900\r\n"
                                     "ST:urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
                                     "Man:\"ssdp:discover\"\r\nMX:3\r\n\r\n");
    const char withNul[] = "HTTP/1.1 200 OK\r\nX: a\0b\r\nLOCATION: http://1.2.3.4/d.xml\r\n";
    struct Case
    {
        std::string answer;
        std::optional<std::string> url;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\n"
         "LOCATION: http://10.77.0.1:5000/rootDesc.xml\r\nSERVER: MiniUPnPd/2.3.1\r\n\r\n",
         "http://10.77.0.1:5000/rootDesc.xml"},
        // The LOCATION header, wherever other URLs are.
        {"HTTP/1.1 200 OK\r\nX-INFO: see http://example.invalid/info\r\n"
         "LOCATION: http://10.77.0.1:5000/rootDesc.xml\r\n\r\n",
         "http://10.77.0.1:5000/rootDesc.xml"},
        {"HTTP/1.0 200 OK\nlocation:\t http://1.2.3.4/x \nLocation: http://5.6.7.8/\n",
         "http://1.2.3.4/x"},
        // A datagram is taken by its length: a NUL inside does not end it.
        {std::string(withNul, sizeof withNul - 1), "http://1.2.3.4/d.xml"},
        // Whether a device can be reached there is the URL rule's affair.
        {"HTTP/1.1 200 OK\r\nLOCATION: /rootDesc.xml\r\n", "/rootDesc.xml"},
        {"NOTIFY * HTTP/1.1\r\nLOCATION: http://1.2.3.4/\r\n", std::nullopt},
        {"HTTP/1.1 404 Not Found\r\nLOCATION: http://1.2.3.4/\r\n", std::nullopt},
        {"HTTP/1.1 2000 OK\r\nLOCATION: http://1.2.3.4/\r\n", std::nullopt},
        {"HTTP/1.1 200 OK\r\nX-LOCATION: http://1.2.3.4/\r\n\r\n", std::nullopt},
        {"HTTP/1.1 200 OK\r\n\r\nLOCATION: http://1.2.3.4/\r\n", std::nullopt}, // in the body
        {"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeUrlFromSsdpAnswer(c.answer), c.url) << c.answer;
}

TEST(DeviceUrl, OnlyPlainHttpOnTheDevicesOwnAddressJoinedToTheBase)
{
    using F = DeviceUrlFault;
    const char* base = "http://10.0.0.1:5000/desc/root.xml";
    struct Case
    {
        const char* reference;
        const char* url; // "" when refused
        F fault = F::None;
    };
    const Case cases[] = {
        {"/ctl/IPConn", "http://10.0.0.1:5000/ctl/IPConn"},
        {"ctl/IPConn", "http://10.0.0.1:5000/desc/ctl/IPConn"},
        {"?x=1#frag", "http://10.0.0.1:5000/desc/root.xml?x=1"},
        {"", "http://10.0.0.1:5000/desc/root.xml"},
        {"  /ctl\n", "http://10.0.0.1:5000/ctl"},
        {"/a?http://127.0.0.1:22/", "http://10.0.0.1:5000/a?http://127.0.0.1:22/"},
        {"HTTP://10.0.0.1:49000/c", "http://10.0.0.1:49000/c"},
        {"http://167772161/c", "http://10.0.0.1/c"},         // the same address, another form
        {"http://0x0a.0.0.1:80?q", "http://10.0.0.1:80/?q"}, // and no path
        {"http://10.0.0.2:5000/c", "", F::OtherHost},
        {"//127.0.0.1:22/c", "", F::OtherHost},
        {"http://router.lan:5000/c", "", F::OtherHost},
        {"http://10.0.0.1.evil:5000/c", "", F::OtherHost},
        {"http://[::1]:5000/c", "", F::OtherHost},
        {"https://10.0.0.1/c", "", F::NotHttp},
        {"file:///etc/passwd", "", F::NotHttp},
        {"http://10.0.0.1@10.0.0.2/c", "", F::Unreadable},
        {"http://10.0.0.1:0/c", "", F::Unreadable},
        {"http://10.0.0.1:65536/c", "", F::Unreadable},
        {"http://10.0.0.1:/c", "", F::Unreadable},
        {"http:/10.0.0.1/c", "", F::Unreadable},
        {"/a b", "", F::Unreadable},
        {"/a\r\nHost: x", "", F::Unreadable},
    };
    for (const Case& c : cases) {
        const DeviceUrl url = JoinDeviceUrl(base, c.reference, "10.0.0.1");
        EXPECT_EQ(url.url, c.url) << c.reference;
        EXPECT_EQ(url.fault, c.fault) << c.reference;
    }
    // A URLBase elsewhere takes every relative URL with it; one without a path.
    EXPECT_EQ(JoinDeviceUrl("http://10.0.0.2:5000/", "/ctl", "10.0.0.1").fault, F::OtherHost);
    EXPECT_EQ(JoinDeviceUrl("http://10.0.0.1:5000", "ctl", "10.0.0.1").url,
              "http://10.0.0.1:5000/ctl");
    EXPECT_EQ(JoinDeviceUrl("10.0.0.1/x", "/ctl", "10.0.0.1").fault, F::Unreadable);
    EXPECT_EQ(CheckDeviceUrl("http://2130706433:8005/", "127.0.0.1").url, "http://127.0.0.1:8005/");
    EXPECT_EQ(CheckDeviceUrl("/rootDesc.xml", "127.0.0.1").fault, F::Unreadable);
    EXPECT_EQ(UrlHostAddress("http://010.0.0.1:5000/x"), "8.0.0.1"); // octal, as inet_aton reads
    EXPECT_EQ(UrlHostAddress("http://router.lan/"), "");
    // An IPv6 sender: its own literal, on its own link, and nothing else.
    const Case v6[] = {
        {"http://[fe80::1]:5000/c", "http://[fe80::1%25eth0]:5000/c"},
        {"http://[FE80:0::1%25eth0]/c", "http://[fe80::1%25eth0]/c"},
        {"http://[fe80::1%25eth1]:5000/c", "", F::OtherHost},
        {"http://[fe80::2]:5000/c", "", F::OtherHost},
        {"http://10.0.0.1:5000/c", "", F::OtherHost},
        {"http://[fe80::1:5000/c", "", F::Unreadable},
        {"http://[fe80::1]x/c", "", F::Unreadable},
    };
    for (const Case& c : v6) {
        const DeviceUrl url = CheckDeviceUrl(c.reference, "fe80::1%eth0");
        EXPECT_EQ(url.url, c.url) << c.reference;
        EXPECT_EQ(url.fault, c.fault) << c.reference;
    }
    EXPECT_EQ(JoinDeviceUrl("http://[2001:db8::1]:5000/d/root.xml", "ctl", "2001:db8::1").url,
              "http://[2001:db8::1]:5000/d/ctl");
    EXPECT_EQ(UrlHostAddress("http://[fe80::1%25eth0]:5000/x"), "fe80::1%eth0");
}

TEST(SsdpAnswer, GatewayVersionOneOrTwo)
{
    const struct
    {
        const char* description;
        bool gateway;
    } cases[] = {
        {"<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>", true},
        {"<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:2</deviceType>", true},
        {"<deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:3</deviceType>", false},
        {"<deviceType>urn:schemas-upnp-org:device:MediaServer:1</deviceType>", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velmora::NamesGatewayDevice(c.description), c.gateway) << c.description;
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
    EXPECT_NE(GenericPortMappingEntryArguments(-1).find("<NewPortMappingIndex>-1<"),
              std::string::npos);
}

TEST(SoapRequest, AnswerSuccessNeedsStatus200AndTheEnvelopeEnd)
{
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess("HTTP/1.1 200 OK\r\n\r\n<s:Envelope></s:Envelope>"));
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess("HTTP/1.0 200 OK\r\n\r\n</SOAP-ENV:Envelope>"));
    EXPECT_TRUE(velmora::SoapAnswerIsSuccess("HTTP/1.1 200 OK\r\n\r\n<Envelope></Envelope>\r\n"));
    for (const char* failure : {
             "HTTP/1.1 500 Internal Server Error\r\n\r\n<s:Envelope>200 OK</s:Envelope>",
             "HTTP/1.1 200 OK\r\nContent-Length: 300\r\n\r\n<s:Env", // cut answer
             "HTTP/1.1 200 OK\r\n\r\n<s:Envelope>",                  // cut after the opening tag
             "HTTP/1.1 200 OK\r\n\r\n<s:Envelope><s:Body>",          // the same, a little later
             "HTTP/1.1 200 OK\r\n\r\n<Envelope>",
             "HTTP/1.1 2000 OK\r\n\r\n</s:Envelope>",
             "garbage 200 OK </s:Envelope>",
             "",
         })
        EXPECT_FALSE(velmora::SoapAnswerIsSuccess(failure)) << failure;
}

TEST(SoapRequest, ArgumentBlocksWholeAndValuesEndAtANul)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(AddPortMappingArguments(65535, "UDP\0x"sv, 0, "192.168.1.2", "a\0<b>"sv),
              "<NewRemoteHost></NewRemoteHost>\r\n"
              "<NewExternalPort>65535</NewExternalPort>\r\n"
              "<NewProtocol>UDP</NewProtocol>\r\n"
              "<NewInternalPort>0</NewInternalPort>\r\n"
              "<NewInternalClient>192.168.1.2</NewInternalClient>\r\n"
              "<NewEnabled>1</NewEnabled>\r\n"
              "<NewPortMappingDescription>a</NewPortMappingDescription>\r\n"
              "<NewLeaseDuration>0</NewLeaseDuration>\r\n");
    EXPECT_EQ(DeletePortMappingArguments(80, "\0TCP"sv), "<NewRemoteHost></NewRemoteHost>\r\n"
                                                         "<NewExternalPort>80</NewExternalPort>\r\n"
                                                         "<NewProtocol></NewProtocol>\r\n");
    EXPECT_EQ(GenericPortMappingEntryArguments(3), velmora::test::kEntry3Arguments);
    // The largest index is written whole; the rest does not depend on it.
    const std::string largest = GenericPortMappingEntryArguments(2147483647);
    const std::string_view index3 = "<NewPortMappingIndex>3</NewPortMappingIndex>";
    const std::string_view entry3 = velmora::test::kEntry3Arguments;
    ASSERT_TRUE(entry3.starts_with(index3));
    const std::string rest(entry3.substr(index3.size()));
    EXPECT_EQ(largest, "<NewPortMappingIndex>2147483647</NewPortMappingIndex>" + rest);
    EXPECT_EQ(BuildSoapRequest("/c", "h", 1, "s&", "A", "x"),
              "POST /c HTTP/1.1\r\nHOST: h:1\r\nSOAPACTION:\"s&#A\"\r\n"
              "CONTENT-TYPE: text/xml ; charset=\"utf-8\"\r\nContent-Length: " +
                  std::to_string(BuildSoapBody("A", "s&", "x").size()) + " \r\n\r\n" +
                  BuildSoapBody("A", "s&", "x"));
}

TEST(HttpAnswerEnd, TheMarkerEndsOnlyAClosingTagAndContentLengthCounts)
{
    struct Case
    {
        const char* text;
        const char* marker;
        bool complete;
    };
    const Case cases[] = {
        {"HTTP/1.1 200 OK\r\n\r\n<s:Envelope>", "Envelope>", false},
        {"HTTP/1.1 200 OK\r\n\r\n<s:Envelope></s:Envelope>", "Envelope>", true},
        {"HTTP/1.1 200 OK\r\n\r\n<a.b-c_d:Envelope></a.b-c_d:Envelope>", "Envelope>", true},
        {"HTTP/1.1 200 OK\r\n\r\n<x:MyEnvelope></x:MyEnvelope>", "Envelope>", false},
        {"HTTP/1.1 200 OK\r\n\r\n<root></root>", "</root>", true},
        {"HTTP/1.1 200 OK\r\ncontent-LENGTH:  4\r\n\r\nabcd", "</root>", true},
        {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nabcd", "</root>", false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n", "</root>", false}, // header not ended
        {"HTTP/1.1 200 OK\r\nX-Content-Length: 0\r\n\r\nab", "</root>", false},
        {"HTTP/1.1 200 OK\r\nContent-Length: x\r\n\r\n</root>", "</root>", true},
        {"", "Envelope>", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HttpAnswerComplete(c.text, c.marker, 0), c.complete) << c.text;
    // Only a marker that starts in the new data, or just before it, counts.
    const std::string_view twice = "</root>..</root>";
    EXPECT_TRUE(HttpAnswerComplete(twice, "</root>", 12));
    EXPECT_FALSE(HttpAnswerComplete(twice, "</root>", 16));

    // An answer followed byte by byte is gone through once, not once per read.
    const std::string slow =
        "HTTP/1.1 200 OK\r\n" + std::string(1 << 20, 'a') + "\r\n\r\n<s:Envelope></s:Envelope>";
    HttpAnswerEnd end("Envelope>");
    size_t completeAt = 0;
    for (size_t got = 1; got <= slow.size() && completeAt == 0; ++got)
        completeAt = end.complete(std::string_view(slow).substr(0, got), got - 1) ? got : 0;
    EXPECT_EQ(completeAt, slow.size());
}
