#include "upnp/core/XMLNode.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

XMLNode Parse(const std::string& text, const char* tag, XMLParseReport* report = nullptr)
{
    return XMLNode::parseDocument(text.c_str(), tag, report);
}

const char* kSoapAnswer = "HTTP/1.1 200 OK\r\n"
                          "Content-Type: text/xml; charset=\"utf-8\"\r\n"
                          "Connection: close\r\n"
                          "Server: Debian/12 UPnP/1.1 MiniUPnPd/2.3.1\r\n"
                          "\r\n"
                          "<?xml version=\"1.0\"?>\r\n"
                          "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\">"
                          "<s:Body><u:GetExternalIPAddressResponse "
                          "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
                          "<NewExternalIPAddress>203.0.113.7</NewExternalIPAddress>"
                          "</u:GetExternalIPAddressResponse></s:Body></s:Envelope>\r\n";

std::string Nested(int depth, const std::string& open = "<a>")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open;
    return text;
}

} // namespace

TEST(XMLParser, HttpResponseHeadersAndPrefixedEnvelope)
{
    XMLParseReport report;
    XMLNode document = Parse(kSoapAnswer, nullptr, &report);
    EXPECT_EQ(report.error, velmora::XMLParseOk);
    EXPECT_EQ(document.name(), nullptr);
    ASSERT_EQ(document.textCount(), 1);
    // The headers are the document's text: trailing whitespace cut, inner line breaks kept.
    EXPECT_EQ(std::string(document.textAt(0)),
              "HTTP/1.1 200 OK\r\nContent-Type: text/xml; charset=\"utf-8\"\r\n"
              "Connection: close\r\nServer: Debian/12 UPnP/1.1 MiniUPnPd/2.3.1");

    // "Envelope" selects "s:Envelope", the last child of the declaration.
    XMLNode envelope = Parse(kSoapAnswer, "Envelope");
    EXPECT_STREQ(envelope.name(), "s:Envelope");
    EXPECT_STREQ(envelope.findChild("Body")
                     .findChild("GetExternalIPAddressResponse")
                     .findChild("NewExternalIPAddress")
                     .textAt(0),
                 "203.0.113.7");
    // findChild compares the part after the first ':', childCount whole names,
    // and the wanted name is never stripped.
    EXPECT_EQ(envelope.childCount("Body"), 0);
    EXPECT_EQ(envelope.childCount("s:body"), 1);
    EXPECT_TRUE(envelope.findChild("s:Body").empty());
    XMLNode r = Parse("<r><a:b:c/><b:c/></r>", "r");
    EXPECT_STREQ(r.findChild("b:c").name(), "a:b:c");
    EXPECT_STREQ(r.findChild("c").name(), "b:c");
}

TEST(XMLParser, SelectionOfTheWantedNode)
{
    const char* const kDocument = "(document)";
    const char* const kNone = "(none)";
    struct Case
    {
        const char* text;
        const char* tag;
        const char* want;
    };
    const Case cases[] = {
        {"<root/>", "root", "root"},
        {"<ROOT/>", "root", "ROOT"},
        {"<Abc></aBC >", "abc", "Abc"}, // end tags ignore case and allow trailing space
        {"<?xml version=\"1.0\"?>\n<root><a>1</a></root>", "root", "root"},
        // The whole name is compared; a scan that runs out gives the last child.
        {"<a/><b/><s:Envelope/>", "Envelope", "s:Envelope"},
        {"<a/><Envelope/><b/>", "Envelope", "Envelope"},
        {"<a/>", "", kDocument},
        {"", nullptr, kDocument},
        {"just text", "root", kNone},
        {"<?xml version=\"1.0\"?>", "root", kNone},
        {" \t\r\n", "root", kNone},
    };
    for (const Case& c : cases) {
        XMLParseReport report;
        XMLNode node = Parse(c.text, c.tag, &report);
        if (c.want == kNone) {
            EXPECT_TRUE(node.empty()) << c.text;
            continue;
        }
        ASSERT_FALSE(node.empty()) << c.text;
        EXPECT_EQ(report.error, velmora::XMLParseOk) << c.text;
        if (c.want == kDocument) {
            EXPECT_EQ(node.name(), nullptr) << c.text;
        } else {
            EXPECT_STREQ(node.name(), c.want) << c.text;
        }
    }
}

TEST(XMLParser, DeclarationHoldsTheDocumentElement)
{
    XMLNode declaration =
        Parse("<?xml version=\"1.0\" encoding='utf-8'?>\n<root><a>1</a></root>", nullptr)
            .childAt(0);
    EXPECT_TRUE(declaration.isDeclaration());
    EXPECT_STREQ(declaration.name(), "xml");
    ASSERT_EQ(declaration.attributeCount(), 2);
    EXPECT_EQ(declaration.attributeAt(0)->name, "version");
    EXPECT_EQ(declaration.attributeAt(0)->value, "1.0");
    EXPECT_EQ(declaration.attributeAt(1)->name, "encoding");
    EXPECT_EQ(declaration.attributeAt(1)->value, "utf-8");
    ASSERT_EQ(declaration.childNodeCount(), 1);
    EXPECT_STREQ(declaration.childAt(0).findChild("a").textAt(0), "1");

    // The closing '?' is no part of a bare or unquoted value.
    declaration = Parse("<?xml standalone?><r/>", nullptr).childAt(0);
    ASSERT_EQ(declaration.attributeCount(), 1);
    EXPECT_EQ(declaration.attributeAt(0)->name, "standalone");
    EXPECT_FALSE(declaration.attributeAt(0)->value.has_value());
    declaration = Parse("<?xml version=1.0?><r/>", nullptr).childAt(0);
    EXPECT_EQ(declaration.attributeAt(0)->value, "1.0");
    EXPECT_STREQ(declaration.childAt(0).name(), "r");
}

TEST(XMLParser, NextChildCursorAndFindChildCounting)
{
    XMLNode list = Parse("<l><d>1</d><x/><D>2</D><p:d>3</p:d></l>", "l");
    int cursor = 0;
    const char* texts[] = {"1", "2", "3"};
    const int cursors[] = {1, 3, 4};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(list.nextChild("d", &cursor).textAt(0), texts[i]);
        EXPECT_EQ(cursor, cursors[i]);
        EXPECT_STREQ(list.findChild("d", i).textAt(0), texts[i]);
    }
    EXPECT_TRUE(list.nextChild("d", &cursor).empty());
    EXPECT_EQ(cursor, 4);
    EXPECT_TRUE(list.findChild("d", 3).empty());
    EXPECT_EQ(list.childCount("d"), 2); // "p:d" is not counted
}

TEST(XMLParser, FailuresGiveTheEmptyNodeWithCodeAndPosition)
{
    struct Case
    {
        std::string text;
        const char* tag;
        int32_t code;
        int32_t line = -1; // -1: not checked
        int32_t column = -1;
    };
    std::string deepError = "<r>";
    for (int i = 0; i < 40; ++i)
        deepError += "<a x='" + std::to_string(i) + "'>text<!--c-->";
    const std::vector<Case> cases = {
        {"<a>< >", "a", velmora::XMLParseMissingTagName},
        {"<?=x?>", nullptr, velmora::XMLParseMissingTagName},
        {deepError + "<>", "r",
         velmora::XMLParseMissingTagName}, // everything built so far is freed
        {"<a></>", "a", velmora::XMLParseBadEndTag},
        {"<a></a b>", "a", velmora::XMLParseBadEndTag},
        {"<a>x > y</a>", "a", velmora::XMLParseUnexpectedToken},
        {"<a =>", "a", velmora::XMLParseUnexpectedToken},
        {"<a b=>", "a", velmora::XMLParseUnexpectedToken},
        {"<a b 'c'>", "a", velmora::XMLParseUnexpectedToken},
        {"<e a='x<b/>", nullptr, velmora::XMLParseUnexpectedToken}, // "<" inside a start tag
        // An end tag that names no open element, at document level.
        {"<a>x</b>", "a", velmora::XMLParseUnmatchedEndTag, 1, 9}, // just past "</b>"
        {"<r>\n  <a><b></c></r>", "r", velmora::XMLParseUnmatchedEndTag, 2},
        {"<a></ab>", "a", velmora::XMLParseUnmatchedEndTag}, // "</ab>" does not close <a>
        {"<a><PRE>x</pre></a>", "a",
         velmora::XMLParseUnmatchedEndTag}, // clear close tags keep case
        {"<a>\n<!-- never closed", "a", velmora::XMLParseUnmatchedEndTag, 2,
         5}, // past the open tag
        {Nested(XMLNode::kMaxDepth + 1), nullptr, velmora::XMLParseTooDeep},
    };
    for (const Case& c : cases) {
        XMLParseReport report;
        EXPECT_TRUE(Parse(c.text, c.tag, &report).empty()) << c.text;
        EXPECT_EQ(report.error, c.code) << c.text;
        if (c.line >= 0) {
            EXPECT_EQ(report.line, c.line) << c.text;
        }
        if (c.column >= 0) {
            EXPECT_EQ(report.column, c.column) << c.text;
        }
    }
    XMLParseReport report;
    EXPECT_TRUE(XMLNode::parseDocument(nullptr, "root", &report).empty());
    EXPECT_EQ(report.error, velmora::XMLParseNoText);
    EXPECT_EQ(report.line, 0);
    EXPECT_EQ(report.column, 0);
    EXPECT_FALSE(Parse(Nested(XMLNode::kMaxDepth), nullptr, &report).empty());
    EXPECT_EQ(report.error, velmora::XMLParseOk);
}

TEST(XMLParser, MismatchedEndTagsAreCode1Warnings)
{
    // The one end tag of a closes the unclosed b too; <c/> is a sibling of a.
    XMLParseReport report;
    XMLNode document = Parse("<a><b>text</a><c/>", nullptr, &report);
    EXPECT_EQ(report.error, velmora::XMLParseMismatchedEndTag);
    EXPECT_EQ(report.line, 0);
    ASSERT_EQ(document.childNodeCount(), 2);
    XMLNode a = document.childAt(0);
    ASSERT_EQ(a.childNodeCount(), 1);
    EXPECT_STREQ(a.childAt(0).name(), "b");
    EXPECT_EQ(a.childAt(0).childNodeCount(), 0);
    EXPECT_STREQ(document.childAt(1).name(), "c");
    EXPECT_STREQ(Parse("<a><b>text</a><c/>", "a").name(), "a");

    // A stray end tag at document level ends the parse: nothing after it is read.
    document = Parse("<a/></x><b/>", nullptr, &report);
    EXPECT_EQ(report.error, velmora::XMLParseMismatchedEndTag);
    EXPECT_EQ(document.childNodeCount(), 1);

    // Elements still open at the end of the input are kept; their pending text is not.
    XMLNode root = Parse("<root><a>1</a><b>dropped text", "root", &report);
    EXPECT_EQ(report.error, velmora::XMLParseOk);
    ASSERT_EQ(root.childNodeCount(), 2);
    EXPECT_EQ(root.childAt(1).textCount(), 0);
}

TEST(XMLParser, TextEntitiesAndUnknownReferences)
{
    struct Case
    {
        const char* text;
        const char* want;
        const char* printed = "";
    };
    const Case cases[] = {
        {"<a>1 &lt; 2</a>", "1 < 2"},
        {"<a>1 &lt; 2<b/></a>", "1 &lt; 2"}, // decoded only when an end tag ends the text
        {"<a>&AMP;&Gt;&quot;&apos;&amp;amp;</a>", "&>\"'&amp;"},
        {"<a>x &#60; y</a>", "x &#60; y", "unknown escape character: '&#60;'"},
        {"<a>&averyveryverylongname;</a>", "&averyveryverylongname;",
         "unknown escape character: '&averyveryve'"},
        {"<a>tail &</a>", "tail &", "unknown escape character: '&'"},
        {"<a>\n  one  two\r\n three \n</a>", "one  two\r\n three"},
        {"<a>x = 'y' \"z</a>", "x = 'y' \"z"},
        {"<a>caf\xc3\xa9 \xff</a>", "caf\xc3\xa9 \xff"}, // bytes from 0x80 are text
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStdout();
        XMLNode a = Parse(c.text, "a");
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.text;
        EXPECT_STREQ(a.textAt(0), c.want) << c.text;
    }
}

TEST(XMLParser, AttributesBareQuotedUnquotedAndDecoded)
{
    XMLNode e = Parse("<e b c='1' d=\"x &amp; y\" f=plain g=\"\xc3\xa9\" h/>", "e");
    ASSERT_EQ(e.attributeCount(), 6);
    const char* names[] = {"b", "c", "d", "f", "g", "h"};
    const std::optional<std::string> values[] = {std::nullopt, "1",        "x & y",
                                                 "plain",      "\xc3\xa9", std::nullopt};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(e.attributeAt(i)->name, names[i]);
        EXPECT_EQ(e.attributeAt(i)->value, values[i]) << names[i];
    }
    ASSERT_EQ(e.body()->order.count(), 6);
    EXPECT_EQ(e.body()->order[5], 5 * 4 + velmora::XMLOrderAttr);

    // A quote not closed before '<' makes a text value that begins with the quote.
    e = Parse("<e a='x></e>", "e");
    ASSERT_EQ(e.attributeCount(), 1);
    EXPECT_EQ(e.attributeAt(0)->value, "'x");
}

TEST(XMLParser, ClearSectionsAreKeptVerbatim)
{
    XMLNode a = Parse("<a>before<!--  a <b> & c  -->after</a>", "a");
    ASSERT_EQ(a.clearCount(), 1);
    EXPECT_EQ(a.clearAt(0)->content, "  a <b> & c  ");
    EXPECT_STREQ(a.clearAt(0)->openTag, "<!--");
    EXPECT_STREQ(a.clearAt(0)->closeTag, "-->");
    ASSERT_EQ(a.textCount(), 2);
    EXPECT_STREQ(a.textAt(0), "before");
    EXPECT_STREQ(a.textAt(1), "after");
    const XMLNodeBody* body = a.body();
    ASSERT_EQ(body->order.count(), 3);
    EXPECT_EQ(body->order[0], 0 * 4 + velmora::XMLOrderText);
    EXPECT_EQ(body->order[1], 0 * 4 + velmora::XMLOrderClear);
    EXPECT_EQ(body->order[2], 1 * 4 + velmora::XMLOrderText);

    a = Parse("<a><![cdata[<x>&amp;]]><pre>p</PRE><!DOCTYPE d></a>", "a");
    ASSERT_EQ(a.clearCount(), 3);
    EXPECT_EQ(a.clearAt(0)->content, "<x>&amp;");
    EXPECT_STREQ(a.clearAt(0)->openTag, "<![CDATA[");
    EXPECT_EQ(a.clearAt(1)->content, "p");
    EXPECT_EQ(a.clearAt(2)->content, " d");
    EXPECT_EQ(a.childNodeCount(), 0);
}
