// The exact bytes of config.xml and of the attribute values in it.

#include "config/core/ConfigWriter.h"

#include "config/core/XmlAttributeText.h"
#include "tests/config/RecordMakers.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace velmora::test;

TEST(AttributeText, EscapesMarkupAndReferencesAllButPrintableAscii)
{
    std::string printable;
    for (char c = 0x20; c < 0x7F; ++c) {
        if (c != '"' && c != '&' && c != '<' && c != '>')
            printable += c;
    }
    const struct
    {
        std::string value, written;
    } cases[] = {
        {printable, printable},
        {"", ""},
        {"say \"hi\" & <go> 'now'", "say &quot;hi&quot; &amp; &lt;go&gt; 'now'"},
        {"&amp;", "&amp;amp;"}, // text that looks like a reference stays text
        {"Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC", "Caf&#233; &#26481;&#20140;"},
        {"\xF0\x9F\x98\x80", "&#128512;"},
        {"\xC2\x80\xEF\xBF\xBD", "&#128;&#65533;"},
        // Bytes that are not UTF-8 are their Latin-1 characters.
        {"Caf\xE9", "Caf&#233;"},
        {"\xE6\x9D"
         "a",
         "&#230;&#157;a"},                                // sequence cut short
        {"\xC0\xAF", "&#192;&#175;"},                     // overlong form
        {"\xED\xA0\x80", "&#237;&#160;&#128;"},           // surrogate
        {"\xF4\x90\x80\x80", "&#244;&#144;&#128;&#128;"}, // past U+10FFFF
        {"\xFF", "&#255;"},
        {"a\tb\nc\rd", "a&#9;b&#10;c&#13;d"}, // referenced so no reader normalises them
        // Characters XML cannot carry are left out.
        {"a\x01"
         "b\x1F"
         "c\x7F",
         "abc\x7F"},
        {"\xEF\xBF\xBE\xEF\xBF\xBF"
         "x",
         "x"},
    };
    for (const auto& c : cases) {
        std::string out;
        velmora::AppendAttributeValue(out, c.value);
        EXPECT_EQ(out, c.written) << c.value;
    }
}

TEST(ConfigWriter, GoldenBytes)
{
    auto trigger = MakeTrigger("game", "Y", "TCP and UDP", "192.168.1.10", "6000", "6010", "1000");
    velmora::SetField(trigger.status, "running"); // never written
    auto brim = MakeForwarding("f", "N", "UDP", "", "ip");
    std::memset(brim.listen_port, '7', sizeof brim.listen_port); // no terminator at all
    EXPECT_EQ(velmora::BuildConfigText(
                  MakeSettings("1", "0"), {trigger},
                  {MakeForwarding("web", "Y", "TCP", "80,443-447,8080", "192.168.1.20"), brim}),
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
              "<forwarding name=\"f\" protocol=\"UDP\" listen_port=\"77777777777777777777\" "
              "destination_ip=\"ip\" type=\"N\" >\r\n"
              "</forwarding>\r\n"
              "</forwardings>\r\n"
              "</mappings>\r\n");
}

TEST(ConfigWriter, EmptySettingsAndListsStillWriteEveryEnclosingLine)
{
    EXPECT_EQ(velmora::BuildConfigText(MakeSettings("", ""), {}, {}),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
              "<mappings auto_startup=\"\" monitor_router=\"\" >\r\n"
              "<triggerings>\r\n"
              "</triggerings>\r\n"
              "<forwardings>\r\n"
              "</forwardings>\r\n"
              "</mappings>\r\n");
}

TEST(ConfigWriter, ValuesAreEscapedAndTheFileIsPlainAscii)
{
    const auto text =
        velmora::BuildConfigText(MakeSettings("1", "0"), {},
                                 {MakeForwarding("A \"B\" & <C>", "Y", "TCP", "80",
                                                 "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC")});
    EXPECT_NE(text.find("<forwarding name=\"A &quot;B&quot; &amp; &lt;C&gt;\" protocol=\"TCP\" "
                        "listen_port=\"80\" destination_ip=\"Caf&#233; &#26481;&#20140;\" "
                        "type=\"Y\" >\r\n"),
              std::string::npos)
        << text;
    for (char c : text)
        EXPECT_LT(static_cast<unsigned char>(c), 0x80);
}

} // namespace
