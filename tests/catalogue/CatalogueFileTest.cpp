#include "catalogue/core/CatalogueFile.h"

#include "catalogue/core/CatalogueLine.h"
#include "platform/DebugTrace.h"
#include "tests/support/TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

using velmora::CatalogueRecord;
using velmora::test::TempDir;

namespace {

std::vector<CatalogueRecord> Read(const std::string& path, const char* filter = "ALL")
{
    std::vector<CatalogueRecord> records;
    EXPECT_TRUE(velmora::ReadCatalogue(path, filter, records));
    return records;
}

std::vector<std::string> Names(const std::vector<CatalogueRecord>& records)
{
    std::vector<std::string> names;
    for (const auto& record : records)
        names.push_back(record.name);
    return names;
}

// Collects DebugTrace lines while alive.
struct TraceCapture
{
    TraceCapture()
    {
        velmora::SetDebugTraceSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~TraceCapture() { velmora::SetDebugTraceSink({}); }
    std::vector<std::string> lines;
};

} // namespace

TEST(CatalogueLine, SplitsAtBarsSkippingEmptyPieces)
{
    struct Case
    {
        const char* line;
        CatalogueRecord expected;
    } cases[] = {
        {"Apache|80,443|\n", {"Apache", "80,443", "\n"}},
        {"DNS| |53\n", {"DNS", " ", "53\n"}},
        {"DNS||53\n", {"DNS", "53\n", ""}},
        {"|lead|x", {"lead", "x", ""}},
        {"a|b|c|d\n", {"a", "b", "c"}},
        {"name only\n", {"name only\n", "", ""}},
        {"\n", {"\n", "", ""}},
        {"", {"", "", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velmora::SplitCatalogueLine(c.line), c.expected) << c.line;
}

TEST(CatalogueLine, FilterComparesFirstCharacterAndItsLowerCase)
{
    struct Case
    {
        const char* name;
        const char* filter;
        bool kept;
    } cases[] = {
        {"Apache", "A", true},
        {"aMule", "A", true},
        {"Bitcoin", "A", false},
        {"apache", "a", true},
        {"Apache", "a", false},
        {"7 Days", "7", true},
        {"7 Days", "ALL", true},
        {"\n", "ALL", true},
        {"\n", "A", false},
        {"", "A", false},
        {"\xC3\x84rger", "A", false},
        {"\xC3\x89mile", "\xC3\x89", true},
        {"\xC3\x89mile", "\xC3\x88", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velmora::PassesCatalogueFilter(c.name, c.filter), c.kept)
            << c.name << " / " << c.filter;
}

TEST(CatalogueFile, MissingFileIsCreatedEmpty)
{
    TempDir dir;
    EXPECT_TRUE(Read(dir.file("ports_list.txt")).empty());
    ASSERT_TRUE(std::filesystem::exists(dir.file("ports_list.txt")));
    EXPECT_EQ(std::filesystem::file_size(dir.file("ports_list.txt")), 0u);
}

TEST(CatalogueFile, UnopenableFileIsTracedAndLeavesTheRecords)
{
    TempDir dir;
    const std::string path = dir.file("no such folder/ports_list.txt");
    TraceCapture trace;
    std::vector<CatalogueRecord> records{{"kept", "1", "2"}};
    EXPECT_FALSE(velmora::ReadCatalogue(path, "ALL", records));
    EXPECT_EQ(records.size(), 1u);
    EXPECT_EQ(velmora::AppendCatalogueLine(path, "Web", "80", ""), -1);
    EXPECT_EQ(trace.lines,
              (std::vector<std::string>{"open idx errno is 2\n", "open idx errno is 2\n"}));
}

TEST(CatalogueFile, EmptyTcpPortsAreWrittenAsOneSpace)
{
    TempDir dir;
    const auto path = dir.file("ports_list.txt");
    EXPECT_EQ(velmora::AppendCatalogueLine(path, "DNS", "", "53"), 0);
    EXPECT_EQ(velmora::AppendCatalogueLine(path, "Web", "80,443", ""), 0);
    EXPECT_EQ(dir.read("ports_list.txt"), "DNS| |53\nWeb|80,443|\n");
    const auto records = Read(path);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0], (CatalogueRecord{"DNS", " ", "53\n"}));
    EXPECT_EQ(records[1], (CatalogueRecord{"Web", "80,443", "\n"}));
}

// A new line never runs on from a last line without its end; a write that
// fails says why.
TEST(CatalogueFile, AppendsOnALineOfItsOwnOrSaysWhyNot)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", "Web|80|\n"}, {"A|1|\n", "A|1|\nWeb|80|\n"}, {"A|1|", "A|1|\nWeb|80|\n"}};
    for (const auto& [before, after] : cases) {
        TempDir dir;
        dir.write("ports_list.txt", before);
        EXPECT_EQ(velmora::AppendCatalogueLine(dir.file("ports_list.txt"), "Web", "80", ""), 0);
        EXPECT_EQ(dir.read("ports_list.txt"), after);
    }
    std::string reason;
    EXPECT_EQ(velmora::AppendCatalogueLine("/dev/full", "Web", "80", "", &reason), -1);
    EXPECT_EQ(reason, "No space left on device");
}

TEST(CatalogueFile, FilterKeepsFileOrderAndEmptyLinesShowUnderAll)
{
    TempDir dir;
    dir.write("ports_list.txt", "Apache|80|\n\nBitcoin|8333|\naMule|4662|4672\n");
    const auto path = dir.file("ports_list.txt");
    EXPECT_EQ(Names(Read(path, "A")), (std::vector<std::string>{"Apache", "aMule"}));
    EXPECT_EQ(Names(Read(path, "ALL")),
              (std::vector<std::string>{"Apache", "\n", "Bitcoin", "aMule"}));
    EXPECT_TRUE(Read(path, "7").empty());
}

TEST(CatalogueFile, LongLinesAreReadInPiecesOfTheLimit)
{
    TempDir dir;
    const std::string ascii(1500, 'x');
    // 1022 bytes, then a two-byte character the limit would cut in half.
    const std::string wide = std::string(1022, 'y') + "\xC3\xA9" + "z";
    dir.write("ports_list.txt", ascii + "\n" + wide + "\n");
    const auto records = Read(dir.file("ports_list.txt"));
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].name, std::string(1023, 'x'));
    EXPECT_EQ(records[1].name, std::string(477, 'x') + "\n");
    EXPECT_EQ(records[2].name, std::string(1022, 'y'));
    EXPECT_EQ(records[3].name, "\xC3\xA9z\n");
}

TEST(CatalogueFile, LongestNewLineFitsOnePieceAndUtf8RoundTrips)
{
    TempDir dir;
    const auto path = dir.file("ports_list.txt");
    const std::string name = "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC " +
                             std::string(velmora::kCatalogueNameLimit - 13, 'n');
    const std::string tcp(velmora::kCatalogueTcpLimit, '1');
    const std::string udp(velmora::kCatalogueUdpLimit, '2');
    ASSERT_EQ(name.size(), velmora::kCatalogueNameLimit);
    EXPECT_EQ(velmora::FormatCatalogueLine(name, tcp, udp).size(), velmora::kCatalogueLineLimit);
    EXPECT_EQ(velmora::AppendCatalogueLine(path, name, tcp, udp), 0);
    const auto records = Read(path, "C");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0], (CatalogueRecord{name, tcp, udp + "\n"}));
}
