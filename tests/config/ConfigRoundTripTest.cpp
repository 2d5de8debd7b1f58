// Writing, reading and writing again: values come back as they were written,
// and the second file has the same bytes as the first.

#include "config/core/ConfigStore.h"
#include "tests/config/Records.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace velmora::test;

struct Config
{
    AppSettings settings;
    std::vector<TriggeringEntry> triggerings;
    std::vector<ForwardingEntry> forwardings;
};

class ConfigRoundTrip : public ::testing::Test
{
protected:
    // Saves, loads and saves again; the loaded records go to `loaded`.
    void RoundTrip(const Config& config)
    {
        std::string reason;
        ASSERT_TRUE(SaveConfig(dir.file("config.xml"), config.settings, config.triggerings,
                               config.forwardings, &reason))
            << reason;
        first = dir.read("config.xml");
        loaded = LoadConfig(dir.file("config.xml"));
        ASSERT_FALSE(loaded.invalid);
        ASSERT_TRUE(SaveConfig(dir.file("config.xml"), loaded.settings, loaded.triggerings,
                               loaded.forwardings, &reason))
            << reason;
        second = dir.read("config.xml");
    }

    void ExpectSameRecords(const Config& config)
    {
        EXPECT_TRUE(SameRecord(loaded.settings, config.settings));
        ASSERT_EQ(loaded.triggerings.size(), config.triggerings.size());
        for (size_t i = 0; i < config.triggerings.size(); ++i)
            EXPECT_TRUE(SameRecord(loaded.triggerings[i], config.triggerings[i])) << i;
        ASSERT_EQ(loaded.forwardings.size(), config.forwardings.size());
        for (size_t i = 0; i < config.forwardings.size(); ++i)
            EXPECT_TRUE(SameRecord(loaded.forwardings[i], config.forwardings[i])) << i;
    }

    TempDir dir;
    LoadedConfig loaded;
    std::string first;
    std::string second;
};

TEST_F(ConfigRoundTrip, AsciiValuesComeBackAndTheBytesRepeat)
{
    Config config{
        MakeSettings("0", "1"),
        {MakeTrigger("game", "Y", "TCP and UDP", "play.example.net", "6000", "6010", "1000"),
         MakeTrigger("voice", "N", "UDP", "10.1.2.3", "9987", "9987", "250")},
        {MakeForwarding("web", "Y", "TCP", "80,443-447,8080", "192.168.1.20"),
         MakeForwarding("ssh", "N", "Both", "22", "Localhost")}};
    RoundTrip(config);
    ExpectSameRecords(config);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first, BuildConfigText(config.settings, config.triggerings, config.forwardings));
}

TEST_F(ConfigRoundTrip, EmptyConfigRepeats)
{
    Config config{MakeSettings("1", "0"), {}, {}};
    RoundTrip(config);
    ExpectSameRecords(config);
    EXPECT_EQ(first, second);
}

TEST_F(ConfigRoundTrip, MarkupCharactersSurvive)
{
    Config config{MakeSettings("1", "1"),
                  {MakeTrigger("say \"hi\" & <bye>", "Y", "TCP", "a&b<c>d\"e", "1", "2", "3")},
                  {MakeForwarding("'<&>'\"", "N", "UDP", "1", "&amp;")}};
    RoundTrip(config);
    ExpectSameRecords(config);
    EXPECT_EQ(first, second);
}

TEST_F(ConfigRoundTrip, NonAsciiSurvives)
{
    Config config{MakeSettings("1", "1"),
                  {MakeTrigger("Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC", "Y", "TCP",
                               "\xF0\x9F\x98\x80.example", "1", "2", "3")},
                  {MakeForwarding("na\xC3\xAFve \xE2\x82\xAC", "Y", "TCP", "80",
                                  "\xD0\xBC\xD0\xB8\xD1\x80")}};
    RoundTrip(config);
    ExpectSameRecords(config);
    EXPECT_EQ(first, second);
}

TEST_F(ConfigRoundTrip, TabsAndLineBreaksSurvive)
{
    Config config{MakeSettings("1", "1"),
                  {},
                  {MakeForwarding("a\tb\nc\r\nd", "Y", "TCP", "80", " lead and trail ")}};
    RoundTrip(config);
    ExpectSameRecords(config);
}

TEST_F(ConfigRoundTrip, StrayByteComesBackAsItsLatin1Character)
{
    Config config{MakeSettings("1", "1"), {}, {MakeForwarding("Caf\xE9", "Y", "TCP", "80", "h")}};
    RoundTrip(config);
    ASSERT_EQ(loaded.forwardings.size(), 1u);
    EXPECT_STREQ(loaded.forwardings[0].name, "Caf\xC3\xA9");
    EXPECT_EQ(first, second);
}

TEST_F(ConfigRoundTrip, LongNonAsciiNameIsCutOnACharacterBoundary)
{
    // 85 three-byte characters fill the 256-byte name field; the reader keeps
    // 128 bytes, which is 42 whole characters and not 42 and two thirds.
    std::string name;
    for (int i = 0; i < 85; ++i)
        name += "\xE6\x9D\xB1";
    Config config{MakeSettings("1", "1"), {MakeTrigger(name, "Y", "TCP", "h", "1", "2", "3")}, {}};
    RoundTrip(config);
    ASSERT_EQ(loaded.triggerings.size(), 1u);
    EXPECT_EQ(std::string(loaded.triggerings[0].name), name.substr(0, 42 * 3));
}

TEST_F(ConfigRoundTrip, ReadWriteReadOfAHandWrittenFileIsStable)
{
    dir.write("config.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<mappings>\n  <triggerings>\n    <trigger name=\"Caf\xE9\" "
                            "auto_start=\"Y\" protocol=\"TCP\" trigger_address=\"h\" "
                            "trigger_port=\"1\" trigger_port_end=\"2\" frequence=\"3\"/>\n"
                            "  </triggerings>\n</mappings>\n");
    auto once = LoadConfig(dir.file("config.xml"));
    ASSERT_FALSE(once.invalid);
    std::string reason;
    ASSERT_TRUE(SaveConfig(dir.file("config.xml"), once.settings, once.triggerings,
                           once.forwardings, &reason));
    auto twice = LoadConfig(dir.file("config.xml"));
    ASSERT_FALSE(twice.invalid);
    EXPECT_TRUE(SameRecord(once.settings, twice.settings));
    ASSERT_EQ(twice.triggerings.size(), 1u);
    EXPECT_TRUE(SameRecord(once.triggerings[0], twice.triggerings[0]));
    EXPECT_STREQ(twice.triggerings[0].name, "Caf\xC3\xA9");
}

} // namespace
