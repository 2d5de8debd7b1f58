#include "upnp/core/XMLNode.h"

#include <gtest/gtest.h>
#include <string>

TEST(XMLNode, EmptyNodeAnswersNothing)
{
    XMLNode empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_EQ(empty.name(), nullptr);
    EXPECT_EQ(empty.childCount("a"), 0);
    EXPECT_TRUE(empty.findChild("a").empty());
    EXPECT_TRUE(empty.nextChild("a").empty());
    EXPECT_TRUE(empty.childAt(0).empty());
    EXPECT_EQ(empty.textAt(0), nullptr);
    EXPECT_EQ(empty.attributeAt(0), nullptr);
    EXPECT_TRUE(empty.appendChild("x", false).empty());
    EXPECT_EQ(empty.appendText("t"), nullptr);
}

TEST(XMLNode, LookupsOutOfRange)
{
    XMLNode root = XMLNode::parseDocument("<r><a>t</a></r>", "r");
    EXPECT_TRUE(root.childAt(-1).empty());
    EXPECT_TRUE(root.childAt(1).empty());
    EXPECT_EQ(root.textAt(0), nullptr);
    EXPECT_EQ(root.childAt(0).textAt(-1), nullptr);
    EXPECT_EQ(root.childAt(0).textAt(1), nullptr);
    EXPECT_EQ(root.childCount(nullptr), 0);
    EXPECT_TRUE(root.findChild(nullptr).empty());
    int cursor = -5; // a negative cursor starts at the first child
    EXPECT_FALSE(root.nextChild("a", &cursor).empty());
    EXPECT_EQ(cursor, 1);
}

TEST(XMLNode, InnerHandleOutlivesTheDocument)
{
    XMLNode inner;
    {
        XMLNode document = XMLNode::parseDocument("<r><a><b>keep</b></a></r>", nullptr);
        inner = document.childAt(0).childAt(0);
        EXPECT_EQ(inner.body()->refCount, 2); // the parent's array and this handle
    }
    ASSERT_FALSE(inner.empty());
    EXPECT_EQ(inner.body()->pParent, nullptr); // the freed parent unlinked it
    EXPECT_EQ(inner.body()->refCount, 1);
    EXPECT_STREQ(inner.findChild("b").textAt(0), "keep");
}

TEST(XMLNode, CopiesShareTheBodyAndCountReferences)
{
    XMLNode root = XMLNode::parseDocument("<r/>", "r");
    const XMLNodeBody* body = root.body();
    const int32_t base = body->refCount;
    {
        XMLNode copy = root;
        EXPECT_EQ(copy.body(), body);
        EXPECT_EQ(body->refCount, base + 1);
        XMLNode assigned;
        assigned = copy;
        EXPECT_EQ(body->refCount, base + 2);
        const XMLNode& alias = assigned;
        assigned = alias; // self-assignment changes nothing
        EXPECT_EQ(body->refCount, base + 2);
        assigned = XMLNode();
        EXPECT_EQ(body->refCount, base + 1);
        XMLNode moved = std::move(copy);
        EXPECT_TRUE(copy.empty());
        EXPECT_EQ(body->refCount, base + 1);
    }
    EXPECT_EQ(body->refCount, base);
}

TEST(XMLNode, AppendNullAddsNothing)
{
    XMLNode document = XMLNode::parseDocument("<r/>", nullptr);
    XMLNode root = document.childAt(0);
    EXPECT_TRUE(root.appendChild(static_cast<const char*>(nullptr), false).empty());
    EXPECT_EQ(root.appendAttr(nullptr, "v"), nullptr);
    EXPECT_EQ(root.appendText(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(root.appendClear(static_cast<const char*>(nullptr), "<!--", "-->"), nullptr);
    EXPECT_EQ(root.body()->order.count(), 0);

    const XMLAttr* bare = root.appendAttr("b", nullptr);
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(bare->value.has_value());
    EXPECT_STREQ(root.appendText("t"), "t");
    XMLNode child = root.appendChild("c", true);
    EXPECT_TRUE(child.isDeclaration());
    EXPECT_EQ(child.body()->pParent, root.body());
    ASSERT_EQ(root.body()->order.count(), 3);
    EXPECT_EQ(root.body()->order[2], 0 * 4 + XMLOrderChild);
}

TEST(XMLNode, ArraysGrowInBlocksAndAreTrimmedWhenClosed)
{
    std::string text = "<r>";
    for (int i = 0; i < 120; ++i)
        text += "<c/>";
    XMLNode open = XMLNode::parseDocument((text + "<open>").c_str(), "r");
    // Still open at the end of the input: capacity grew in blocks of 50.
    ASSERT_EQ(open.childNodeCount(), 121);
    EXPECT_EQ(open.body()->children.capacity(), 150); // 50, then 49+1+50, then 99+1+50
    EXPECT_EQ(open.body()->order.capacity(), 150);

    XMLNode closed = XMLNode::parseDocument((text + "</r>").c_str(), "r");
    ASSERT_EQ(closed.childNodeCount(), 120);
    EXPECT_EQ(closed.body()->children.capacity(), 120);
    EXPECT_EQ(closed.body()->order.capacity(), 120);
    EXPECT_EQ(closed.body()->texts.capacity(), 0);
    EXPECT_EQ(closed.childAt(0).body()->children.capacity(), 0);
}

TEST(XMLNode, AppendAfterTrimStillFits)
{
    XMLNode root = XMLNode::parseDocument("<r><a/><b/><c/></r>", "r");
    EXPECT_EQ(root.body()->children.capacity(), 3);
    for (int i = 0; i < 60; ++i)
        root.appendChild("x", false);
    EXPECT_EQ(root.childNodeCount(), 63);
    EXPECT_GE(root.body()->children.capacity(), 63);
    EXPECT_EQ(root.childCount("x"), 60);
}

TEST(XMLNode, ElementClosedByAnOuterEndTagKeepsItsBlock)
{
    // b meets "</r>" (its arrays are trimmed, as for every end tag it reads);
    // a is closed by the child-return rule without an end tag of its own, so
    // its arrays keep the block they grew in; r is closed by its own end tag.
    XMLNode r = XMLNode::parseDocument("<r><a><x/><b><y/></r>", "r");
    ASSERT_FALSE(r.empty());
    XMLNode a = r.findChild("a");
    XMLNode b = a.findChild("b");
    EXPECT_EQ(r.body()->children.capacity(), 1);
    EXPECT_EQ(a.body()->children.capacity(), 50);
    EXPECT_EQ(a.body()->order.capacity(), 150);
    EXPECT_EQ(b.body()->children.capacity(), 1);
    EXPECT_EQ(b.body()->order.capacity(), 1);
}

TEST(XMLNode, SiblingsAtOneDepthDoNotShareEntries)
{
    std::string text = "<r><a>";
    for (int i = 0; i < 60; ++i)
        text += "<c k='" + std::to_string(i) + "'>t</c>";
    text += "</a><b><d/>u</b><e x='1'/></r>";
    XMLNode r = XMLNode::parseDocument(text.c_str(), "r");
    ASSERT_EQ(r.childNodeCount(), 3);
    XMLNode a = r.childAt(0);
    XMLNode b = r.childAt(1);
    XMLNode e = r.childAt(2);
    EXPECT_EQ(a.childNodeCount(), 60);
    EXPECT_EQ(a.body()->children.capacity(), 60);
    EXPECT_STREQ(a.childAt(59).attributeAt(0)->value->c_str(), "59");
    EXPECT_EQ(b.childNodeCount(), 1);
    EXPECT_EQ(b.textCount(), 1);
    EXPECT_STREQ(b.textAt(0), "u");
    EXPECT_EQ(b.body()->children.capacity(), 1);
    EXPECT_EQ(b.body()->texts.capacity(), 1);
    EXPECT_EQ(e.childNodeCount(), 0);
    EXPECT_EQ(e.attributeCount(), 1);
    EXPECT_EQ(e.body()->order.count(), 1);
    EXPECT_EQ(e.childAt(0).body(), nullptr);
    EXPECT_EQ(r.body()->order.count(), 3);
    EXPECT_EQ(r.body()->order[2], 2 * 4 + XMLOrderChild);
}

TEST(XMLNode, UnclosedElementsKeepTheGrownCapacityOfEveryArray)
{
    std::string text = "<r>";
    for (int i = 0; i < 49; ++i)
        text += "<c/>t" + std::to_string(i) + "<!--k-->";
    text += "<!--1--><!--2--><!--3-->";
    XMLNode r = XMLNode::parseDocument(text.c_str(), "r");
    ASSERT_EQ(r.childNodeCount(), 49);
    EXPECT_EQ(r.textCount(), 49);
    EXPECT_EQ(r.clearCount(), 52);
    EXPECT_EQ(r.body()->children.capacity(), 50);
    EXPECT_EQ(r.body()->texts.capacity(), 50);
    EXPECT_EQ(r.body()->clears.capacity(), 100); // 49 + 1 + 50 at the 50th entry
    EXPECT_EQ(r.body()->order.capacity(), 300);  // 149 + 1 + 150 at the 150th entry
}

TEST(XMLNode, ErrorInsideADeepTreeFreesEverything)
{
    std::string text = "<r>";
    for (int i = 0; i < 40; ++i)
        text += "<a x='" + std::to_string(i) + "'>text<!--c-->";
    text += "<>"; // "<" without a name: code 4 deep inside
    XMLParseReport report;
    EXPECT_TRUE(XMLNode::parseDocument(text.c_str(), "r", &report).empty());
    EXPECT_EQ(report.error, XMLParseMissingTagName);
}
