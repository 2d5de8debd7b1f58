// Reading config.xml back into the records: the walk over the entries, the
// field limits, and every way the file can be refused.

#include "config/core/ConfigStore.h"
#include "tests/config/Records.h"
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

// A trigger element whose attributes are the given name with a number suffix,
// leaving out `missing`.
std::string Trigger(const std::string& name, const std::string& missing = "")
{
    const std::string values[] = {name, "Y", "TCP and UDP", "host.example", "6000", "6005", "1000"};
    std::string text = "<trigger ";
    for (size_t i = 0; i < 7; ++i) {
        if (kTriggerAttributes[i] != missing)
            text += kTriggerAttributes[i] + "=\"" + values[i] + "\" ";
    }
    return text + "></trigger>\n";
}

std::string Forwarding(const std::string& name, const std::string& missing = "")
{
    const std::string values[] = {name, "Both", "80,443-447", "192.168.0.9", "N"};
    std::string text = "<forwarding ";
    for (size_t i = 0; i < 5; ++i) {
        if (kForwardingAttributes[i] != missing)
            text += kForwardingAttributes[i] + "=\"" + values[i] + "\" ";
    }
    return text + "></forwarding>\n";
}

class ConfigLoader : public ::testing::Test
{
protected:
    LoadedConfig Load(const std::string& bytes)
    {
        dir.write("config.xml", bytes);
        return LoadConfig(dir.file("config.xml"));
    }

    static void ExpectNothingRead(const LoadedConfig& config)
    {
        EXPECT_TRUE(config.invalid);
        EXPECT_TRUE(SameRecord(config.settings, MakeSettings("", "")));
        EXPECT_TRUE(config.triggerings.empty());
        EXPECT_TRUE(config.forwardings.empty());
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
    ASSERT_EQ(config.triggerings.size(), 2u);
    EXPECT_TRUE(
        SameRecord(config.triggerings[0],
                   MakeTrigger("t1", "Y", "TCP and UDP", "host.example", "6000", "6005", "1000")));
    EXPECT_STREQ(config.triggerings[1].name, "t2");
    EXPECT_STREQ(config.triggerings[1].status, ""); // status is never loaded
    ASSERT_EQ(config.forwardings.size(), 2u);
    EXPECT_TRUE(SameRecord(config.forwardings[0],
                           MakeForwarding("f1", "N", "Both", "80,443-447", "192.168.0.9")));
    EXPECT_STREQ(config.forwardings[1].name, "f2");
}

TEST_F(ConfigLoader, MissingFileReadsNothing)
{
    ExpectNothingRead(LoadConfig(dir.file("config.xml")));
}

TEST_F(ConfigLoader, UnreadableFileReadsNothing)
{
    ExpectNothingRead(LoadConfig(dir.path()));
}

TEST_F(ConfigLoader, MalformedFileReadsNothingEvenWhatParsedBeforeTheFault)
{
    ExpectNothingRead(Load("<mappings auto_startup=\"0\" monitor_router=\"0\"><triggerings>" +
                           Trigger("t1") + "</triggerings><forwardings>"));
    ExpectNothingRead(Load(""));
    ExpectNothingRead(Load("<mappings name=\"a\"b\"/>"));
}

TEST_F(ConfigLoader, OtherRootReadsNothing)
{
    ExpectNothingRead(Load("<mapping auto_startup=\"0\"><triggerings>" + Trigger("t1") +
                           "</triggerings></mapping>"));
}

TEST_F(ConfigLoader, BareRootLoadsWithoutAMessageAndBothSettingsOne)
{
    auto config = Load("<mappings/>");
    EXPECT_FALSE(config.invalid);
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1", "1")));
    EXPECT_TRUE(config.triggerings.empty());
    EXPECT_TRUE(config.forwardings.empty());
}

TEST_F(ConfigLoader, AbsentSettingIsOneAndEmptySettingStaysEmpty)
{
    auto config = Load("<mappings monitor_router=\"\"/>");
    EXPECT_FALSE(config.invalid);
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1", "")));
    config = Load("<mappings auto_startup=\"0\"/>");
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("0", "1")));
}

TEST_F(ConfigLoader, LongSettingIsCutToItsField)
{
    auto config = Load("<mappings auto_startup=\"123456789\" monitor_router=\"0\"/>");
    EXPECT_STREQ(config.settings.auto_startup, "1234");
}

class ConfigLoaderMissingTriggerAttribute : public ConfigLoader,
                                            public ::testing::WithParamInterface<std::string>
{
};

TEST_P(ConfigLoaderMissingTriggerAttribute, KeepsEarlierTriggersAndReadsNoForwarding)
{
    auto config =
        Load("<mappings><triggerings>" + Trigger("t1") + Trigger("t2", GetParam()) + Trigger("t3") +
             "</triggerings><forwardings>" + Forwarding("f1") + "</forwardings></mappings>");
    EXPECT_TRUE(config.invalid);
    EXPECT_TRUE(SameRecord(config.settings, MakeSettings("1", "1")));
    ASSERT_EQ(config.triggerings.size(), 1u);
    EXPECT_STREQ(config.triggerings[0].name, "t1");
    EXPECT_TRUE(config.forwardings.empty());
}

INSTANTIATE_TEST_SUITE_P(EachAttribute, ConfigLoaderMissingTriggerAttribute,
                         ::testing::ValuesIn(kTriggerAttributes));

class ConfigLoaderMissingForwardingAttribute : public ConfigLoader,
                                               public ::testing::WithParamInterface<std::string>
{
};

TEST_P(ConfigLoaderMissingForwardingAttribute, KeepsEarlierForwardingsAndAllTriggers)
{
    auto config = Load("<mappings><triggerings>" + Trigger("t1") + "</triggerings><forwardings>" +
                       Forwarding("f1") + Forwarding("f2") + Forwarding("f3", GetParam()) +
                       Forwarding("f4") + "</forwardings></mappings>");
    EXPECT_TRUE(config.invalid);
    ASSERT_EQ(config.triggerings.size(), 1u);
    ASSERT_EQ(config.forwardings.size(), 2u);
    EXPECT_STREQ(config.forwardings[0].name, "f1");
    EXPECT_STREQ(config.forwardings[1].name, "f2");
}

INSTANTIATE_TEST_SUITE_P(EachAttribute, ConfigLoaderMissingForwardingAttribute,
                         ::testing::ValuesIn(kForwardingAttributes));

TEST_F(ConfigLoader, FirstTriggerIsFoundBehindOtherElementsAndOthersAreSkipped)
{
    auto config = Load("<mappings><triggerings><note/>" + Trigger("t1") + "<other a=\"1\"/>" +
                       Trigger("t2") + "</triggerings></mappings>");
    EXPECT_FALSE(config.invalid);
    ASSERT_EQ(config.triggerings.size(), 2u);
    EXPECT_STREQ(config.triggerings[0].name, "t1");
    EXPECT_STREQ(config.triggerings[1].name, "t2");
}

TEST_F(ConfigLoader, OnlyTheFirstListUnderTheRootCounts)
{
    auto config = Load("<mappings><other><triggerings>" + Trigger("deep") +
                       "</triggerings></other><triggerings>" + Trigger("t1") + "<group>" +
                       Trigger("nested") + "</group></triggerings><triggerings>" + Trigger("t9") +
                       "</triggerings><forwardings/><forwardings>" + Forwarding("f9") +
                       "</forwardings></mappings>");
    EXPECT_FALSE(config.invalid);
    ASSERT_EQ(config.triggerings.size(), 1u);
    EXPECT_STREQ(config.triggerings[0].name, "t1");
    EXPECT_TRUE(config.forwardings.empty());
}

TEST_F(ConfigLoader, ListWithoutEntriesIsSkippedAndTheOtherStillRead)
{
    auto config = Load("<mappings><triggerings><note/></triggerings><forwardings>" +
                       Forwarding("f1") + "</forwardings></mappings>");
    EXPECT_FALSE(config.invalid);
    EXPECT_TRUE(config.triggerings.empty());
    ASSERT_EQ(config.forwardings.size(), 1u);
}

TEST_F(ConfigLoader, TextAndUnknownAttributesAreIgnored)
{
    auto config = Load("<mappings extra=\"x\">text<triggerings>more text"
                       "<trigger name=\"t\" colour=\"red\" auto_start=\"N\" protocol=\"UDP\" "
                       "trigger_address=\"a\" trigger_port=\"1\" trigger_port_end=\"2\" "
                       "frequence=\"3\">inner</trigger></triggerings></mappings>");
    EXPECT_FALSE(config.invalid);
    ASSERT_EQ(config.triggerings.size(), 1u);
    EXPECT_TRUE(
        SameRecord(config.triggerings[0], MakeTrigger("t", "N", "UDP", "a", "1", "2", "3")));
}

TEST_F(ConfigLoader, LongValuesAreCutToTheirFieldsAndTheReadersLimit)
{
    const std::string long_name(200, 'n');
    auto config = Load("<mappings><triggerings><trigger name=\"" + long_name +
                       "\" auto_start=\"YES\" protocol=\"TCP\" trigger_address=\"" +
                       std::string(300, 'h') + "\" trigger_port=\"" + std::string(30, '1') +
                       "\" trigger_port_end=\"2\" frequence=\"12345678901234\"/></triggerings>"
                       "<forwardings><forwarding name=\"f\" protocol=\"TCP\" listen_port=\"1\" "
                       "destination_ip=\"d\" type=\"YESYESYESYES\"/></forwardings></mappings>");
    EXPECT_FALSE(config.invalid);
    ASSERT_EQ(config.triggerings.size(), 1u);
    const auto& trigger = config.triggerings[0];
    EXPECT_EQ(std::string(trigger.name), long_name.substr(0, 128));
    EXPECT_EQ(std::string(trigger.trigger_address), std::string(128, 'h'));
    EXPECT_EQ(velmora::Field(trigger.auto_start), "YE") << "fills the field, never shortens to Y";
    EXPECT_EQ(std::string(trigger.trigger_port), std::string(19, '1'));
    EXPECT_STREQ(trigger.frequence, "123456789"); // at most 10 bytes with the terminator
    ASSERT_EQ(config.forwardings.size(), 1u);
    EXPECT_STREQ(config.forwardings[0].type, "YESYESYES");
}

TEST_F(ConfigLoader, AnAutoStartOfYesIsNotY)
{
    for (const char* value : {"Yes", "Ye", "y"}) {
        auto config = Load("<mappings><triggerings><trigger name=\"t\" auto_start=\"" +
                           std::string(value) +
                           "\" protocol=\"TCP\" trigger_address=\"a\" trigger_port=\"1\" "
                           "trigger_port_end=\"1\" frequence=\"1\"/></triggerings></mappings>");
        ASSERT_EQ(config.triggerings.size(), 1u);
        EXPECT_NE(velmora::Field(config.triggerings[0].auto_start), "Y") << value;
    }
}

TEST_F(ConfigLoader, FieldCutFallsOnACharacterBoundary)
{
    // protocol holds 49 bytes: "東" would straddle the end, so it is left out whole.
    const std::string protocol = std::string(48, 'p') + "&#x6771;";
    auto config = Load("<mappings><forwardings><forwarding name=\"f\" protocol=\"" + protocol +
                       "\" listen_port=\"1\" destination_ip=\"d\" type=\"Y\"/></forwardings>"
                       "</mappings>");
    ASSERT_EQ(config.forwardings.size(), 1u);
    EXPECT_EQ(std::string(config.forwardings[0].protocol), std::string(48, 'p'));
}

TEST_F(ConfigLoader, MessageTextsForTheUser)
{
    EXPECT_STREQ(velmora::kInvalidConfigMessage, "invalid config file!");
    EXPECT_STREQ(velmora::kInvalidConfigCaption, "ERROR!");
}

} // namespace
