#include "catalogue/core/ForwardProposal.h"

#include <gtest/gtest.h>

using velmora::CatalogueRecord;
using velmora::ForwardProposal;

namespace {

constexpr size_t kPortWidth = 19; // ForwardingEntry::listen_port

ForwardingEntry Named(const std::string& name)
{
    auto entry = velmora::ZeroedRecord<ForwardingEntry>();
    velmora::SetField(entry.name, name);
    return entry;
}

} // namespace

TEST(ForwardProposal, ProtocolAndNamesFollowThePortFields)
{
    struct Case
    {
        CatalogueRecord row;
        std::vector<ForwardProposal> expected;
    } cases[] = {
        {{"Web", "80,443", "80,443\n"}, {{"Web", "Both", "80,443", ""}}},
        {{"Web", "80,443", "\n"}, {{"Web", "TCP", "80,443", ""}}},
        {{"DNS", " ", "53\n"}, {{"DNS", "UDP", "53", ""}}},
        {{"Voice", "10011,30033", "9987\n"},
         {{"Voice", "TCP", "10011,30033", " TCP"}, {"Voice", "UDP", "9987", " UDP"}}},
        {{"Console", "3074", "88,500,3074,3544,4500\n"},
         {{"Console", "TCP", "3074", " TCP"},
          {"Console", "UDP", "88,500,3074,3544", " UDP"},
          {"Console", "UDP", "4500", " UDP"}}},
        {{"Empty", " ", "\n"}, {{"Empty", "TCP", "", ""}}},
        {{"\n", "", ""}, {{"", "TCP", "", ""}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velmora::ProposeForwarding(c.row, kPortWidth), c.expected) << c.row.name;
}

TEST(ForwardProposal, PortListsArePackedToTheFieldWidth)
{
    struct Case
    {
        const char* list;
        std::vector<std::string> expected;
    } cases[] = {
        {"80,,443, ", {"80,443"}},
        {"27015-27030,27036-27037", {"27015-27030", "27036-27037"}},
        {"1,2,3,4,5,6,7,8,9,10,11", {"1,2,3,4,5,6,7,8,9", "10,11"}},
        {"80,this-item-is-far-too-long,81", {"80", "this-item-is-far-too-long", "81"}},
        {",,", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velmora::SplitPortListToWidth(c.list, kPortWidth), c.expected) << c.list;
}

// Names fit what an entry keeps (128 bytes); the base is cut, never the
// suffix or the number.
TEST(ForwardProposal, UniqueNamesFitTheNameField)
{
    const std::string longName(300, 'n');
    const std::string cut(128, 'n');
    // A name whose cut would fall inside a two-byte character.
    const std::string wide = std::string(127, 'w') + "\xC3\xA9";
    struct Case
    {
        std::string wanted, suffix;
        std::vector<std::string> taken;
        std::string expected;
    } cases[] = {
        {"Web", "", {}, "Web"},
        {"Web", "", {"web"}, "Web"},
        {"Web", "", {"Web"}, "Web (2)"},
        {"Web", "", {"Web", "Web (2)"}, "Web (3)"},
        {"Web", " TCP", {"Web TCP"}, "Web TCP (2)"},
        {longName, "", {}, cut},
        {longName, "", {cut}, std::string(124, 'n') + " (2)"},
        {longName, " UDP", {}, std::string(124, 'n') + " UDP"},
        {longName, " UDP", {std::string(124, 'n') + " UDP"}, std::string(120, 'n') + " UDP (2)"},
        {wide, "", {}, std::string(127, 'w')},
    };
    for (const auto& c : cases) {
        std::vector<ForwardingEntry> entries;
        for (const auto& name : c.taken)
            entries.push_back(Named(name));
        EXPECT_EQ(velmora::UniqueEntryName(c.wanted, entries, c.suffix), c.expected) << c.wanted;
    }
}
