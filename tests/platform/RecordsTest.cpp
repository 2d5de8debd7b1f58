#include "config/core/Records.h"

#include <gtest/gtest.h>

TEST(SetField, CutsToTheFieldAndZeroesTheRest)
{
    char field[5];
    std::memset(field, 'x', sizeof field);
    velmora::SetField(field, "abcdefgh");
    EXPECT_EQ(velmora::Field(field), "abcd");
    velmora::SetField(field, "a");
    EXPECT_EQ(field[1], '\0');
    EXPECT_EQ(field[4], '\0');
}

TEST(SetField, NeverCutsInsideAUtf8Sequence)
{
    char field[6]; // room for 5 bytes
    velmora::SetField(field, "ab\xE6\x9D\xB1\xE4\xBA\xAC"); // "ab東京"
    EXPECT_EQ(velmora::Field(field), "ab\xE6\x9D\xB1");
    velmora::SetField(field, "abcd\xC3\xA9"); // "abcdé": é would need bytes 5 and 6
    EXPECT_EQ(velmora::Field(field), "abcd");
}

TEST(Field, StopsAtTheFirstNulOrTheEnd)
{
    char full[3] = {'a', 'b', 'c'}; // no terminator
    EXPECT_EQ(velmora::Field(full), "abc");
}
