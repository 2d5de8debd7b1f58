// Reading config.xml back into the records: the walk over the entries, the
// field limits, and every way the file can be refused.

#include "config/core/ConfigStore.h"
#include "tests/config/RecordMakers.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using namespace velmora::test;

const std::string kTriggerAttributes[] = {
    "name",         "auto_start",       "protocol", "trigger_address",
    "trigger_port", "trigger_port_end", "frequence"};
const std::string kForwardingAttributes[] = {"name", "protocol", "listen_port", "destination_ip",
                                             "type"};

// An element with every attribute but `missing`.
template <size_t N>
std::string Element(const std::string& tag, const std::string (&names)[N],
                    const std::string (&values)[N], const std::string& missing)
{
    std::string text = "<" + tag + " ";
    for (size_t i = 0; i < N; ++i) {
        if (names[i] != missing)
            text += names[i] + "=\"" + values[i] + "\" ";
    }
    return text + "></" + tag + ">\n";
}

std::string Trigger(const std::string& name, const std::string& missing = "")
{
    const std::string values[] = {name, "Y", "TCP and UDP", "host.example", "6000", "6005", "1000"};
    return Element("trigger", kTriggerAttributes, values, missing);
}

std::string Forwarding(const std::string& name, const std::string& missing = "")
{
    const std::string values[] = {name, "Both", "80,443-447", "192.168.0.9", "N"};
    return Element("forwarding", kForwardingAttributes, values, missing);
}

std::string Names(const velmora::LoadedConfig& config)
{
    std::string names;
    for (const auto& entry : config.triggerings)
        names += std::string(entry.name) + " ";
    names += "|";
    for (const auto& entry : config.forwardings)
        names += " " + std::string(entry.name);
    return names;
}

class ConfigLoader : public ::testing::Test
{
protected:
    velmora::LoadedConfig Load(const std::string& bytes)
    {
        dir.write("config.xml", bytes);
        return velmora::LoadConfig(dir.file("config.xml"));
    }

    TempDir dir;
};

TEST_F(ConfigLoader, ReadsSettingsAndEntriesInOrder)
{
    auto config = Load("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                       "<mappings auto_startup=\"0\" monitor_router=\"1\">\n<triggerings>\n" +
                       Trigger("t1") + Trigger("t2") + "</triggerings>\n<forwardings>\n" +
                       Forwarding("f1") + Forwarding("f2") + "</forwardings>\n</mappings>\n");
    EXPECT_FALSE(config.invalid);
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("0", "1")));
    EXPECT_EQ(Names(config), "t1 t2 | f1 f2");
    EXPECT_TRUE(
        SameRecord(config.triggerings[0], // status is never loaded
                   MakeTrigger("t1", "Y", "TCP and UDP", "host.example", "6000", "6005", "1000")));
    EXPECT_TRUE(SameRecord(config.forwardings[0],
                           MakeForwarding("f1", "N", "Both", "80,443-447", "192.168.0.9")));
}

TEST_F(ConfigLoader, UnusableFileReadsNothingEvenWhatParsedBeforeTheFault)
{
    const std::string files[] = {
        "<mappings auto_startup=\"0\" monitor_router=\"0\"><triggerings>" + Trigger("t1") +
            "</triggerings><forwardings>",
        "",
        "<mappings name=\"a\"b\"/>",
        "<mapping auto_startup=\"0\"><triggerings>" + Trigger("t1") + "</triggerings></mapping>",
    };
    auto expectNothing = [](const velmora::LoadedConfig& config, const std::string& what) {
        EXPECT_TRUE(config.invalid) << what;
        EXPECT_TRUE(SameRecord(config.settings, MakeSettings("", ""))) << what;
        EXPECT_EQ(Names(config), "|") << what;
    };
    expectNothing(velmora::LoadConfig(dir.file("absent.xml")), "missing");
    expectNothing(velmora::LoadConfig(dir.path()), "unreadable");
    for (const auto& file : files)
        expectNothing(Load(file), file);
}

TEST_F(ConfigLoader, AbsentSettingIsOneWithoutAMessageAndAnEmptyOneStaysEmpty)
{
    auto config = Load("<mappings/>");
    EXPECT_FALSE(config.invalid);
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1", "1")));
    config = Load("<mappings monitor_router=\"\"/>");
    EXPECT_FALSE(config.invalid);
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1", "")));
    config = Load("<mappings auto_startup=\"123456789\"/>");
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1234", "1")));
}

TEST_F(ConfigLoader, TriggerWithoutAnAttributeKeepsEarlierTriggersAndReadsNoForwarding)
{
    for (const auto& missing : kTriggerAttributes) {
        auto config = Load("<mappings><triggerings>" + Trigger("t1") + Trigger("t2", missing) +
                           Trigger("t3") + "</triggerings><forwardings>" + Forwarding("f1") +
                           "</forwardings></mappings>");
        EXPECT_TRUE(config.invalid) << missing;
        EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1", "1"))) << missing;
        EXPECT_EQ(Names(config), "t1 |") << missing;
    }
}

TEST_F(ConfigLoader, ForwardingWithoutAnAttributeKeepsEarlierForwardingsAndAllTriggers)
{
    for (const auto& missing : kForwardingAttributes) {
        auto config =
            Load("<mappings><triggerings>" + Trigger("t1") + "</triggerings><forwardings>" +
                 Forwarding("f1") + Forwarding("f2") + Forwarding("f3", missing) +
                 Forwarding("f4") + "</forwardings></mappings>");
        EXPECT_TRUE(config.invalid) << missing;
        EXPECT_EQ(Names(config), "t1 | f1 f2") << missing;
    }
}

TEST_F(ConfigLoader, OnlyTheFirstListUnderTheRootAndItsEntriesCount)
{
    // Text, unknown attributes and other elements are passed over; only the
    // first list of each kind directly under the root is read.
    auto config =
        Load("<mappings extra=\"x\">text<other><triggerings>" + Trigger("deep") +
             "</triggerings></other><triggerings>more<note/>" + Trigger("t1") + "<other a=\"1\"/>" +
             "<group>" + Trigger("nested") + "</group>" +
             "<trigger name=\"t2\" colour=\"red\" auto_start=\"N\" protocol=\"UDP\" "
             "trigger_address=\"a\" trigger_port=\"1\" trigger_port_end=\"2\" frequence=\"3\">inner"
             "</trigger></triggerings><triggerings>" +
             Trigger("t9") + "</triggerings><forwardings><note/></forwardings><forwardings>" +
             Forwarding("f9") + "</forwardings></mappings>");
    EXPECT_FALSE(config.invalid);
    EXPECT_EQ(Names(config), "t1 t2 |");
    EXPECT_TRUE(
        SameRecord(config.triggerings[1], MakeTrigger("t2", "N", "UDP", "a", "1", "2", "3")));
    config = Load("<mappings><triggerings><note/></triggerings><forwardings>" + Forwarding("f1") +
                  "</forwardings></mappings>");
    EXPECT_FALSE(config.invalid);
    EXPECT_EQ(Names(config), "| f1");
}

TEST_F(ConfigLoader, LongValuesAreCutToTheirFieldsAndTheReadersLimit)
{
    const std::string long_name(200, 'n');
    auto config = Load("<mappings><triggerings><trigger name=\"" + long_name +
                       "\" auto_start=\"YES\" protocol=\"TCP\" trigger_address=\"" +
                       std::string(300, 'h') + "\" trigger_port=\"" + std::string(30, '1') +
                       "\" trigger_port_end=\"2\" frequence=\"12345678901234\"/></triggerings>"
                       "<forwardings><forwarding name=\"f\" protocol=\"" +
                       std::string(48, 'p') +
                       "&#x6771;\" listen_port=\"1\" destination_ip=\"d\" type=\"YESYESYESYES\"/>"
                       "</forwardings></mappings>");
    EXPECT_FALSE(config.invalid);
    ASSERT_EQ(config.triggerings.size(), 1u);
    const auto& trigger = config.triggerings[0];
    EXPECT_EQ(std::string(trigger.name), long_name.substr(0, 128));
    EXPECT_EQ(std::string(trigger.trigger_address), std::string(128, 'h'));
    EXPECT_EQ(velmora::Field(trigger.auto_start), "YE");
    EXPECT_EQ(std::string(trigger.trigger_port), std::string(19, '1'));
    EXPECT_STREQ(trigger.frequence, "123456789"); // at most 10 bytes with the terminator
    ASSERT_EQ(config.forwardings.size(), 1u);
    EXPECT_STREQ(config.forwardings[0].type, "YESYESYES");
    // protocol holds 49 bytes: "東" would straddle the end, so it is left out whole.
    EXPECT_EQ(std::string(config.forwardings[0].protocol), std::string(48, 'p'));
}

TEST_F(ConfigLoader, AnAutoStartOfYesIsNotY)
{
    for (const char* value : {"Yes", "Ye", "y"}) {
        auto config =
            Load("<mappings><triggerings><trigger name=\"t\" auto_start=\"" + std::string(value) +
                 "\" protocol=\"TCP\" trigger_address=\"a\" trigger_port=\"1\" "
                 "trigger_port_end=\"1\" frequence=\"1\"/></triggerings></mappings>");
        ASSERT_EQ(config.triggerings.size(), 1u);
        EXPECT_NE(velmora::Field(config.triggerings[0].auto_start), "Y") << value;
    }
}

} // namespace
