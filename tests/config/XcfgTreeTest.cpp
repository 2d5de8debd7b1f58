// The shape of the XCFG tree: siblings and children, element text, the
// 128-character cuts, and freeing large trees.

#include "config/core/XcfgReader.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using velmora::test::TempDir;

class XcfgTree : public ::testing::Test
{
protected:
    int Load(const std::string& bytes)
    {
        dir.write("x.xml", bytes);
        return XcfgLoadFile(&document, dir.file("x.xml").c_str());
    }

    XcfgNode* Root() { return document.root; }

    TempDir dir;
    XcfgDocument document;
};

TEST_F(XcfgTree, ChildrenAndSiblingsFollowTheDocument)
{
    ASSERT_EQ(Load("<m><a><b/></a><c/></m>"), 0);
    XcfgNode* m = Root();
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->name, "m");
    EXPECT_EQ(m->next, nullptr);
    XcfgNode* a = m->first_child;
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->name, "a");
    ASSERT_NE(a->first_child, nullptr);
    EXPECT_STREQ(a->first_child->name, "b");
    EXPECT_EQ(a->first_child->next, nullptr);
    EXPECT_EQ(a->first_child->first_child, nullptr);
    XcfgNode* c = a->next;
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->name, "c");
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(c->first_child, nullptr);
}

TEST_F(XcfgTree, SiblingAfterADeepSubtreeJoinsItsOwnLevel)
{
    ASSERT_EQ(Load("<m><a><b><x/><y/></b></a><c><d/></c><e/></m>"), 0);
    XcfgNode* a = Root()->first_child;
    XcfgNode* b = a->first_child;
    EXPECT_STREQ(b->first_child->name, "x");
    EXPECT_STREQ(b->first_child->next->name, "y");
    EXPECT_EQ(b->next, nullptr);
    XcfgNode* c = a->next;
    ASSERT_NE(c, nullptr);
    EXPECT_STREQ(c->name, "c");
    EXPECT_STREQ(c->first_child->name, "d");
    ASSERT_NE(c->next, nullptr);
    EXPECT_STREQ(c->next->name, "e");
    EXPECT_EQ(c->next->next, nullptr);
}

TEST_F(XcfgTree, AttributesKeepDocumentOrderAndAreStamped)
{
    ASSERT_EQ(Load("<m z=\"1\" a=\"2\" m=\"\"/>"), 0);
    ASSERT_EQ(Root()->attribute_count, 3);
    const XcfgAttribute* list = Root()->attributes;
    EXPECT_STREQ(list[0].name, "z");
    EXPECT_STREQ(list[0].value, "1");
    EXPECT_STREQ(list[1].name, "a");
    EXPECT_STREQ(list[2].name, "m");
    EXPECT_STREQ(list[2].value, "");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list[i].magic, XCFG_MAGIC);
}

TEST_F(XcfgTree, EntitiesInValuesAreDecoded)
{
    ASSERT_EQ(Load("<m v=\"a&amp;b&quot;c&lt;d&gt;e&#233;&#x6771;\"/>"), 0);
    EXPECT_STREQ(Root()->attributes[0].value, "a&b\"c<d>e\xC3\xA9\xE6\x9D\xB1");
}

TEST_F(XcfgTree, TextKeepsInnerSpacesAndDropsOuterBlanks)
{
    ASSERT_EQ(Load("<m><a>a b</a><b>  x\n</b><c>\t y z \t\n</c></m>"), 0);
    XcfgNode* a = Root()->first_child;
    EXPECT_STREQ(a->text, "a b");
    EXPECT_STREQ(a->next->text, "x");
    EXPECT_STREQ(a->next->next->text, "y z");
}

TEST_F(XcfgTree, CarriageReturnIsNotABlank)
{
    ASSERT_EQ(Load("<m>x&#13;</m>"), 0);
    EXPECT_EQ(std::string(Root()->text).back(), '\r');
}

TEST_F(XcfgTree, BlankRunChangesNothing)
{
    ASSERT_EQ(Load("<m>x<a/>   \n  </m>"), 0);
    EXPECT_STREQ(Root()->text, "x");
    EXPECT_STREQ(Root()->first_child->text, "");
}

TEST_F(XcfgTree, TextAfterAChildsEndTagGoesToThatChild)
{
    ASSERT_EQ(Load("<m><a/>tail</m>"), 0);
    EXPECT_STREQ(Root()->text, "");
    EXPECT_STREQ(Root()->first_child->text, "tail");
}

TEST_F(XcfgTree, NamesValuesAndTextAreCutTo128Characters)
{
    const std::string long_name(200, 'n');
    const std::string long_value(200, 'v');
    const std::string long_text(200, 't');
    ASSERT_EQ(Load("<" + long_name + " " + long_name + "=\"" + long_value + "\">" + long_text +
                   "</" + long_name + ">"),
              0);
    EXPECT_EQ(std::string(Root()->name), long_name.substr(0, 128));
    EXPECT_EQ(std::string(Root()->attributes[0].name), long_name.substr(0, 128));
    EXPECT_EQ(std::string(Root()->attributes[0].value), long_value.substr(0, 128));
    EXPECT_EQ(std::string(Root()->text), long_text.substr(0, 128));
}

TEST_F(XcfgTree, CutNeverSplitsAMultibyteCharacter)
{
    const std::string tokyo = "\xE6\x9D\xB1";                // three bytes
    const std::string fits = std::string(125, 'a') + tokyo;  // 128 bytes: kept whole
    const std::string over1 = std::string(126, 'a') + tokyo; // would be cut after 2 of 3 bytes
    const std::string over2 = std::string(127, 'a') + tokyo; // would be cut after 1 of 3 bytes
    ASSERT_EQ(
        Load("<m a=\"" + fits + "\" b=\"" + over1 + "\" c=\"" + over2 + "\">" + over1 + "</m>"), 0);
    EXPECT_EQ(std::string(Root()->attributes[0].value), fits);
    EXPECT_EQ(std::string(Root()->attributes[1].value), std::string(126, 'a'));
    EXPECT_EQ(std::string(Root()->attributes[2].value), std::string(127, 'a'));
    EXPECT_EQ(std::string(Root()->text), std::string(126, 'a'));
}

TEST_F(XcfgTree, EveryNodeIsStamped)
{
    ASSERT_EQ(Load("<m><a><b/></a><c/></m>"), 0);
    EXPECT_EQ(Root()->magic, XCFG_MAGIC);
    EXPECT_EQ(Root()->first_child->magic, XCFG_MAGIC);
    EXPECT_EQ(Root()->first_child->first_child->magic, XCFG_MAGIC);
    EXPECT_EQ(Root()->first_child->next->magic, XCFG_MAGIC);
}

TEST_F(XcfgTree, LongSiblingRunAndDeepNestingAreFreedWithoutRecursion)
{
    std::string siblings = "<m>";
    for (int i = 0; i < 200000; ++i)
        siblings += "<s a=\"1\"/>";
    siblings += "</m>";
    ASSERT_EQ(Load(siblings), 0);

    std::string nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<d>";
    for (int i = 0; i < 100000; ++i)
        nested += "</d>";
    ASSERT_EQ(Load(nested), 0);
    int depth = 0;
    for (XcfgNode* node = Root(); node; node = node->first_child)
        ++depth;
    EXPECT_EQ(depth, 100000);
    document.Clear();
    EXPECT_EQ(Root(), nullptr);
}

} // namespace
