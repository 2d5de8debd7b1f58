// The shape of the XCFG tree (siblings and children, attributes, element text,
// the 128-character cuts, freeing large trees) and the questions asked of it:
// XcfgCheckRoot, XcfgFindPath, XcfgGetAttribute.

#include "config/core/XcfgReader.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using velmora::test::TempDir;

// The tree as text: "name(child,child)", a '!' after a node without its stamp.
std::string Shape(const XcfgNode* node)
{
    std::string out;
    for (; node; node = node->next) {
        out += std::string(node->name) + (node->magic == XCFG_MAGIC ? "" : "!");
        if (node->first_child)
            out += "(" + Shape(node->first_child) + ")";
        if (node->next)
            out += ",";
    }
    return out;
}

class XcfgTree : public ::testing::Test
{
protected:
    void Load(const std::string& bytes)
    {
        dir.write("x.xml", bytes);
        ASSERT_EQ(XcfgLoadFile(&document, dir.file("x.xml").c_str()), 0);
    }
    XcfgNode* Root() { return document.root; }

    TempDir dir;
    XcfgDocument document;
};

// A node pointer that is neither null nor valid, to see the out-pointer reset.
XcfgNode* const kStale = reinterpret_cast<XcfgNode*>(uintptr_t{0x1});

TEST_F(XcfgTree, ChildrenAndSiblingsFollowTheDocument)
{
    Load("<m><a><b/></a><c/></m>");
    EXPECT_EQ(Shape(Root()), "m(a(b),c)");
    Load("<m><a><b><x/><y/></b></a><c><d/></c><e/></m>");
    EXPECT_EQ(Shape(Root()), "m(a(b(x,y)),c(d),e)");
}

TEST_F(XcfgTree, AttributesKeepDocumentOrderDecodedAndStamped)
{
    Load("<m z=\"1\" a=\"a&amp;b&quot;c&lt;d&gt;e&#233;&#x6771;\" m=\"\"/>");
    ASSERT_EQ(Root()->attribute_count, 3);
    const XcfgAttribute* list = Root()->attributes;
    const char* expected[][2] = {{"z", "1"}, {"a", "a&b\"c<d>e\xC3\xA9\xE6\x9D\xB1"}, {"m", ""}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_STREQ(list[i].name, expected[i][0]);
        EXPECT_STREQ(list[i].value, expected[i][1]);
        EXPECT_EQ(list[i].magic, XCFG_MAGIC);
    }
}

TEST_F(XcfgTree, TextKeepsInnerSpacesDropsOuterBlanksAndGoesToTheLastElementEnded)
{
    Load("<m>x<a>a b</a><b>  x\n</b><c>\t y z \t\n</c><d>x&#13;</d><e/>tail<f/>   \n  </m>");
    EXPECT_STREQ(Root()->text, "x");
    // A carriage return is no blank; as a reference it is a run of its own,
    // which replaces the x before it.
    const char* expected[] = {"a b", "x", "y z", "\r", "tail", ""};
    XcfgNode* node = Root()->first_child;
    for (const char* text : expected) {
        ASSERT_NE(node, nullptr);
        EXPECT_STREQ(node->text, text) << node->name;
        node = node->next;
    }
}

TEST_F(XcfgTree, NamesValuesAndTextAreCutTo128BytesOnACharacterBoundary)
{
    const std::string n(200, 'n');
    Load("<" + n + " " + n + "=\"" + std::string(200, 'v') + "\">" + std::string(200, 't') + "</" +
         n + ">");
    EXPECT_EQ(std::string(Root()->name), n.substr(0, 128));
    EXPECT_EQ(std::string(Root()->attributes[0].name), n.substr(0, 128));
    EXPECT_EQ(std::string(Root()->attributes[0].value), std::string(128, 'v'));
    EXPECT_EQ(std::string(Root()->text), std::string(128, 't'));

    const std::string tokyo = "\xE6\x9D\xB1";                // three bytes
    const std::string fits = std::string(125, 'a') + tokyo;  // 128 bytes: kept whole
    const std::string over1 = std::string(126, 'a') + tokyo; // would be cut after 2 of 3 bytes
    const std::string over2 = std::string(127, 'a') + tokyo; // would be cut after 1 of 3 bytes
    Load("<m a=\"" + fits + "\" b=\"" + over1 + "\" c=\"" + over2 + "\">" + over1 + "</m>");
    EXPECT_EQ(std::string(Root()->attributes[0].value), fits);
    EXPECT_EQ(std::string(Root()->attributes[1].value), std::string(126, 'a'));
    EXPECT_EQ(std::string(Root()->attributes[2].value), std::string(127, 'a'));
    EXPECT_EQ(std::string(Root()->text), std::string(126, 'a'));
}

TEST_F(XcfgTree, LongSiblingRunAndDeepNestingAreFreedWithoutRecursion)
{
    std::string siblings = "<m>";
    for (int i = 0; i < 200000; ++i)
        siblings += "<s a=\"1\"/>";
    Load(siblings + "</m>");

    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<d>";
    for (int i = 0; i < 100000; ++i)
        nested += "</d>";
    Load(nested);
    int depth = 0;
    for (XcfgNode* node = Root(); node; node = node->first_child)
        ++depth;
    EXPECT_EQ(depth, 100000);
    document.Clear();
    EXPECT_EQ(Root(), nullptr);
}

TEST_F(XcfgTree, CheckRootComparesAtMost128Characters)
{
    EXPECT_EQ(XcfgCheckRoot(&document, "mappings"), XCFG_NO_ROOT);
    Load("<mappings/>");
    EXPECT_EQ(XcfgCheckRoot(&document, "mappings"), 0);
    EXPECT_EQ(XcfgCheckRoot(&document, "mapping"), XCFG_WRONG_ROOT);
    EXPECT_EQ(XcfgCheckRoot(&document, "mappingsX"), XCFG_WRONG_ROOT);
    const std::string long_name(200, 'r');
    Load("<" + long_name + "/>");
    EXPECT_EQ(XcfgCheckRoot(&document, long_name.c_str()), 0);
    EXPECT_EQ(XcfgCheckRoot(&document, long_name.substr(0, 128).c_str()), 0);
    EXPECT_EQ(XcfgCheckRoot(&document, long_name.substr(0, 127).c_str()), XCFG_WRONG_ROOT);
}

TEST_F(XcfgTree, FindPathStepsOneChildLevelPerNameToTheFirstExactMatch)
{
    Load("<mappings><other/><triggerings><note/><Trigger/><triggers/><trigger n=\"1\"/>"
         "<trigger n=\"2\"/></triggerings><triggerings><trigger n=\"3\"/></triggerings>"
         "<a><b><c/></b></a></mappings>");
    XcfgNode* found = kStale;
    ASSERT_EQ(XcfgFindPath(&found, Root(), 2, "triggerings", "trigger"), 0);
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->name, "trigger");
    EXPECT_STREQ(found->attributes[0].value, "1");
    ASSERT_EQ(XcfgFindPath(&found, Root(), 3, "a", "b", "c"), 0);
    EXPECT_STREQ(found->name, "c");
    // Each step looks at children only; failure leaves null.
    const struct
    {
        XcfgNode* start;
        int count;
        const char *first, *second;
    } misses[] = {{Root(), 1, "b", nullptr},
                  {Root(), 2, "a", "c"},
                  {nullptr, 1, "a", nullptr},
                  {Root(), 0, "a", nullptr}};
    for (const auto& miss : misses) {
        found = kStale;
        EXPECT_EQ(XcfgFindPath(&found, miss.start, miss.count, miss.first, miss.second),
                  XCFG_NOT_FOUND)
            << miss.first;
        EXPECT_EQ(found, nullptr);
    }
}

TEST_F(XcfgTree, FindPathWithCountZeroSearchesTheStartAndItsFollowingSiblings)
{
    Load("<m><a/><b/><c><b/></c></m>");
    XcfgNode* a = Root()->first_child;
    XcfgNode* found = nullptr;
    ASSERT_EQ(XcfgFindPath(&found, a, 0, "a"), 0);
    EXPECT_EQ(found, a);
    ASSERT_EQ(XcfgFindPath(&found, a, 0, "c"), 0);
    EXPECT_EQ(found, a->next->next);
    EXPECT_EQ(XcfgFindPath(&found, a->next->next, 0, "a"), XCFG_NOT_FOUND);
}

TEST_F(XcfgTree, GetAttributeCopiesTheValueOrTextCutWithinTheSize)
{
    Load("<m protocol=\"TCP and UDP\" empty=\"\" v=\"abcdefgh\" e=\"x\xC3\xA9\">body</m>");
    char buffer[32];
    ASSERT_EQ(XcfgGetAttribute(Root(), "protocol", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "TCP and UDP");
    std::memset(buffer, 'z', sizeof buffer);
    ASSERT_EQ(XcfgGetAttribute(Root(), "empty", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    ASSERT_EQ(XcfgGetAttribute(Root(), nullptr, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "body");

    std::memset(buffer, 'z', sizeof buffer);
    ASSERT_EQ(XcfgGetAttribute(Root(), "v", buffer, 5), 0);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], 'z'); // nothing written past the size
    ASSERT_EQ(XcfgGetAttribute(Root(), "v", buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    // "é" takes two bytes: with room for two characters only "x" fits whole.
    ASSERT_EQ(XcfgGetAttribute(Root(), "e", buffer, 3), 0);
    EXPECT_STREQ(buffer, "x");
    ASSERT_EQ(XcfgGetAttribute(Root(), "e", buffer, 4), 0);
    EXPECT_STREQ(buffer, "x\xC3\xA9");

    std::strcpy(buffer, "keep"); // an absent name leaves the buffer
    EXPECT_EQ(XcfgGetAttribute(Root(), "Protocol", buffer, sizeof buffer), XCFG_NOT_FOUND);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(XcfgGetAttribute(nullptr, "protocol", buffer, sizeof buffer), XCFG_NOT_FOUND);
}

} // namespace
