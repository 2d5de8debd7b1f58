// Questions about a loaded tree: XcfgCheckRoot, XcfgFindPath, XcfgGetAttribute.

#include "config/core/XcfgReader.h"
#include "tests/support/TempDir.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using velmora::test::TempDir;

class XcfgQuery : public ::testing::Test
{
protected:
    void Load(const std::string& bytes)
    {
        dir.write("x.xml", bytes);
        ASSERT_EQ(XcfgLoadFile(&document, dir.file("x.xml").c_str()), 0);
    }

    TempDir dir;
    XcfgDocument document;
};

// A node pointer that is neither null nor valid, to see the out-pointer reset.
XcfgNode* const kStale = reinterpret_cast<XcfgNode*>(uintptr_t{0x1});

TEST_F(XcfgQuery, CheckRootAnswersZeroOrWrongRoot)
{
    Load("<mappings/>");
    EXPECT_EQ(XcfgCheckRoot(&document, "mappings"), 0);
    EXPECT_EQ(XcfgCheckRoot(&document, "mapping"), XCFG_WRONG_ROOT);
    EXPECT_EQ(XcfgCheckRoot(&document, "mappingsX"), XCFG_WRONG_ROOT);
    EXPECT_EQ(XCFG_WRONG_ROOT, 22);
}

TEST_F(XcfgQuery, CheckRootWithoutARootAnswers2024)
{
    XcfgDocument empty;
    EXPECT_EQ(XcfgCheckRoot(&empty, "mappings"), 2024);
}

TEST_F(XcfgQuery, CheckRootComparesAtMost128Characters)
{
    const std::string long_name(200, 'r');
    Load("<" + long_name + "/>");
    EXPECT_EQ(XcfgCheckRoot(&document, long_name.c_str()), 0);
    EXPECT_EQ(XcfgCheckRoot(&document, long_name.substr(0, 128).c_str()), 0);
    EXPECT_EQ(XcfgCheckRoot(&document, long_name.substr(0, 127).c_str()), XCFG_WRONG_ROOT);
}

TEST_F(XcfgQuery, FindPathWithTwoNamesFindsTheFirstTriggerOfTheFirstTriggerings)
{
    Load("<mappings><other/><triggerings><note/><trigger n=\"1\"/><trigger n=\"2\"/></triggerings>"
         "<triggerings><trigger n=\"3\"/></triggerings></mappings>");
    XcfgNode* found = kStale;
    ASSERT_EQ(XcfgFindPath(&found, document.root, 2, "triggerings", "trigger"), 0);
    ASSERT_NE(found, nullptr);
    EXPECT_STREQ(found->name, "trigger");
    EXPECT_STREQ(found->attributes[0].value, "1");
}

TEST_F(XcfgQuery, FindPathStepsOneLevelPerName)
{
    Load("<m><a><b><c/></b></a></m>");
    XcfgNode* found = nullptr;
    ASSERT_EQ(XcfgFindPath(&found, document.root, 3, "a", "b", "c"), 0);
    EXPECT_STREQ(found->name, "c");
    // A name one level too deep is not found: each step looks at children only.
    EXPECT_EQ(XcfgFindPath(&found, document.root, 1, "b"), XCFG_NOT_FOUND);
    EXPECT_EQ(found, nullptr);
}

TEST_F(XcfgQuery, FindPathFailureLeavesNull)
{
    Load("<m><a/></m>");
    XcfgNode* found = kStale;
    EXPECT_EQ(XcfgFindPath(&found, document.root, 2, "a", "missing"), 2010);
    EXPECT_EQ(found, nullptr);
    found = kStale;
    EXPECT_EQ(XcfgFindPath(&found, nullptr, 1, "a"), XCFG_NOT_FOUND);
    EXPECT_EQ(found, nullptr);
}

TEST_F(XcfgQuery, FindPathWithCountZeroSearchesTheStartAndItsSiblings)
{
    Load("<m><a/><b/><c><b/></c></m>");
    XcfgNode* a = document.root->first_child;
    XcfgNode* found = nullptr;
    ASSERT_EQ(XcfgFindPath(&found, a, 0, "a"), 0);
    EXPECT_EQ(found, a);
    ASSERT_EQ(XcfgFindPath(&found, a, 0, "c"), 0);
    EXPECT_STREQ(found->name, "c");
    EXPECT_EQ(XcfgFindPath(&found, a->next->next, 0, "a"), XCFG_NOT_FOUND); // only following
    EXPECT_EQ(XcfgFindPath(&found, document.root, 0, "b"), XCFG_NOT_FOUND); // not children
}

TEST_F(XcfgQuery, FindPathNamesMatchExactly)
{
    Load("<m><Trigger/><triggers/><trigger/></m>");
    XcfgNode* found = nullptr;
    ASSERT_EQ(XcfgFindPath(&found, document.root, 1, "trigger"), 0);
    EXPECT_EQ(found, document.root->first_child->next->next);
}

TEST_F(XcfgQuery, GetAttributeCopiesTheNamedValue)
{
    Load("<m protocol=\"TCP and UDP\" empty=\"\">body</m>");
    char buffer[32];
    ASSERT_EQ(XcfgGetAttribute(document.root, "protocol", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "TCP and UDP");
    std::memset(buffer, 'z', sizeof buffer);
    ASSERT_EQ(XcfgGetAttribute(document.root, "empty", buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    ASSERT_EQ(XcfgGetAttribute(document.root, nullptr, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "body");
}

TEST_F(XcfgQuery, GetAttributeOfAnAbsentNameLeavesTheBuffer)
{
    Load("<m protocol=\"TCP\"/>");
    char buffer[8] = "keep";
    EXPECT_EQ(XcfgGetAttribute(document.root, "Protocol", buffer, sizeof buffer), 2010);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(XcfgGetAttribute(nullptr, "protocol", buffer, sizeof buffer), XCFG_NOT_FOUND);
}

TEST_F(XcfgQuery, GetAttributeAlwaysTerminatesWithinTheSize)
{
    Load("<m v=\"abcdefgh\" e=\"x\xC3\xA9\"/>");
    char buffer[8];
    std::memset(buffer, 'z', sizeof buffer);
    ASSERT_EQ(XcfgGetAttribute(document.root, "v", buffer, 5), 0);
    EXPECT_STREQ(buffer, "abcd");
    EXPECT_EQ(buffer[5], 'z'); // nothing written past the size
    ASSERT_EQ(XcfgGetAttribute(document.root, "v", buffer, 1), 0);
    EXPECT_STREQ(buffer, "");
    // "é" takes two bytes: with room for two characters only "x" fits whole.
    ASSERT_EQ(XcfgGetAttribute(document.root, "e", buffer, 3), 0);
    EXPECT_STREQ(buffer, "x");
    ASSERT_EQ(XcfgGetAttribute(document.root, "e", buffer, 4), 0);
    EXPECT_STREQ(buffer, "x\xC3\xA9");
}

} // namespace
