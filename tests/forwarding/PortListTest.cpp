#include "forwarding/core/PortList.h"

#include <gtest/gtest.h>

using namespace velmora;

TEST(AtoiLike, ReadsLikeTheCLibrary)
{
    EXPECT_EQ(AtoiLike("80"), 80);
    EXPECT_EQ(AtoiLike("  \t443"), 443);
    EXPECT_EQ(AtoiLike("+7"), 7);
    EXPECT_EQ(AtoiLike("-5"), -5);
    EXPECT_EQ(AtoiLike("12abc"), 12);
    EXPECT_EQ(AtoiLike("abc"), 0);
    EXPECT_EQ(AtoiLike(""), 0);
    EXPECT_EQ(AtoiLike("- 5"), 0);
    EXPECT_EQ(AtoiLike("0080"), 80);
}

TEST(AtoiLike, SaturatesInsteadOfOverflowing)
{
    EXPECT_EQ(AtoiLike("99999999999999999999"), INT_MAX);
    EXPECT_EQ(AtoiLike("-99999999999999999999"), INT_MIN);
    EXPECT_EQ(AtoiLike("2147483647"), INT_MAX);
}

TEST(SplitPortList, SkipsEmptyItemsAndReadsRanges)
{
    auto items = SplitPortList(",80,,443-447,");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "80");
    EXPECT_FALSE(items[0].isRange);
    EXPECT_EQ(items[1].text, "443-447");
    EXPECT_TRUE(items[1].isRange);
    EXPECT_EQ(items[1].start, 443);
    EXPECT_EQ(items[1].end, 447);
    EXPECT_TRUE(SplitPortList(",,").empty());
    EXPECT_TRUE(SplitPortList("").empty());
}

TEST(SplitPortList, RangeSplitsAtTheFirstDash)
{
    auto items = SplitPortList("-5,5-,1-2-3");
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(items[0].start, 0);
    EXPECT_EQ(items[0].end, 5);
    EXPECT_EQ(items[1].start, 5);
    EXPECT_EQ(items[1].end, 0);
    EXPECT_EQ(items[2].start, 1);
    EXPECT_EQ(items[2].end, 2);
}

TEST(FirstBadRange, AcceptsWhatTheDialogAccepts)
{
    for (const char* list :
         {"80,443-447,8080", ",,", "abc", "80-80", "-5", "1-2-3", "70000", " 8 - 9 ", "0"}) {
        EXPECT_FALSE(FirstBadRange(list).has_value()) << list;
    }
}

TEST(FirstBadRange, ReportsTheFirstReversedRangeAsTyped)
{
    EXPECT_EQ(FirstBadRange("443-440").value_or(""), "443-440");
    EXPECT_EQ(FirstBadRange("5-").value_or(""), "5-");
    EXPECT_EQ(FirstBadRange("80,90-80,70-60").value_or(""), "90-80");
    EXPECT_EQ(FirstBadRange(" 9 -8").value_or(""), " 9 -8");
}

TEST(BadRangeMessage, IsBuiltAroundTheItem)
{
    EXPECT_EQ(BadRangeMessage("90-80"),
              "The port range 90-80 error. The end port should be bigger than start port!");
}

TEST(ExpandPortList, ExpandsRangesPortByPort)
{
    auto set = ExpandPortList("80,443-447,8080");
    EXPECT_EQ(set.ports, (std::vector<uint16_t>{80, 443, 444, 445, 446, 447, 8080}));
    EXPECT_EQ(set.invalid, 0);
}

TEST(ExpandPortList, CountsNumbersOutsideThePortRangeInsteadOfWrappingThem)
{
    // 65616 would wrap to 80 and 0 is no port.
    auto set = ExpandPortList("65616,0,+70000,abc,65535");
    EXPECT_EQ(set.ports, (std::vector<uint16_t>{65535}));
    EXPECT_EQ(set.invalid, 4);
}

TEST(ExpandPortList, ClipsARangeAtBothEndsAndCountsTheRest)
{
    auto set = ExpandPortList("65534-65537");
    EXPECT_EQ(set.ports, (std::vector<uint16_t>{65534, 65535}));
    EXPECT_EQ(set.invalid, 2);
    set = ExpandPortList("-2-1"); // start 0, end 2 ("-2" before the first dash is empty)
    EXPECT_EQ(set.ports, (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(set.invalid, 1);
}

TEST(ExpandPortList, AHugeRangeIsCountedNotWalked)
{
    auto set = ExpandPortList("1-2147483647");
    EXPECT_EQ(set.ports.size(), 65535u);
    EXPECT_EQ(set.invalid, 2147483647LL - 65535);
}

TEST(ExpandPortList, AReversedRangeIsOneFailureAndEachPortIsSentOnce)
{
    auto set = ExpandPortList("90-80,80,80-81");
    EXPECT_EQ(set.ports, (std::vector<uint16_t>{80, 81}));
    EXPECT_EQ(set.invalid, 1);
}
