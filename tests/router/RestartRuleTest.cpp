#include "router/core/RestartRule.h"

#include <gtest/gtest.h>
#include <vector>

namespace velmora {
namespace {

SsdpNotify Answer(std::optional<uint32_t> bootId)
{
    return {true, "", "", bootId};
}
SsdpNotify Alive(std::optional<uint32_t> bootId)
{
    return {false, "ssdp:alive", "", bootId};
}
SsdpNotify Byebye()
{
    return {false, "ssdp:byebye", "", std::nullopt};
}
SsdpNotify Update(uint32_t bootId)
{
    return {false, "ssdp:update", "", bootId};
}

const char kBack[] = "The router said goodbye and is back.";

std::string Restarted(uint32_t from, uint32_t to)
{
    return "The router has restarted (BOOTID.UPNP.ORG " + std::to_string(from) + " to " +
           std::to_string(to) + ").";
}

// Each row: datagrams from the router in order, and what each one says (empty: no restart).
TEST(RestartRule, EachDatagramInTurn)
{
    struct Row
    {
        const char* what;
        std::vector<SsdpNotify> datagrams;
        std::vector<std::string> said;
    };
    const Row rows[] = {
        {"same boot id as the search answer", {Answer(5), Alive(5)}, {"", ""}},
        {"new boot id after the search answer", {Answer(5), Alive(6)}, {"", Restarted(5, 6)}},
        {"the first announcement only sets it",
         {Alive(6), Alive(6), Alive(7)},
         {"", "", Restarted(6, 7)}},
        {"a later search answer changes nothing", {Answer(5), Answer(6), Alive(5)}, {"", "", ""}},
        {"an answer without a boot id",
         {Answer({}), Alive(7), Alive(8)},
         {"", "", Restarted(7, 8)}},
        {"an announcement without a boot id keeps the known one",
         {Alive(5), Alive({}), Alive(6)},
         {"", "", Restarted(5, 6)}},
        {"goodbye and back", {Alive(5), Byebye(), Alive(5), Alive(5)}, {"", "", kBack, ""}},
        {"goodbye and back without any boot id", {Byebye(), Byebye(), Alive({})}, {"", "", kBack}},
        {"goodbye and back with a new boot id",
         {Alive(5), Byebye(), Alive(9)},
         {"", "", Restarted(5, 9)}},
        {"other announcements are not alive",
         {Answer(5), Byebye(), Update(6), Alive(5)},
         {"", "", "", kBack}},
    };
    for (const Row& row : rows) {
        RestartWatchState state;
        std::vector<std::string> said;
        for (const SsdpNotify& datagram : row.datagrams) {
            RestartStep step = ObserveRouterDatagram(state, datagram);
            state = step.state;
            said.push_back(step.restarted);
        }
        EXPECT_EQ(said, row.said) << row.what;
    }
}

} // namespace
} // namespace velmora
