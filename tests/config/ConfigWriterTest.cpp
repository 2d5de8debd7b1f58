// The exact bytes of config.xml.

#include "config/core/ConfigWriter.h"

#include "tests/config/Records.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace velmora::test;

TEST(ConfigWriter, GoldenBytesWithOneEntryEach)
{
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
        "<mappings auto_startup=\"1\" monitor_router=\"0\" >\r\n"
        "<triggerings>\r\n"
        "<trigger name=\"game\" auto_start=\"Y\" protocol=\"TCP and UDP\" "
        "trigger_address=\"192.168.1.10\" trigger_port=\"6000\" trigger_port_end=\"6010\" "
        "frequence=\"1000\" >\r\n"
        "</trigger>\r\n"
        "</triggerings>\r\n"
        "<forwardings>\r\n"
        "<forwarding name=\"web\" protocol=\"TCP\" listen_port=\"80,443-447,8080\" "
        "destination_ip=\"192.168.1.20\" type=\"Y\" >\r\n"
        "</forwarding>\r\n"
        "</forwardings>\r\n"
        "</mappings>\r\n";
    auto trigger = MakeTrigger("game", "Y", "TCP and UDP", "192.168.1.10", "6000", "6010", "1000");
    velmora::SetField(trigger.status, "running"); // never written
    EXPECT_EQ(
        BuildConfigText(MakeSettings("1", "0"), {trigger},
                        {MakeForwarding("web", "Y", "TCP", "80,443-447,8080", "192.168.1.20")}),
        expected);
}

TEST(ConfigWriter, EmptyListsStillWriteTheirEnclosingLines)
{
    EXPECT_EQ(BuildConfigText(MakeSettings("0", "1"), {}, {}),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
              "<mappings auto_startup=\"0\" monitor_router=\"1\" >\r\n"
              "<triggerings>\r\n"
              "</triggerings>\r\n"
              "<forwardings>\r\n"
              "</forwardings>\r\n"
              "</mappings>\r\n");
}

TEST(ConfigWriter, EmptySettingsAndFieldsWriteEmptyValues)
{
    const auto text =
        BuildConfigText(MakeSettings("", ""), {MakeTrigger("", "", "", "", "", "", "")},
                        {MakeForwarding("", "", "", "", "")});
    EXPECT_NE(text.find("<mappings auto_startup=\"\" monitor_router=\"\" >\r\n"),
              std::string::npos);
    EXPECT_NE(
        text.find("<trigger name=\"\" auto_start=\"\" protocol=\"\" trigger_address=\"\" "
                  "trigger_port=\"\" trigger_port_end=\"\" frequence=\"\" >\r\n</trigger>\r\n"),
        std::string::npos);
    EXPECT_NE(text.find("<forwarding name=\"\" protocol=\"\" listen_port=\"\" destination_ip=\"\" "
                        "type=\"\" >\r\n</forwarding>\r\n"),
              std::string::npos);
}

TEST(ConfigWriter, EntriesKeepArrayOrderAndTypeComesLast)
{
    const auto text = BuildConfigText(MakeSettings("1", "1"),
                                      {MakeTrigger("t2", "N", "UDP", "h", "1", "2", "10"),
                                       MakeTrigger("t1", "Y", "TCP", "h", "3", "4", "20")},
                                      {MakeForwarding("f2", "N", "Both", "22", "10.0.0.2"),
                                       MakeForwarding("f1", "Y", "UDP", "53", "Localhost")});
    EXPECT_LT(text.find("name=\"t2\""), text.find("name=\"t1\""));
    EXPECT_LT(text.find("name=\"t1\""), text.find("name=\"f2\""));
    EXPECT_LT(text.find("name=\"f2\""), text.find("name=\"f1\""));
    EXPECT_NE(text.find("destination_ip=\"10.0.0.2\" type=\"N\" >\r\n"), std::string::npos);
    EXPECT_NE(text.find("destination_ip=\"Localhost\" type=\"Y\" >\r\n"), std::string::npos);
    EXPECT_EQ(text.find("status"), std::string::npos);
}

TEST(ConfigWriter, FieldFilledToTheBrimIsWrittenWhole)
{
    auto entry = MakeForwarding("n", "Y", "TCP", "", "ip");
    std::memset(entry.listen_port, '7', sizeof entry.listen_port); // no terminator at all
    const auto text = BuildConfigText(MakeSettings("1", "1"), {}, {entry});
    EXPECT_NE(text.find("listen_port=\"" + std::string(20, '7') + "\" "), std::string::npos);
}

TEST(ConfigWriter, EveryLineEndsInCarriageReturnLineFeed)
{
    const auto text =
        BuildConfigText(MakeSettings("1", "0"), {MakeTrigger("a", "Y", "TCP", "h", "1", "1", "5")},
                        {MakeForwarding("b", "N", "UDP", "9", "1.2.3.4")});
    size_t lines = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(text[i - 1], '\r');
            ++lines;
        }
    }
    EXPECT_EQ(lines, 11u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST(ConfigWriter, ValuesAreEscapedAndPlainAscii)
{
    const auto text = BuildConfigText(MakeSettings("1", "0"), {},
                                      {MakeForwarding("A \"B\" & <C>", "Y", "TCP", "80",
                                                      "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC")});
    EXPECT_NE(text.find("name=\"A &quot;B&quot; &amp; &lt;C&gt;\" "), std::string::npos);
    EXPECT_NE(text.find("destination_ip=\"Caf&#233; &#26481;&#20140;\" "), std::string::npos);
    for (char c : text)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

} // namespace
