// velmora-cli's texts: JSON and terminal output of whatever bytes a router or
// a file gives, and the reading of command lines.
#include "app/cli/CliOutput.h"
#include "app/cli/CommandLine.h"
#include "app/cli/JsonWriter.h"
#include "app/cli/OfferText.h"

#include <gtest/gtest.h>

namespace velmora::cli {
namespace {

TEST(CliText, RouterWordsBecomeValidJsonAndHarmlessTerminalText)
{
    const struct
    {
        std::string bytes, json, plain;
    } kCases[] = {
        {"Game \"A\" \\ 1", R"("Game \"A\" \\ 1")", "Game \"A\" \\ 1"},
        {"a\nb\tc\x1b[2J", R"("a\u000ab\u0009c\u001b[2J")", "a?b?c?[2J"},
        {"Caf\xC3\xA9 \xE2\x82\xAC", "\"Caf\xC3\xA9 \xE2\x82\xAC\"", "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"x\xC2\x9By", "\"x\xC2\x9By\"", "x?y"}, // C1 control: CSI
        {"\xFF\xC0\xAF\xED\xA0\x80",
         "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"",
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}, // stray,
                                                                                      // overlong,
                                                                                      // surrogate
        {"cut \xE2\x82", "\"cut \xEF\xBF\xBD\xEF\xBF\xBD\"", "cut \xEF\xBF\xBD\xEF\xBF\xBD"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(JsonWriter().value(c.bytes).text(), c.json);
        EXPECT_EQ(PlainText(c.bytes), c.plain);
    }
    JsonWriter json;
    json.beginObject().member("a", "1").key("b").beginArray().value(int64_t{2}).null();
    json.value(true).endArray().key("c").value(std::optional<std::string>()).endObject();
    EXPECT_EQ(json.text(), R"({"a":"1","b":[2,null,true],"c":null})");
    EXPECT_EQ(PortNumber("65535"), 65535);
    for (const char* notPort : {"65536", "-1", "80x", "", " 80"})
        EXPECT_EQ(PortNumber(notPort), std::nullopt) << notPort;
}

TEST(CliText, CommandLines)
{
    const struct
    {
        std::vector<std::string> line;
        std::string command, error, router;
        std::vector<std::string> operands;
        bool json, help;
    } kLines[] = {
        {{"list", "--json", "--router", "Box"}, "list", "", "Box", {}, true, false},
        {{"--router=10.0.0.1", "list"}, "list", "", "10.0.0.1", {}, false, false},
        {{"add", "a", "--", "--all"}, "add", "", "", {"a", "--all"}, false, false},
        {{"delete", "--help"}, "delete", "", "", {}, false, true},
        {{"--help"}, "", "", "", {}, false, true},
        {{"entries", "--router", "x"},
         "entries",
         "\"entries\" takes no --router",
         "x",
         {},
         false,
         false},
        {{"keep", "--json"}, "keep", "\"keep\" takes no --json", "", {}, true, false},
        {{"list", "--router"},
         "list",
         "--router needs a router's name or address",
         "",
         {},
         false,
         false},
        {{"list", "-x"}, "list", "unknown option \"-x\"", "", {}, false, false},
        {{"lsit"}, "", "unknown command \"lsit\"", "", {}, false, false},
        {{}, "", "no command given", "", {}, false, false},
    };
    for (const auto& c : kLines) {
        SCOPED_TRACE(::testing::PrintToString(c.line));
        const CommandLine line = ParseCommandLine(c.line);
        EXPECT_EQ(line.command ? line.command->name : "", c.command);
        EXPECT_EQ(line.error, c.error);
        EXPECT_EQ(line.router.value_or(""), c.router);
        EXPECT_EQ(line.operands, c.operands);
        EXPECT_EQ(line.json, c.json);
        EXPECT_EQ(line.help, c.help);
    }
    for (const Command& command : Commands())
        EXPECT_NE(ProgramHelp().find(std::string("  ") + command.name), std::string::npos);
}

// What Router Info adds for a router that offers pinholes or PCP.
TEST(CliText, RouterOffers)
{
    const auto route = [](LeaseRoute::Via via) {
        LeaseRoute r;
        r.via = via;
        return r;
    };
    const FirewallStatus on{true, true, false, ""}, silent{false, false, false, "no answer"};
    const struct
    {
        OfferReport report;
        std::vector<std::string> lines;
    } kCases[] = {
        {{false, {}, std::nullopt}, {}},
        {{false, {true, false, "2001:db8::2", route(LeaseRoute::Via::UpnpPinhole), {}}, on},
         {"IPv4 port mappings: UPnP", "IPv6 pinholes: UPnP, for 2001:db8::2",
          "IPv6 firewall: on, inbound pinholes not allowed"}},
        {{false, {true, false, "", {}, {}}, silent},
         {"IPv4 port mappings: UPnP",
          "IPv6 pinholes: UPnP, but this computer has no global IPv6 address on the router's link",
          "IPv6 firewall: not told (no answer)"}},
        {{true,
          {false, true, "2001:db8::2", route(LeaseRoute::Via::Pcp), route(LeaseRoute::Via::Pcp)},
          std::nullopt},
         {"IPv4 port mappings: PCP", "IPv6 pinholes: PCP, for 2001:db8::2"}},
        {{true, {false, true, "", {}, {}}, std::nullopt},
         {"IPv4 port mappings: NAT-PMP", "IPv6 pinholes: not offered"}},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(OfferText(c.report), c.lines);
}

} // namespace
} // namespace velmora::cli
