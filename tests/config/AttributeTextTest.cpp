// How attribute values are written: escaped markup, character references for
// everything outside printable ASCII, stray bytes as their Latin-1 character.

#include "config/core/XmlAttributeText.h"

#include <gtest/gtest.h>
#include <string>

namespace {

std::string Written(std::string_view value)
{
    std::string out;
    velmora::AppendAttributeValue(out, value);
    return out;
}

TEST(AttributeText, PrintableAsciiIsCopiedAsItIs)
{
    std::string printable;
    for (char c = 0x20; c < 0x7F; ++c) {
        if (c != '"' && c != '&' && c != '<' && c != '>')
            printable += c;
    }
    EXPECT_EQ(Written(printable), printable);
    EXPECT_EQ(Written(""), "");
}

TEST(AttributeText, MarkupCharactersAreEscaped)
{
    EXPECT_EQ(Written("say \"hi\" & <go> 'now'"), "say &quot;hi&quot; &amp; &lt;go&gt; 'now'");
    EXPECT_EQ(Written("&amp;"), "&amp;amp;"); // text that looks like a reference stays text
}

TEST(AttributeText, NonAsciiBecomesDecimalReferences)
{
    EXPECT_EQ(Written("Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC"), "Caf&#233; &#26481;&#20140;");
    EXPECT_EQ(Written("\xF0\x9F\x98\x80"), "&#128512;"); // four-byte sequence
    EXPECT_EQ(Written("\xC2\x80"), "&#128;");
    EXPECT_EQ(Written("\xEF\xBF\xBD"), "&#65533;");
}

TEST(AttributeText, InvalidUtf8BytesAreTheirLatin1Characters)
{
    EXPECT_EQ(Written("Caf\xE9"), "Caf&#233;");     // a Latin-1 byte
    EXPECT_EQ(Written("\xE6\x9D"), "&#230;&#157;"); // a sequence cut short
    EXPECT_EQ(Written("\xE6\x9D"
                      "a"),
              "&#230;&#157;a");
    EXPECT_EQ(Written("\xC0\xAF"), "&#192;&#175;");                     // overlong form
    EXPECT_EQ(Written("\xED\xA0\x80"), "&#237;&#160;&#128;");           // surrogate
    EXPECT_EQ(Written("\xF4\x90\x80\x80"), "&#244;&#144;&#128;&#128;"); // past U+10FFFF
    EXPECT_EQ(Written("\xFF"), "&#255;");
}

TEST(AttributeText, WhitespaceControlsAreReferencedSoTheyAreNotNormalised)
{
    EXPECT_EQ(Written("a\tb\nc\rd"), "a&#9;b&#10;c&#13;d");
}

TEST(AttributeText, ControlsXmlCannotCarryAreLeftOut)
{
    EXPECT_EQ(Written("a\x01"
                      "b\x1F"
                      "c\x7F"),
              "abc\x7F");
    EXPECT_EQ(Written("\xEF\xBF\xBE\xEF\xBF\xBF"
                      "x"),
              "x"); // U+FFFE, U+FFFF
}

} // namespace
