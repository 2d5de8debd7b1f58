#include "upnp/core/UrlParts.h"

#include <gtest/gtest.h>

namespace {

struct Split
{
    bool ok = false;
    std::string host;
    uint16_t port = 0;
    std::string path;
};

Split ParseUrl(const std::string& url)
{
    Split s;
    s.ok = parseUrl(url, s.host, s.port, s.path);
    return s;
}

} // namespace

TEST(ParseUrl, HostPortAndPath)
{
    const Split s = ParseUrl("http://192.168.1.1:5431/dyn/desc.xml");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.host, "192.168.1.1");
    EXPECT_EQ(s.port, 5431);
    EXPECT_EQ(s.path, "/dyn/desc.xml");
}

TEST(ParseUrl, NoPortMeans80AndTrailingSlashIsRootPath)
{
    Split s = ParseUrl("http://192.168.1.1/");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.host, "192.168.1.1");
    EXPECT_EQ(s.port, 80);
    EXPECT_EQ(s.path, "/");
    s = ParseUrl("http://192.168.1.254/");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.host, "192.168.1.254");
    EXPECT_EQ(s.port, 80);
    EXPECT_EQ(s.path, "/");
}

TEST(ParseUrl, Refusals)
{
    EXPECT_FALSE(ParseUrl("192.168.1.1:80/x").ok);      // no "://"
    EXPECT_FALSE(ParseUrl("http://192.168.1.1:80").ok); // no '/' after the authority
    EXPECT_FALSE(ParseUrl("http://192.168.1.1").ok);
    EXPECT_FALSE(ParseUrl("").ok);
    EXPECT_FALSE(ParseUrl("http://10.0.0.1/a\r\nX: y").ok); // control characters
    EXPECT_FALSE(ParseUrl("http://10.0.0.1/a\tb").ok);
}

TEST(ParseUrl, SchemeIsNotCheckedAndPortKeptTo16Bits)
{
    Split s = ParseUrl("ftp://10.0.0.1:21/x");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.port, 21);
    s = ParseUrl("http://10.0.0.1:70000/x"); // as atoi reads it, then 16 bits
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.port, 70000 % 65536);
    s = ParseUrl("http://10.0.0.1:12ab/x");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.port, 12);
    s = ParseUrl("http://10.0.0.1:/x");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.port, 0);
    EXPECT_EQ(s.host, "10.0.0.1");
    s = ParseUrl("http://10.0.0.1:99999999999999999999/x"); // no overflow
    ASSERT_TRUE(s.ok);
}

TEST(ParseUrl, ColonOnlyInThePathIsNoPort)
{
    const Split s = ParseUrl("http://10.0.0.1/ctl/a:b/c");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.host, "10.0.0.1");
    EXPECT_EQ(s.port, 80);
    EXPECT_EQ(s.path, "/ctl/a:b/c");
}

TEST(ParseUrl, QueryAndDoubleSlashPathKept)
{
    const Split s = ParseUrl("http://10.0.0.1:49152//ctl?x=1");
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(s.path, "//ctl?x=1");
}
