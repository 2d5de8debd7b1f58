#include "triggering/core/TriggerTarget.h"

#include <climits>
#include <gtest/gtest.h>
#include <string>

namespace {

// A look-up that never leaves the process and counts its calls.
struct FakeLookup
{
    std::string answer;
    int calls = 0;
    HostLookup function()
    {
        return [this](const std::string&) {
            ++calls;
            return answer;
        };
    }
};

} // namespace

TEST(ParseDecimal, ReadsLikeAtoi)
{
    EXPECT_EQ(ParseDecimal("8080"), 8080);
    EXPECT_EQ(ParseDecimal("  42"), 42);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_EQ(ParseDecimal("-12"), -12);
    EXPECT_EQ(ParseDecimal("12abc"), 12);
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal("-"), 0);
    EXPECT_EQ(ParseDecimal("0099999"), 99999);
}

TEST(ParseDecimal, HoldsHugeNumbersWithinInt)
{
    EXPECT_EQ(ParseDecimal("9999999999999999999999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-9999999999999999999999999999"), INT_MIN);
    EXPECT_EQ(ParseDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT_MIN);
}

TEST(ResolveTriggerTarget, DottedAddressStandsWithoutLookUp)
{
    FakeLookup lookup{"10.9.9.9"};
    EXPECT_EQ(ResolveTriggerTarget("127.0.0.1", lookup.function()), "127.0.0.1");
    EXPECT_EQ(ResolveTriggerTarget("1badname", lookup.function()), "1badname");
    EXPECT_EQ(ResolveTriggerTarget("", lookup.function()), "");
    EXPECT_EQ(lookup.calls, 0);
}

TEST(ResolveTriggerTarget, LetterFirstMeansOneLookUp)
{
    FakeLookup lookup{"127.0.0.5"};
    EXPECT_EQ(ResolveTriggerTarget("router.example", lookup.function()), "127.0.0.5");
    EXPECT_EQ(ResolveTriggerTarget("Z", lookup.function()), "127.0.0.5");
    EXPECT_EQ(lookup.calls, 2);
}

TEST(ResolveTriggerTarget, FailedLookUpLeavesTheAddressAsItStands)
{
    FakeLookup lookup{""};
    EXPECT_EQ(ResolveTriggerTarget("nowhere", lookup.function()), "nowhere");
    EXPECT_EQ(lookup.calls, 1);
}

TEST(ResolveTriggerTarget, NonAsciiFirstByteIsNotALetter)
{
    FakeLookup lookup{"127.0.0.5"};
    EXPECT_EQ(ResolveTriggerTarget("\xc3\xa9t\xc3\xa9", lookup.function()), "\xc3\xa9t\xc3\xa9");
    EXPECT_EQ(lookup.calls, 0);
}

TEST(ResolveTriggerTarget, AddressLongerThanTheTargetGivesNoTarget)
{
    FakeLookup lookup{"127.0.0.5"};
    const std::string longest(kTargetCapacity, 'a');
    EXPECT_EQ(ResolveTriggerTarget(longest, lookup.function()), "127.0.0.5");
    EXPECT_EQ(ResolveTriggerTarget(longest + "a", lookup.function()), "");
    EXPECT_EQ(ResolveTriggerTarget(std::string(254, '1'), lookup.function()), "");
    EXPECT_EQ(lookup.calls, 1);
}

TEST(ResolveTriggerTarget, SystemLookUpFindsLocalhostInTheHostsFile)
{
    EXPECT_EQ(ResolveTriggerTarget("localhost"), "127.0.0.1");
}
