// The read-back after an add: a router that answers for the port with another
// client, another internal port or "no such entry" does not hold the mapping.
#include "forwarding/core/UpnpMappingWriter.h"
#include "tests/support/SoapAnswers.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::ActionAnswer;
using test::FaultAnswer;
using test::LoopbackHttpServer;

std::string SpecificEntry(const std::string& internalPort, const std::string& client)
{
    return ActionAnswer("GetSpecificPortMappingEntry",
                        "<NewInternalPort>" + internalPort +
                            "</NewInternalPort><NewInternalClient>" + client +
                            "</NewInternalClient><NewEnabled>1</NewEnabled>"
                            "<NewPortMappingDescription>web</NewPortMappingDescription>"
                            "<NewLeaseDuration>0</NewLeaseDuration>");
}

TEST(MappingReadBack, HoldsOnlyWhatWasWritten)
{
    const MappingRequest request{8080, "UDP", "192.168.77.2", "web"};
    const struct
    {
        const char* what;
        std::string answer;
        bool holds;
    } rows[] = {
        {"as written", SpecificEntry("8080", "192.168.77.2"), true},
        {"another client", SpecificEntry("8080", "192.168.77.3"), false},
        {"another internal port", SpecificEntry("8081", "192.168.77.2"), false},
        {"no such entry", FaultAnswer(714, "NoSuchEntryInArray"), false},
    };
    for (const auto& row : rows) {
        LoopbackHttpServer router({LoopbackHttpServer::Whole(row.answer)});
        UpnpMappingWriter writer({router.url("/ctl/IPConn"), test::kWanIp});
        EXPECT_EQ(writer.holds(request), row.holds) << row.what;
        ASSERT_EQ(router.requests().size(), 1u) << row.what;
        const std::string asked = router.requests()[0];
        EXPECT_NE(asked.find("GetSpecificPortMappingEntry"), std::string::npos) << asked;
        EXPECT_NE(asked.find("<NewExternalPort>8080</NewExternalPort>"), std::string::npos)
            << asked;
        EXPECT_NE(asked.find("<NewProtocol>UDP</NewProtocol>"), std::string::npos) << asked;
    }
}

} // namespace
} // namespace velmora
