// Loading files with the XCFG reader: return codes, traced texts, how the file
// is fed to the parser, and allocation failures inside the callbacks.

#include "config/core/XcfgReader.h"
#include "config/core/XcfgTestHooks.h"
#include "platform/DebugTrace.h"
#include "tests/support/TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace {

using velmora::test::TempDir;
namespace hooks = velmora::xcfg_hooks;

using Piece = std::pair<size_t, bool>;
using Pieces = std::vector<Piece>;

class XcfgLoad : public ::testing::Test
{
protected:
    void SetUp() override
    {
        hooks::SetPieceObserver(
            [this](size_t bytes, bool is_final) { pieces.emplace_back(bytes, is_final); });
        velmora::SetDebugTraceSink([this](const std::string& line) { trace.push_back(line); });
    }
    void TearDown() override
    {
        hooks::ResetHooks();
        velmora::SetDebugTraceSink({});
    }

    int Load(const std::string& bytes)
    {
        pieces.clear();
        trace.clear();
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
    Pieces pieces;
    std::vector<std::string> trace;
};

TEST_F(XcfgLoad, FileGoesToTheParserIn1024BytePiecesAndStampsTheDocument)
{
    const std::pair<size_t, Pieces> cases[] = {
        {4, {{4, true}}},
        {3000, {{1024, false}, {1024, false}, {952, true}}},
        {2048, {{1024, false}, {1024, false}, {0, true}}}, // ends with an empty final piece
    };
    for (const auto& [size, expected] : cases) {
        EXPECT_EQ(Load(size == 4 ? "<m/>" : DocumentOfSize(size)), 0) << size;
        EXPECT_EQ(pieces, expected) << size;
        EXPECT_EQ(document.magic, XCFG_MAGIC);
        ASSERT_NE(document.root, nullptr);
        EXPECT_STREQ(document.root->name, "m");
        EXPECT_TRUE(trace.empty());
    }
    // An element split across two pieces is read whole.
    EXPECT_EQ(Load("<m>" + std::string(1015, ' ') + "<item value=\"across the cut\"/></m>"), 0);
    ASSERT_EQ(pieces.size(), 2u);
    char value[64];
    EXPECT_EQ(XcfgGetAttribute(document.root->first_child, "value", value, sizeof value), 0);
    EXPECT_STREQ(value, "across the cut");
}

TEST_F(XcfgLoad, FailuresGiveTheirCodeAndTraceTheirText)
{
    const std::string file = dir.file("x.xml");
    EXPECT_EQ(Load(""), -1);
    EXPECT_EQ(pieces, (Pieces{{0, true}}));
    EXPECT_EQ(document.root, nullptr);
    EXPECT_EQ(XcfgCheckRoot(&document, "mappings"), XCFG_NO_ROOT);
    EXPECT_EQ(trace, std::vector<std::string>{"[TQZ.XCFG] 解析失败! 错误信息: `" + file +
                                              "' at 1, 0: no element found\n"});

    // Not well-formed: line and column, and the tree built so far stays.
    EXPECT_EQ(Load("<m>\n<a/>\n<b></c></m>"), -1);
    EXPECT_EQ(trace, std::vector<std::string>{"[TQZ.XCFG] 解析失败! 错误信息: `" + file +
                                              "' at 3, 5: mismatched tag\n"});
    ASSERT_NE(document.root, nullptr);
    ASSERT_NE(document.root->first_child, nullptr);
    EXPECT_STREQ(document.root->first_child->name, "a");
    ASSERT_NE(document.root->first_child->next, nullptr);
    EXPECT_STREQ(document.root->first_child->next->name, "b");

    trace.clear();
    const std::string absent = dir.file("absent.xml");
    EXPECT_EQ(XcfgLoadFile(&document, absent.c_str()), ENOENT);
    EXPECT_EQ(document.magic, XCFG_MAGIC);
    EXPECT_EQ(document.root, nullptr); // the earlier tree is gone
    EXPECT_EQ(trace,
              std::vector<std::string>{"[TQZ.XCFG] 打开文件[" + absent + "]失败[errno: 2]!\n"});

    // A folder opens for reading but cannot be read.
    trace.clear();
    pieces.clear();
    EXPECT_EQ(XcfgLoadFile(&document, dir.path().c_str()), EISDIR);
    EXPECT_TRUE(pieces.empty());
    EXPECT_EQ(trace,
              std::vector<std::string>{"[TQZ.XCFG] 读文件[" + dir.path() + "]失败[errno: 21]!\n"});
}

TEST_F(XcfgLoad, NodeAllocationFailureStopsTheTreeAfterTheCurrentPiece)
{
    hooks::FailAllocation(hooks::Allocation::Node, 2);
    // <c> fails in the first piece; the rest of the file is never parsed.
    EXPECT_EQ(Load("<m><a/><c/><d/>" + std::string(2000, ' ') + "<e/></m>"), ENOMEM);
    EXPECT_EQ(pieces, (Pieces{{1024, false}}));
    EXPECT_EQ(trace, std::vector<std::string>{"[TQZ.XCFG] 分配新 TAG 结点失败[errno: 12]!\n"});
    ASSERT_NE(document.root, nullptr);
    ASSERT_NE(document.root->first_child, nullptr);
    EXPECT_STREQ(document.root->first_child->name, "a");
    EXPECT_EQ(document.root->first_child->next, nullptr); // <c>, <d>, <e> were ignored
}

TEST_F(XcfgLoad, AttributeListFailureDropsTheNode)
{
    hooks::FailAllocation(hooks::Allocation::AttributeList, 0);
    EXPECT_EQ(Load("<m><a/></m>"), 0); // no attributes, no list needed
    EXPECT_EQ(document.root->attributes, nullptr);

    hooks::FailAllocation(hooks::Allocation::AttributeList, 1);
    EXPECT_EQ(Load("<m k=\"1\"><a k=\"2\"/><b/></m>"), ENOMEM);
    EXPECT_EQ(trace, std::vector<std::string>{"[TQZ.XCFG] 分配结点属性列表失败[errno: 12]!\n"});
    ASSERT_NE(document.root, nullptr);
    EXPECT_EQ(document.root->attribute_count, 1);
    EXPECT_EQ(document.root->first_child, nullptr); // <a> was freed, <b> ignored
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
