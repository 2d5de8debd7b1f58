#include "upnp/core/XMLNode.h"

#include <gtest/gtest.h>
#include <string>

namespace {

XMLNode Parse(const std::string& text, const char* tag, XMLParseReport* report = nullptr)
{
    return XMLNode::parseDocument(text.c_str(), tag, report);
}

const char* kSoapAnswer = "HTTP/1.1 200 OK\r\n"
                          "Content-Type: text/xml; charset=\"utf-8\"\r\n"
                          "Connection: close\r\n"
                          "Content-Length: 290\r\n"
                          "Server: Debian/12 UPnP/1.1 MiniUPnPd/2.3.1\r\n"
                          "\r\n"
                          "<?xml version=\"1.0\"?>\r\n"
                          "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                          "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
                          "<s:Body><u:GetExternalIPAddressResponse "
                          "xmlns:u=\"urn:schemas-upnp-org:service:WANIPConnection:1\">"
                          "<NewExternalIPAddress>203.0.113.7</NewExternalIPAddress>"
                          "</u:GetExternalIPAddressResponse></s:Body></s:Envelope>\r\n";

} // namespace

TEST(XMLParser, HttpHeadersBecomeTextOfTheDocumentNode)
{
    XMLParseReport report;
    XMLNode document = Parse(kSoapAnswer, nullptr, &report);
    ASSERT_FALSE(document.empty());
    EXPECT_EQ(report.error, XMLParseOk);
    EXPECT_EQ(document.name(), nullptr);
    ASSERT_EQ(document.textCount(), 1);
    const std::string headers = document.textAt(0);
    EXPECT_EQ(headers.rfind("HTTP/1.1 200 OK\r\n", 0), 0u);
    // Trailing whitespace is cut, inner line breaks are kept.
    EXPECT_TRUE(headers.ends_with("MiniUPnPd/2.3.1"));
    EXPECT_NE(headers.find("\r\nConnection: close\r\n"), std::string::npos);
}

TEST(XMLParser, EnvelopeWithPrefixIsSelectedAsLastChildOfTheDeclaration)
{
    XMLNode envelope = Parse(kSoapAnswer, "Envelope");
    ASSERT_FALSE(envelope.empty());
    EXPECT_STREQ(envelope.name(), "s:Envelope");
    XMLNode address = envelope.findChild("Body")
                          .findChild("GetExternalIPAddressResponse")
                          .findChild("NewExternalIPAddress");
    ASSERT_FALSE(address.empty());
    EXPECT_STREQ(address.textAt(0), "203.0.113.7");
}

TEST(XMLParser, DeclarationHoldsTheDocumentElement)
{
    XMLNode document =
        Parse("<?xml version=\"1.0\" encoding='utf-8'?>\n<root><a>1</a></root>", nullptr);
    ASSERT_EQ(document.childNodeCount(), 1);
    XMLNode declaration = document.childAt(0);
    EXPECT_TRUE(declaration.isDeclaration());
    EXPECT_STREQ(declaration.name(), "xml");
    ASSERT_EQ(declaration.attributeCount(), 2);
    EXPECT_EQ(declaration.attributeAt(0)->name, "version");
    EXPECT_EQ(declaration.attributeAt(0)->value, "1.0");
    EXPECT_EQ(declaration.attributeAt(1)->name, "encoding");
    EXPECT_EQ(declaration.attributeAt(1)->value, "utf-8");
    ASSERT_EQ(declaration.childNodeCount(), 1);
    EXPECT_STREQ(declaration.childAt(0).name(), "root");

    XMLNode root = Parse("<?xml version=\"1.0\"?>\n<root><a>1</a></root>", "root");
    ASSERT_FALSE(root.empty());
    EXPECT_STREQ(root.name(), "root");
    EXPECT_STREQ(root.findChild("a").textAt(0), "1");
}

TEST(XMLParser, DeclarationQuestionMarkIsDroppedFromBareAndUnquotedValues)
{
    XMLNode declaration = Parse("<?xml standalone?><r/>", nullptr).childAt(0);
    ASSERT_EQ(declaration.attributeCount(), 1);
    EXPECT_EQ(declaration.attributeAt(0)->name, "standalone");
    EXPECT_FALSE(declaration.attributeAt(0)->value.has_value());

    declaration = Parse("<?xml version=1.0?><r/>", nullptr).childAt(0);
    ASSERT_EQ(declaration.attributeCount(), 1);
    EXPECT_EQ(declaration.attributeAt(0)->value, "1.0");
    EXPECT_STREQ(declaration.childAt(0).name(), "r");
}

TEST(XMLParser, TagNameSelectionWithoutDeclaration)
{
    EXPECT_STREQ(Parse("<root/>", "root").name(), "root");
    EXPECT_STREQ(Parse("<ROOT/>", "root").name(), "ROOT");
    // The whole name is compared when selecting; a scan that runs out gives the
    // last child scanned.
    EXPECT_STREQ(Parse("<a/><b/><s:Envelope/>", "Envelope").name(), "s:Envelope");
    EXPECT_STREQ(Parse("<a/><Envelope/><b/>", "Envelope").name(), "Envelope");
    EXPECT_TRUE(Parse("just text", "root").empty());
    EXPECT_TRUE(Parse("<?xml version=\"1.0\"?>", "root").empty());
    // Without a tag (or with an empty one) the document node is the result.
    EXPECT_EQ(Parse("<a/>", "").name(), nullptr);
    EXPECT_FALSE(Parse("<a/>", "").empty());
}

TEST(XMLParser, FindChildUsesPrefixRuleButChildCountWholeNames)
{
    XMLNode envelope = Parse(kSoapAnswer, "Envelope");
    EXPECT_FALSE(envelope.findChild("Body").empty());
    EXPECT_EQ(envelope.childCount("Body"), 0);
    EXPECT_EQ(envelope.childCount("s:body"), 1);
    // The wanted name is never stripped.
    EXPECT_TRUE(envelope.findChild("s:Body").empty());
    // Only the part after the first ':' is compared.
    XMLNode doc = Parse("<r><a:b:c/><b:c/></r>", "r");
    EXPECT_STREQ(doc.findChild("b:c").name(), "a:b:c");
    EXPECT_STREQ(doc.findChild("c").name(), "b:c");
}

TEST(XMLParser, NextChildCursorAndFindChildCounting)
{
    XMLNode list = Parse("<l><d>1</d><x/><D>2</D><p:d>3</p:d></l>", "l");
    int cursor = 0;
    EXPECT_STREQ(list.nextChild("d", &cursor).textAt(0), "1");
    EXPECT_EQ(cursor, 1);
    EXPECT_STREQ(list.nextChild("d", &cursor).textAt(0), "2");
    EXPECT_EQ(cursor, 3);
    EXPECT_STREQ(list.nextChild("d", &cursor).textAt(0), "3");
    EXPECT_EQ(cursor, 4);
    EXPECT_TRUE(list.nextChild("d", &cursor).empty());
    EXPECT_EQ(cursor, 4);
    EXPECT_STREQ(list.findChild("d", 0).textAt(0), "1");
    EXPECT_STREQ(list.findChild("d", 2).textAt(0), "3");
    EXPECT_TRUE(list.findChild("d", 3).empty());
    EXPECT_EQ(list.childCount("d"), 2); // "p:d" is not counted
}

TEST(XMLParser, UnclosedChildIsClosedByParentsEndTagWithWarning)
{
    XMLParseReport report;
    XMLNode a = Parse("<a><b>text</a><c/>", "a", &report);
    EXPECT_EQ(report.error, XMLParseMismatchedEndTag);
    EXPECT_EQ(report.line, 0);
    ASSERT_FALSE(a.empty());
    ASSERT_EQ(a.childNodeCount(), 1);
    XMLNode b = a.childAt(0);
    EXPECT_STREQ(b.name(), "b");
    EXPECT_EQ(b.childNodeCount(), 0);
    // The one end tag closed both; <c/> is a sibling of a at document level.
    XMLNode document = Parse("<a><b>text</a><c/>", nullptr);
    ASSERT_EQ(document.childNodeCount(), 2);
    EXPECT_STREQ(document.childAt(1).name(), "c");
}

TEST(XMLParser, EndTagNamingNoOpenElementFailsWithCode7)
{
    XMLParseReport report;
    XMLNode result = Parse("<a>x</b>", "a", &report);
    EXPECT_TRUE(result.empty());
    EXPECT_EQ(report.error, XMLParseUnmatchedEndTag);
    EXPECT_EQ(report.line, 1);
    EXPECT_EQ(report.column, 9); // stop position is just past "</b>"

    result = Parse("<r>\n  <a><b></c></r>", "r", &report);
    EXPECT_TRUE(result.empty());
    EXPECT_EQ(report.error, XMLParseUnmatchedEndTag);
    EXPECT_EQ(report.line, 2);
}

TEST(XMLParser, EndTagMatchNeedsANameBoundary)
{
    XMLParseReport report;
    // "</ab>" does not close <a>; it is pending up to the document level.
    EXPECT_TRUE(Parse("<a></ab>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnmatchedEndTag);
    // Case is ignored, and whitespace may follow the name.
    EXPECT_FALSE(Parse("<Abc></aBC >", "abc", &report).empty());
    EXPECT_EQ(report.error, XMLParseOk);
}

TEST(XMLParser, StrayEndTagAtDocumentLevelEndsTheParseWithWarning)
{
    XMLParseReport report;
    XMLNode document = Parse("<a/></x><b/>", nullptr, &report);
    EXPECT_EQ(report.error, XMLParseMismatchedEndTag);
    ASSERT_FALSE(document.empty());
    EXPECT_EQ(document.childNodeCount(), 1); // nothing after the stray tag is read
}

TEST(XMLParser, EntitiesDecodedOnlyInTextEndedByAnEndTag)
{
    EXPECT_STREQ(Parse("<a>1 &lt; 2</a>", "a").textAt(0), "1 < 2");
    XMLNode a = Parse("<a>1 &lt; 2<b/></a>", "a");
    EXPECT_STREQ(a.textAt(0), "1 &lt; 2");
    EXPECT_STREQ(Parse("<a>&AMP;&Gt;&quot;&apos;&amp;amp;</a>", "a").textAt(0), "&>\"'&amp;");
}

TEST(XMLParser, UnknownEntityIsReportedAndKeptVerbatim)
{
    testing::internal::CaptureStdout();
    XMLNode a = Parse("<a>x &#60; y</a>", "a");
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_STREQ(a.textAt(0), "x &#60; y");
    EXPECT_EQ(printed, "unknown escape character: '&#60;'");

    testing::internal::CaptureStdout();
    a = Parse("<a>&averyveryverylongname;</a>", "a");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "unknown escape character: '&averyveryve'");
    EXPECT_STREQ(a.textAt(0), "&averyveryverylongname;");

    testing::internal::CaptureStdout();
    a = Parse("<a>tail &</a>", "a");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "unknown escape character: '&'");
    EXPECT_STREQ(a.textAt(0), "tail &");
}

TEST(XMLParser, AttributesBareQuotedUnquotedAndDecoded)
{
    XMLNode e = Parse("<e b c='1' d=\"x &amp; y\" f=plain h/>", "e");
    ASSERT_EQ(e.attributeCount(), 5);
    EXPECT_EQ(e.attributeAt(0)->name, "b");
    EXPECT_FALSE(e.attributeAt(0)->value.has_value());
    EXPECT_EQ(e.attributeAt(1)->name, "c");
    EXPECT_EQ(e.attributeAt(1)->value, "1");
    EXPECT_EQ(e.attributeAt(2)->value, "x & y");
    EXPECT_EQ(e.attributeAt(3)->value, "plain");
    EXPECT_EQ(e.attributeAt(4)->name, "h");
    EXPECT_FALSE(e.attributeAt(4)->value.has_value());
    // Attribute order is kept in the order list.
    ASSERT_EQ(e.body()->order.count(), 5);
    EXPECT_EQ(e.body()->order[4], 4 * 4 + XMLOrderAttr);
}

TEST(XMLParser, QuotedValueWithoutClosingQuoteBeforeAngleBracketIsText)
{
    // The quote is not closed before '<': the value is a text token that
    // begins with the quote character.
    XMLNode e = Parse("<e a='x></e>", "e");
    ASSERT_EQ(e.attributeCount(), 1);
    EXPECT_EQ(e.attributeAt(0)->value, "'x");
    XMLParseReport report;
    EXPECT_TRUE(Parse("<e a='x<b/>", nullptr, &report).empty());
    EXPECT_EQ(report.error, XMLParseUnexpectedToken); // "<" inside a start tag
}

TEST(XMLParser, CommentIsAClearSectionKeptVerbatim)
{
    XMLNode a = Parse("<a>before<!--  a <b> & c  -->after</a>", "a");
    ASSERT_EQ(a.clearCount(), 1);
    EXPECT_EQ(a.clearAt(0)->content, "  a <b> & c  ");
    EXPECT_STREQ(a.clearAt(0)->openTag, "<!--");
    EXPECT_STREQ(a.clearAt(0)->closeTag, "-->");
    ASSERT_EQ(a.textCount(), 2);
    EXPECT_STREQ(a.textAt(0), "before");
    EXPECT_STREQ(a.textAt(1), "after");
    // Order list: text 0, clear 0, text 1.
    const XMLNodeBody* body = a.body();
    ASSERT_EQ(body->order.count(), 3);
    EXPECT_EQ(body->order[0], 0 * 4 + XMLOrderText);
    EXPECT_EQ(body->order[1], 0 * 4 + XMLOrderClear);
    EXPECT_EQ(body->order[2], 1 * 4 + XMLOrderText);
}

TEST(XMLParser, ClearSectionTableRows)
{
    XMLNode a = Parse("<a><![cdata[<x>&amp;]]><pre>p</PRE><!DOCTYPE d></a>", "a");
    ASSERT_EQ(a.clearCount(), 3);
    EXPECT_EQ(a.clearAt(0)->content, "<x>&amp;");
    EXPECT_STREQ(a.clearAt(0)->openTag, "<![CDATA[");
    EXPECT_EQ(a.clearAt(1)->content, "p");
    EXPECT_EQ(a.clearAt(2)->content, " d");
    EXPECT_EQ(a.childNodeCount(), 0);
    // The close tag is compared case-sensitively: "</pre>" does not end "<PRE>".
    XMLParseReport report;
    EXPECT_TRUE(Parse("<a><PRE>x</pre></a>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnmatchedEndTag);
}

TEST(XMLParser, ClearSectionWithoutCloseTagIsCode7)
{
    XMLParseReport report;
    EXPECT_TRUE(Parse("<a>\n<!-- never closed", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnmatchedEndTag);
    EXPECT_EQ(report.line, 2);
    EXPECT_EQ(report.column, 5); // just past the open tag
}

TEST(XMLParser, ErrorCodes)
{
    XMLParseReport report;
    EXPECT_TRUE(XMLNode::parseDocument(nullptr, "root", &report).empty());
    EXPECT_EQ(report.error, XMLParseNoText);
    EXPECT_EQ(report.line, 0);
    EXPECT_EQ(report.column, 0);

    EXPECT_TRUE(Parse("<a>< >", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseMissingTagName);
    EXPECT_TRUE(Parse("<?=x?>", nullptr, &report).empty());
    EXPECT_EQ(report.error, XMLParseMissingTagName);
    EXPECT_TRUE(Parse("<a></>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseBadEndTag);
    EXPECT_TRUE(Parse("<a></a b>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseBadEndTag);
    EXPECT_TRUE(Parse("<a>x > y</a>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnexpectedToken);
    EXPECT_TRUE(Parse("<a =>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnexpectedToken);
    EXPECT_TRUE(Parse("<a b=>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnexpectedToken);
    EXPECT_TRUE(Parse("<a b 'c'>", "a", &report).empty());
    EXPECT_EQ(report.error, XMLParseUnexpectedToken);
}

TEST(XMLParser, EmptyAndWhitespaceOnlyText)
{
    XMLParseReport report;
    XMLNode document = Parse("", nullptr, &report);
    EXPECT_FALSE(document.empty());
    EXPECT_EQ(report.error, XMLParseOk);
    EXPECT_EQ(document.childNodeCount(), 0);
    EXPECT_TRUE(Parse(" \t\r\n", "root").empty());
}

TEST(XMLParser, UnclosedElementsAtEndOfInputAreKept)
{
    XMLParseReport report;
    XMLNode root = Parse("<root><a>1</a><b>dropped text", "root", &report);
    EXPECT_EQ(report.error, XMLParseOk);
    ASSERT_FALSE(root.empty());
    ASSERT_EQ(root.childNodeCount(), 2);
    EXPECT_EQ(root.childAt(1).textCount(), 0); // pending text at the end is dropped
}

TEST(XMLParser, TextKeepsInnerWhitespaceAndLineBreaks)
{
    XMLNode a = Parse("<a>\n  one  two\r\n three \n</a>", "a");
    EXPECT_STREQ(a.textAt(0), "one  two\r\n three");
    // '=' and quotes in content are text too.
    EXPECT_STREQ(Parse("<a>x = 'y' \"z</a>", "a").textAt(0), "x = 'y' \"z");
}

TEST(XMLParser, DeepNestingIsRefused)
{
    std::string deep;
    for (int i = 0; i < XMLNode::kMaxDepth; ++i)
        deep += "<a>";
    XMLParseReport report;
    EXPECT_FALSE(Parse(deep, nullptr, &report).empty());
    EXPECT_EQ(report.error, XMLParseOk);
    deep += "<a>";
    EXPECT_TRUE(Parse(deep, nullptr, &report).empty());
    EXPECT_EQ(report.error, XMLParseTooDeep);
}

TEST(XMLParser, BytesFrom0x80AreText)
{
    XMLNode a = Parse("<a n=\"\xc3\xa9\">caf\xc3\xa9 \xff</a>", "a");
    EXPECT_STREQ(a.textAt(0), "caf\xc3\xa9 \xff");
    EXPECT_EQ(a.attributeAt(0)->value, "\xc3\xa9");
}
