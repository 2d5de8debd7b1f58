// Loading files with the XCFG reader: return codes, traced texts, how the file
// is fed to the parser, and allocation failures inside the callbacks.

#include "config/core/XcfgReader.h"
#include "config/core/XcfgTestHooks.h"
#include "tests/config/TraceCapture.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using velmora::test::TempDir;
using velmora::test::TraceCapture;
namespace hooks = velmora::xcfg_hooks;

using Piece = std::pair<size_t, bool>;

class XcfgLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hooks::SetPieceObserver(
            [this](size_t bytes, bool is_final) { pieces.emplace_back(bytes, is_final); });
    }
    void TearDown() override { hooks::ResetHooks(); }

    int Load(const std::string& bytes)
    {
        dir.write("x.xml", bytes);
        return XcfgLoadFile(&document, dir.file("x.xml").c_str());
    }

    // A well-formed document of exactly `size` bytes: <m>, blanks, </m>.
    static std::string DocumentOfSize(size_t size)
    {
        return "<m>" + std::string(size - 7, ' ') + "</m>";
    }

    TempDir dir;
    XcfgDocument document;
    std::vector<Piece> pieces;
    TraceCapture trace;
};

TEST_F(XcfgLoad, SmallFileIsOneFinalPieceAndStampsTheDocument)
{
    EXPECT_EQ(Load("<m/>"), 0);
    EXPECT_EQ(pieces, (std::vector<Piece>{{4, true}}));
    EXPECT_EQ(document.magic, XCFG_MAGIC);
    ASSERT_NE(document.root, nullptr);
    EXPECT_EQ(document.root->magic, XCFG_MAGIC);
    EXPECT_TRUE(trace.lines.empty());
}

TEST_F(XcfgLoad, FileOf3000BytesGoesIn1024And1024And952)
{
    EXPECT_EQ(Load(DocumentOfSize(3000)), 0);
    EXPECT_EQ(pieces, (std::vector<Piece>{{1024, false}, {1024, false}, {952, true}}));
}

TEST_F(XcfgLoad, FileOfExactly2048BytesEndsWithAnEmptyFinalPiece)
{
    EXPECT_EQ(Load(DocumentOfSize(2048)), 0);
    EXPECT_EQ(pieces, (std::vector<Piece>{{1024, false}, {1024, false}, {0, true}}));
    EXPECT_STREQ(document.root->name, "m");
}

TEST_F(XcfgLoad, ElementSplitAcrossPiecesIsReadWhole)
{
    std::string text = "<m>" + std::string(1015, ' ') + "<item value=\"across the cut\"/></m>";
    EXPECT_EQ(Load(text), 0);
    ASSERT_EQ(pieces.size(), 2u);
    ASSERT_NE(document.root->first_child, nullptr);
    char value[64];
    EXPECT_EQ(XcfgGetAttribute(document.root->first_child, "value", value, sizeof value), 0);
    EXPECT_STREQ(value, "across the cut");
}

TEST_F(XcfgLoad, EmptyFileHasNoElementAndNoRoot)
{
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(pieces, (std::vector<Piece>{{0, true}}));
    EXPECT_EQ(document.root, nullptr);
    EXPECT_EQ(XcfgCheckRoot(&document, "mappings"), XCFG_NO_ROOT);
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "[TQZ.XCFG] 解析失败! 错误信息: `" + dir.file("x.xml") +
                                  "' at 1, 0: no element found\n");
}

TEST_F(XcfgLoad, MalformedTextTracesLineAndColumnAndKeepsThePartialTree)
{
    EXPECT_EQ(Load("<m>\n<a/>\n<b></c></m>"), -1);
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "[TQZ.XCFG] 解析失败! 错误信息: `" + dir.file("x.xml") +
                                  "' at 3, 5: mismatched tag\n");
    ASSERT_NE(document.root, nullptr);
    ASSERT_NE(document.root->first_child, nullptr);
    EXPECT_STREQ(document.root->first_child->name, "a");
    ASSERT_NE(document.root->first_child->next, nullptr);
    EXPECT_STREQ(document.root->first_child->next->name, "b");
}

TEST_F(XcfgLoad, MissingFileReturnsErrnoAndTracesTheOpen)
{
    std::string path = dir.file("absent.xml");
    EXPECT_EQ(XcfgLoadFile(&document, path.c_str()), ENOENT);
    EXPECT_EQ(document.magic, XCFG_MAGIC);
    EXPECT_EQ(document.root, nullptr);
    EXPECT_TRUE(pieces.empty());
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "[TQZ.XCFG] 打开文件[" + path + "]失败[errno: 2]!\n");
}

TEST_F(XcfgLoad, UnreadableFileReturnsErrnoAndTracesTheRead)
{
    // A folder opens for reading but cannot be read.
    std::string path = dir.path();
    EXPECT_EQ(XcfgLoadFile(&document, path.c_str()), EISDIR);
    EXPECT_TRUE(pieces.empty());
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "[TQZ.XCFG] 读文件[" + path + "]失败[errno: 21]!\n");
}

TEST_F(XcfgLoad, LoadingAgainReplacesTheTree)
{
    ASSERT_EQ(Load("<first><a/></first>"), 0);
    ASSERT_EQ(Load("<second/>"), 0);
    EXPECT_STREQ(document.root->name, "second");
    EXPECT_EQ(document.root->first_child, nullptr);
    ASSERT_EQ(XcfgLoadFile(&document, dir.file("absent.xml").c_str()), ENOENT);
    EXPECT_EQ(document.root, nullptr);
}

TEST_F(XcfgLoad, Latin1DeclaredFileComesBackAsUtf8)
{
    EXPECT_EQ(Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><m v=\"Caf\xE9\">na\xEFve</m>"),
              0);
    char value[16];
    ASSERT_EQ(XcfgGetAttribute(document.root, "v", value, sizeof value), 0);
    EXPECT_STREQ(value, "Caf\xC3\xA9");
    EXPECT_STREQ(document.root->text, "na\xC3\xAFve");
}

TEST_F(XcfgLoad, NodeAllocationFailureStopsTheTreeAfterTheCurrentPiece)
{
    hooks::FailAllocation(hooks::Allocation::Node, 2);
    // <c> fails in the first piece; the rest of the file is never parsed.
    std::string text = "<m><a/><c/><d/>" + std::string(2000, ' ') + "<e/></m>";
    EXPECT_EQ(Load(text), ENOMEM);
    EXPECT_EQ(pieces, (std::vector<Piece>{{1024, false}}));
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "[TQZ.XCFG] 分配新 TAG 结点失败[errno: 12]!\n");
    ASSERT_NE(document.root, nullptr);
    ASSERT_NE(document.root->first_child, nullptr);
    EXPECT_STREQ(document.root->first_child->name, "a");
    EXPECT_EQ(document.root->first_child->next, nullptr); // <c>, <d>, <e> were ignored
}

TEST_F(XcfgLoad, AttributeListFailureDropsTheNode)
{
    hooks::FailAllocation(hooks::Allocation::AttributeList, 1);
    EXPECT_EQ(Load("<m k=\"1\"><a k=\"2\"/><b/></m>"), ENOMEM);
    ASSERT_EQ(trace.lines.size(), 1u);
    EXPECT_EQ(trace.lines[0], "[TQZ.XCFG] 分配结点属性列表失败[errno: 12]!\n");
    ASSERT_NE(document.root, nullptr);
    EXPECT_EQ(document.root->attribute_count, 1);
    EXPECT_EQ(document.root->first_child, nullptr); // <a> was freed, <b> ignored
}

TEST_F(XcfgLoad, ElementWithoutAttributesNeedsNoAttributeList)
{
    hooks::FailAllocation(hooks::Allocation::AttributeList, 0);
    EXPECT_EQ(Load("<m><a/></m>"), 0);
    EXPECT_EQ(document.root->attribute_count, 0);
    EXPECT_EQ(document.root->attributes, nullptr);
}

using XcfgLoadDeathTest = XcfgLoad;

TEST_F(XcfgLoadDeathTest, StackEntryFailureEndsTheProcessWithErrno)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    dir.write("x.xml", "<m><a/></m>");
    std::string path = dir.file("x.xml");
    EXPECT_EXIT(
        {
            hooks::FailAllocation(hooks::Allocation::StackEntry, 1);
            XcfgDocument doc;
            XcfgLoadFile(&doc, path.c_str());
        },
        ::testing::ExitedWithCode(ENOMEM), "");
}

} // namespace
