#include "forwarding/core/PortList.h"

#include <climits>
#include <gtest/gtest.h>

using namespace velmora;

TEST(AtoiLike, ReadsLikeTheCLibraryButSaturates)
{
    const std::pair<const char*, int> cases[] = {{"80", 80},
                                                 {"  \t443", 443},
                                                 {"+7", 7},
                                                 {"-5", -5},
                                                 {"12abc", 12},
                                                 {"abc", 0},
                                                 {"", 0},
                                                 {"- 5", 0},
                                                 {"0080", 80},
                                                 {"2147483647", INT_MAX},
                                                 {"99999999999999999999", INT_MAX},
                                                 {"-99999999999999999999", INT_MIN}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(AtoiLike(text), value) << '"' << text << '"';
}

// Ranges split at the first dash: "1-2-3" is 1-2, "5-" is 5-0.
TEST(FirstBadRange, ReportsTheFirstReversedRangeAsTyped)
{
    for (const char* list :
         {"80,443-447,8080", ",,", "abc", "80-80", "-5", "1-2-3", "70000", " 8 - 9 ", "0"})
        EXPECT_FALSE(FirstBadRange(list).has_value()) << list;
    const std::pair<const char*, const char*> bad[] = {
        {"443-440", "443-440"}, {"5-", "5-"}, {"80,90-80,70-60", "90-80"}, {" 9 -8", " 9 -8"}};
    for (const auto& [list, item] : bad)
        EXPECT_EQ(FirstBadRange(list).value_or(""), item) << list;
    EXPECT_EQ(English(BadRangeMessage("90-80")),
              "The port range 90-80 error. The end port should be bigger than start port!");
}

// Numbers outside 1-65535 are counted, never wrapped into a port.
TEST(ExpandPortList, ExpandsRangesAndCountsWhatIsNoPort)
{
    struct Case
    {
        const char* list;
        std::vector<uint16_t> ports;
        int64_t invalid;
    } cases[] = {
        {"80,443-447,8080", {80, 443, 444, 445, 446, 447, 8080}, 0},
        {"65616,0,+70000,abc,65535", {65535}, 4}, // 65616 would wrap to 80
        {"65534-65537", {65534, 65535}, 2},
        {"-2-1", {1, 2}, 1},             // start 0, end 2: "-2" before the first dash is empty
        {"90-80,80,80-81", {80, 81}, 1}, // a reversed range is one; each port once
    };
    for (const auto& c : cases) {
        auto set = ExpandPortList(c.list);
        EXPECT_EQ(set.ports, c.ports) << c.list;
        EXPECT_EQ(set.invalid, c.invalid) << c.list;
    }
    // A huge range is counted, not walked.
    auto set = ExpandPortList("1-2147483647");
    EXPECT_EQ(set.ports.size(), 65535u);
    EXPECT_EQ(set.invalid, 2147483647LL - 65535);
}
