#include "platform/Log.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <thread>
#include <vector>

using velmora::test::TempDir;

namespace {
class LogTest : public ::testing::Test
{
protected:
    void TearDown() override { velmora::CloseLogForTesting(); }
    TempDir dir_;
};

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
} // namespace

TEST(LogLine, StampIsMonthDayFullYearAndTime)
{
    std::tm at{};
    at.tm_year = 2016 - 1900;
    at.tm_mon = 2;
    at.tm_mday = 7;
    at.tm_hour = 9;
    at.tm_min = 5;
    at.tm_sec = 0;
    EXPECT_EQ(velmora::FormatLogLine(at, "hello\n"), "<03/07/2016 09:05:00>:hello\n");
}

TEST_F(LogTest, AppendsAndNeverTruncates)
{
    dir_.write("velmora.log", "old line\n");
    ASSERT_GT(OpenLog(dir_.file("velmora.log").c_str()), 0);
    WriteLog("start port triggering[%s], trigger address is %s, trigger port is %s\n", "game",
             "192.0.2.1", "6000");
    auto lines = Lines(dir_.read("velmora.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "old line");
    EXPECT_TRUE(std::regex_match(
        lines[1], std::regex(R"(<\d\d/\d\d/\d{4} \d\d:\d\d:\d\d>:start port triggering\[game\], )"
                             R"(trigger address is 192\.0\.2\.1, trigger port is 6000)")))
        << lines[1];
}

TEST_F(LogTest, MissingFolderLosesLinesQuietly)
{
    testing::internal::CaptureStdout();
    int result = OpenLog(dir_.file("no-such-folder/velmora.log").c_str());
    WriteLog("lost\n");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_GT(result, 0) << "the result of printing the failure message";
    EXPECT_NE(out.find("open log file " + dir_.file("no-such-folder/velmora.log") +
                       " fail, errno is 2\n"),
              std::string::npos);
    EXPECT_EQ(out.find("lost"), std::string::npos);
}

TEST_F(LogTest, LongMessagesAreCutNotOverflowed)
{
    ASSERT_GT(OpenLog(dir_.file("velmora.log").c_str()), 0);
    std::string huge(50000, 'x');
    WriteLog("%s\n", huge.c_str());
    std::string text = dir_.read("velmora.log");
    EXPECT_EQ(text.size(), std::string("<01/01/2016 00:00:00>:").size() + velmora::kLogBufferSize);
}

TEST_F(LogTest, LinesFromManyThreadsNeverInterleave)
{
    ASSERT_GT(OpenLog(dir_.file("velmora.log").c_str()), 0);
    constexpr int kThreads = 8;
    constexpr int kLinesEach = 200;
    std::vector<std::thread> writers;
    for (int t = 0; t < kThreads; ++t) {
        writers.emplace_back([t] {
            std::string payload(300 + t * 50, static_cast<char>('a' + t));
            for (int i = 0; i < kLinesEach; ++i)
                WriteLog("%d:%s\n", t, payload.c_str());
        });
    }
    for (auto& writer : writers)
        writer.join();

    auto lines = Lines(dir_.read("velmora.log"));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLinesEach));
    const std::regex whole(R"(<[^>]+>:(\d):([a-z]+))");
    for (const auto& line : lines) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, whole)) << line.substr(0, 80);
        int t = std::stoi(m[1]);
        EXPECT_EQ(m[2].str(), std::string(300 + t * 50, static_cast<char>('a' + t)));
    }
}

TEST(LogBeforeOpen, GoesToStandardOutputWithALineFeed)
{
    velmora::CloseLogForTesting();
    testing::internal::CaptureStdout();
    WriteLog("early %d", 7);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(std::regex_match(out, std::regex(R"(<[^>]+>:early 7\n)"))) << out;
}

TEST_F(LogTest, ControlCharactersInANameCannotForgeALine)
{
    ASSERT_GT(OpenLog(dir_.file("velmora.log").c_str()), 0);
    WriteLog("start port triggering[%s], %s\n", "a\n<01/01/2016 00:00:00>:forged\r\x1b[2J", "\t");
    EXPECT_EQ(Lines(dir_.read("velmora.log")).back().substr(22),
              "start port triggering[a\\n<01/01/2016 00:00:00>:forged\\r\\x1B[2J], \\t");
}
