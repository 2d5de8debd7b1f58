#include "upnp/core/XMLNode.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

TEST(XMLNode, EmptyNodeAndOutOfRangeLookupsAnswerNothing)
{
    XMLNode empty;
    EXPECT_EQ(empty.name(), nullptr);
    EXPECT_EQ(empty.childCount("a"), 0);
    EXPECT_TRUE(empty.findChild("a").empty());
    EXPECT_TRUE(empty.nextChild("a").empty());
    EXPECT_TRUE(empty.childAt(0).empty());
    EXPECT_EQ(empty.textAt(0), nullptr);
    EXPECT_EQ(empty.attributeAt(0), nullptr);
    EXPECT_TRUE(empty.appendChild("x", false).empty());
    EXPECT_EQ(empty.appendText("t"), nullptr);

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

TEST(XMLNode, HandlesShareTheBodyAndOutliveTheDocument)
{
    XMLNode inner;
    {
        XMLNode document = XMLNode::parseDocument("<r><a><b>keep</b></a></r>", nullptr);
        inner = document.childAt(0).childAt(0);
        EXPECT_EQ(inner.body()->refCount, 2); // the parent's array and this handle
    }
    EXPECT_EQ(inner.body()->pParent, nullptr); // the freed parent unlinked it
    EXPECT_EQ(inner.body()->refCount, 1);
    EXPECT_STREQ(inner.findChild("b").textAt(0), "keep");

    const XMLNodeBody* body = inner.body();
    {
        XMLNode copy = inner;
        EXPECT_EQ(copy.body(), body);
        XMLNode assigned;
        assigned = copy;
        EXPECT_EQ(body->refCount, 3);
        const XMLNode& alias = assigned;
        assigned = alias; // self-assignment changes nothing
        EXPECT_EQ(body->refCount, 3);
        assigned = XMLNode();
        EXPECT_EQ(body->refCount, 2);
        XMLNode moved = std::move(copy);
        EXPECT_TRUE(copy.empty());
        EXPECT_EQ(body->refCount, 2);
    }
    EXPECT_EQ(body->refCount, 1);
}

TEST(XMLNode, AppendNullAddsNothing)
{
    XMLNode root = XMLNode::parseDocument("<r/>", nullptr).childAt(0);
    EXPECT_TRUE(root.appendChild(static_cast<const char*>(nullptr), false).empty());
    EXPECT_EQ(root.appendAttr(nullptr, "v"), nullptr);
    EXPECT_EQ(root.appendText(static_cast<const char*>(nullptr)), nullptr);
    EXPECT_EQ(root.appendClear(static_cast<const char*>(nullptr), "<!--", "-->"), nullptr);
    EXPECT_EQ(root.body()->order.count(), 0);

    EXPECT_FALSE(root.appendAttr("b", nullptr)->value.has_value());
    EXPECT_STREQ(root.appendText("t"), "t");
    XMLNode child = root.appendChild("c", true);
    EXPECT_TRUE(child.isDeclaration());
    EXPECT_EQ(child.body()->pParent, root.body());
    ASSERT_EQ(root.body()->order.count(), 3);
    EXPECT_EQ(root.body()->order[2], 0 * 4 + velmora::XMLOrderChild);
}

// Arrays grow in blocks of 50 (order list 150): a full block grows by one more
// block. An element closed by its own end tag (or "/>") is trimmed to its
// count; one closed without an end tag of its own keeps the grown block.
TEST(XMLNode, ArrayCapacitiesAfterGrowthAndTrimming)
{
    std::string cs;
    for (int i = 0; i < 120; ++i)
        cs += "<c/>";
    std::string siblings = "<r><a>";
    for (int i = 0; i < 60; ++i)
        siblings += "<c k='" + std::to_string(i) + "'>t</c>";
    siblings += "</a><b><d/>u</b><e x='1'/></r>";
    std::string mixed = "<r>";
    for (int i = 0; i < 49; ++i)
        mixed += "<c/>t" + std::to_string(i) + "<!--k-->";
    mixed += "<!--1--><!--2--><!--3-->";

    struct Case
    {
        std::string text;
        std::vector<const char*> path;                // findChild steps below "r"
        int children, order, texts = -1, clears = -1; // capacities; -1: not checked
    };
    const std::vector<Case> cases = {
        {"<r>" + cs + "<open>", {}, 150, 150}, // 50, then 49+1+50, then 99+1+50
        {"<r>" + cs + "</r>", {}, 120, 120, 0},
        {"<r>" + cs + "</r>", {"c"}, 0, 0},
        // b meets "</r>"; a is closed by the child-return rule; r by its own end tag.
        {"<r><a><x/><b><y/></r>", {}, 1, 1},
        {"<r><a><x/><b><y/></r>", {"a"}, 50, 150},
        {"<r><a><x/><b><y/></r>", {"a", "b"}, 1, 1},
        // Siblings at one depth do not share entries.
        {siblings, {"a"}, 60, 60},
        {siblings, {"b"}, 1, 2, 1},
        {siblings, {"e"}, 0, 1},
        // Unclosed: 49 + 1 + 50 clears at the 50th entry, 149 + 1 + 150 order entries.
        {mixed, {}, 50, 300, 50, 100},
    };
    for (const Case& c : cases) {
        XMLNode node = XMLNode::parseDocument(c.text.c_str(), "r");
        std::string where = "r";
        for (const char* step : c.path) {
            node = node.findChild(step);
            where += std::string("/") + step;
        }
        ASSERT_FALSE(node.empty()) << where << " in " << c.text;
        const XMLNodeBody* b = node.body();
        EXPECT_EQ(b->children.capacity(), c.children) << where << " in " << c.text;
        EXPECT_EQ(b->order.capacity(), c.order) << where << " in " << c.text;
        if (c.texts >= 0) {
            EXPECT_EQ(b->texts.capacity(), c.texts) << where << " in " << c.text;
        }
        if (c.clears >= 0) {
            EXPECT_EQ(b->clears.capacity(), c.clears) << where << " in " << c.text;
        }
    }

    XMLNode r = XMLNode::parseDocument(siblings.c_str(), "r");
    ASSERT_EQ(r.childNodeCount(), 3);
    EXPECT_EQ(r.childAt(0).childNodeCount(), 60);
    EXPECT_EQ(*r.childAt(0).childAt(59).attributeAt(0)->value, "59");
    EXPECT_EQ(r.childAt(1).childNodeCount(), 1);
    EXPECT_STREQ(r.childAt(1).textAt(0), "u");
    EXPECT_EQ(r.childAt(2).childNodeCount(), 0);
    EXPECT_EQ(r.childAt(2).attributeCount(), 1);
    EXPECT_EQ(r.body()->order[2], 2 * 4 + velmora::XMLOrderChild);
    r = XMLNode::parseDocument(mixed.c_str(), "r");
    EXPECT_EQ(r.childNodeCount(), 49);
    EXPECT_EQ(r.textCount(), 49);
    EXPECT_EQ(r.clearCount(), 52);

    // Appending after the trim still fits.
    XMLNode trimmed = XMLNode::parseDocument("<r><a/><b/><c/></r>", "r");
    EXPECT_EQ(trimmed.body()->children.capacity(), 3);
    for (int i = 0; i < 60; ++i)
        trimmed.appendChild("x", false);
    EXPECT_EQ(trimmed.childNodeCount(), 63);
    EXPECT_GE(trimmed.body()->children.capacity(), 63);
    EXPECT_EQ(trimmed.childCount("x"), 60);
}
