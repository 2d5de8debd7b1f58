// Saving and reading back: values come back as they were written, the second
// file has the bytes of the first, and a save replaces config.xml in one step
// (the new bytes, or on failure the old file, a reason and no temporary left).

#include "config/core/ConfigStore.h"
#include "tests/config/RecordMakers.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace velmora::test;

std::vector<std::string> FilesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

struct Config
{
    AppSettings settings;
    std::vector<TriggeringEntry> triggerings;
    std::vector<ForwardingEntry> forwardings;
};

class SaveConfigTest : public ::testing::Test
{
protected:
    bool Save(const std::string& path, velmora::Message* reason, const Config& saved)
    {
        return SaveConfig(path, saved.settings, saved.triggerings, saved.forwardings, reason);
    }
    bool Save(const std::string& path, velmora::Message* reason)
    {
        return Save(path, reason, config);
    }
    std::string Built() const
    {
        return velmora::BuildConfigText(config.settings, config.triggerings, config.forwardings);
    }

    // Saves, loads and saves again; `first` and `second` are the two files.
    velmora::LoadedConfig RoundTrip(const Config& original)
    {
        velmora::Message reason;
        EXPECT_TRUE(Save(dir.file("config.xml"), &reason, original)) << English(reason);
        first = dir.read("config.xml");
        velmora::LoadedConfig loaded = velmora::LoadConfig(dir.file("config.xml"));
        EXPECT_FALSE(loaded.invalid);
        EXPECT_TRUE(Save(dir.file("config.xml"), &reason,
                         {loaded.settings, loaded.triggerings, loaded.forwardings}))
            << English(reason);
        second = dir.read("config.xml");
        return loaded;
    }

    std::string first, second;
    TempDir dir;
    Config config{MakeSettings("1", "0"),
                  {MakeTrigger("game", "Y", "TCP", "host", "6000", "6001", "500")},
                  {MakeForwarding("web", "N", "TCP", "80", "192.168.1.2")}};
};

TEST_F(SaveConfigTest, ValuesComeBackAndTheBytesRepeat)
{
    const Config configs[] = {
        {MakeSettings("0", "1"),
         {MakeTrigger("game", "Y", "TCP and UDP", "play.example.net", "6000", "6010", "1000"),
          MakeTrigger("voice", "N", "UDP", "10.1.2.3", "9987", "9987", "250")},
         {MakeForwarding("web", "Y", "TCP", "80,443-447,8080", "192.168.1.20"),
          MakeForwarding("ssh", "N", "Both", "22", "Localhost")}},
        {MakeSettings("1", "0"), {}, {}},
        // Markup characters.
        {MakeSettings("1", "1"),
         {MakeTrigger("say \"hi\" & <bye>", "Y", "TCP", "a&b<c>d\"e", "1", "2", "3")},
         {MakeForwarding("'<&>'\"", "N", "UDP", "1", "&amp;")}},
        // Text outside ASCII, tabs and line breaks.
        {MakeSettings("1", "1"),
         {MakeTrigger("Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC", "Y", "TCP",
                      "\xF0\x9F\x98\x80.example", "1", "2", "3")},
         {MakeForwarding("na\xC3\xAFve \xE2\x82\xAC", "Y", "TCP", "80", "\xD0\xBC\xD0\xB8\xD1\x80"),
          MakeForwarding("a\tb\nc\r\nd", "Y", "TCP", "80", " lead and trail ")}},
    };
    for (size_t i = 0; i < std::size(configs); ++i) {
        SCOPED_TRACE(i);
        auto loaded = RoundTrip(configs[i]);
        EXPECT_TRUE(SameRecord(loaded.settings, configs[i].settings));
        EXPECT_TRUE(SameRecords(loaded.triggerings, configs[i].triggerings));
        EXPECT_TRUE(SameRecords(loaded.forwardings, configs[i].forwardings));
        EXPECT_EQ(first, second);
    }
}

TEST_F(SaveConfigTest, StrayByteComesBackAsItsLatin1Character)
{
    auto loaded =
        RoundTrip({MakeSettings("1", "1"), {}, {MakeForwarding("Caf\xE9", "Y", "TCP", "80", "h")}});
    ASSERT_EQ(loaded.forwardings.size(), 1u);
    EXPECT_STREQ(loaded.forwardings[0].name, "Caf\xC3\xA9");
    EXPECT_EQ(first, second);
}

TEST_F(SaveConfigTest, LongNonAsciiNameIsCutOnACharacterBoundary)
{
    // 85 three-byte characters fill the 256-byte name field; the reader keeps
    // 128 bytes, which is 42 whole characters and not 42 and two thirds.
    std::string name;
    for (int i = 0; i < 85; ++i)
        name += "\xE6\x9D\xB1";
    auto loaded = RoundTrip(
        {MakeSettings("1", "1"), {MakeTrigger(name, "Y", "TCP", "h", "1", "2", "3")}, {}});
    ASSERT_EQ(loaded.triggerings.size(), 1u);
    EXPECT_EQ(std::string(loaded.triggerings[0].name), name.substr(0, 42 * 3));
}

TEST_F(SaveConfigTest, ReadWriteReadOfAHandWrittenFileIsStable)
{
    dir.write("config.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                            "<mappings>\n  <triggerings>\n    <trigger name=\"Caf\xE9\" "
                            "auto_start=\"Y\" protocol=\"TCP\" trigger_address=\"h\" "
                            "trigger_port=\"1\" trigger_port_end=\"2\" frequence=\"3\"/>\n"
                            "  </triggerings>\n</mappings>\n");
    auto once = velmora::LoadConfig(dir.file("config.xml"));
    ASSERT_FALSE(once.invalid);
    ASSERT_EQ(once.triggerings.size(), 1u);
    EXPECT_STREQ(once.triggerings[0].name, "Caf\xC3\xA9");
    auto twice = RoundTrip({once.settings, once.triggerings, once.forwardings});
    EXPECT_TRUE(SameRecord(twice.settings, once.settings));
    EXPECT_TRUE(SameRecords(twice.triggerings, once.triggerings));
    EXPECT_EQ(first, second);
}

TEST_F(SaveConfigTest, ReplacesAnOlderLongerFileAndKeepsItsPermissions)
{
    dir.write("config.xml", std::string(10000, 'x'));
    ASSERT_EQ(::chmod(dir.file("config.xml").c_str(), 0640), 0);
    velmora::Message reason("untouched");
    ASSERT_TRUE(Save(dir.file("config.xml"), &reason));
    EXPECT_EQ(English(reason), "untouched");
    EXPECT_EQ(dir.read("config.xml"), Built());
    struct stat info;
    ASSERT_EQ(::stat(dir.file("config.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

TEST_F(SaveConfigTest, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    const std::string old_bytes = "<mappings auto_startup=\"0\"/>";
    dir.write("config.xml", old_bytes);
    config.triggerings.assign(50, config.triggerings[0]); // far more than the limit below

    // Let no file in this process grow past 100 bytes, so the write itself fails.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    velmora::Message reason;
    const bool saved_ok = Save(dir.file("config.xml"), &reason);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved_ok);
    EXPECT_NE(English(reason).find(std::strerror(EFBIG)), std::string::npos) << English(reason);
    EXPECT_EQ(dir.read("config.xml"), old_bytes);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

TEST_F(SaveConfigTest, UnusableFolderOrTargetIsReportedWithItsReason)
{
    velmora::Message reason;
    EXPECT_FALSE(Save(dir.file("gone/config.xml"), &reason));
    EXPECT_NE(English(reason).find(dir.file("gone")), std::string::npos) << English(reason);
    EXPECT_NE(English(reason).find(std::strerror(ENOENT)), std::string::npos) << English(reason);
    EXPECT_FALSE(Save(dir.file("gone/config.xml"), nullptr)); // no reason wanted

    dir.write("plain", "x");
    EXPECT_FALSE(Save(dir.file("plain/config.xml"), &reason));
    EXPECT_NE(English(reason).find(std::strerror(ENOTDIR)), std::string::npos) << English(reason);

    // A target that cannot be replaced stays, and no temporary remains.
    std::filesystem::remove(dir.file("plain"));
    std::filesystem::create_directory(dir.file("config.xml"));
    dir.write("config.xml/keep", "k");
    EXPECT_FALSE(Save(dir.file("config.xml"), &reason));
    EXPECT_NE(English(reason).find(dir.file("config.xml")), std::string::npos) << English(reason);
    EXPECT_EQ(dir.read("config.xml/keep"), "k");
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

TEST_F(SaveConfigTest, RelativePathIsWrittenInTheCurrentFolder)
{
    const auto here = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const bool saved_ok = Save("config.xml", nullptr);
    std::filesystem::current_path(here);
    EXPECT_TRUE(saved_ok);
    EXPECT_EQ(dir.read("config.xml"), Built());
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

} // namespace
