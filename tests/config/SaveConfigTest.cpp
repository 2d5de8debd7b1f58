// Saving replaces config.xml in one step: the new bytes or, on failure, the
// old file untouched, a reason, and no temporary file left behind.

#include "config/core/ConfigStore.h"
#include "tests/config/Records.h"
#include "tests/support/TempDir.h"

#include <csignal>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
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

class SaveConfigTest : public ::testing::Test
{
protected:
    bool Save(const std::string& path, std::string* reason)
    {
        return SaveConfig(path, settings, triggerings, forwardings, reason);
    }

    TempDir dir;
    AppSettings settings = MakeSettings("1", "0");
    std::vector<TriggeringEntry> triggerings{
        MakeTrigger("game", "Y", "TCP", "host", "6000", "6001", "500")};
    std::vector<ForwardingEntry> forwardings{
        MakeForwarding("web", "N", "TCP", "80", "192.168.1.2")};
};

TEST_F(SaveConfigTest, CreatesTheFileWithTheBuiltBytesAndNothingElse)
{
    std::string reason = "untouched";
    ASSERT_TRUE(Save(dir.file("config.xml"), &reason));
    EXPECT_EQ(reason, "untouched");
    EXPECT_EQ(dir.read("config.xml"), BuildConfigText(settings, triggerings, forwardings));
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

TEST_F(SaveConfigTest, ReplacesAnOlderLongerFileAndKeepsItsPermissions)
{
    dir.write("config.xml", std::string(10000, 'x'));
    ASSERT_EQ(::chmod(dir.file("config.xml").c_str(), 0640), 0);
    ASSERT_TRUE(Save(dir.file("config.xml"), nullptr));
    EXPECT_EQ(dir.read("config.xml"), BuildConfigText(settings, triggerings, forwardings));
    struct stat info;
    ASSERT_EQ(::stat(dir.file("config.xml").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

TEST_F(SaveConfigTest, FailedWriteLeavesTheOldFileAndNoTemporary)
{
    const std::string old_bytes = "<mappings auto_startup=\"0\"/>";
    dir.write("config.xml", old_bytes);
    triggerings.assign(50, triggerings[0]); // far more than the limit below

    // Let no file in this process grow past 100 bytes, so the write itself fails.
    struct rlimit saved;
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string reason;
    const bool saved_ok = Save(dir.file("config.xml"), &reason);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(saved_ok);
    EXPECT_NE(reason.find(std::strerror(EFBIG)), std::string::npos) << reason;
    EXPECT_EQ(dir.read("config.xml"), old_bytes);
    EXPECT_EQ(FilesIn(dir.path()), std::vector<std::string>{"config.xml"});
}

TEST_F(SaveConfigTest, MissingFolderIsReportedWithItsReason)
{
    std::string reason;
    EXPECT_FALSE(Save(dir.file("gone/config.xml"), &reason));
    EXPECT_NE(reason.find(dir.file("gone")), std::string::npos) << reason;
    EXPECT_NE(reason.find(std::strerror(ENOENT)), std::string::npos) << reason;
    EXPECT_FALSE(Save(dir.file("gone/config.xml"), nullptr)); // no reason wanted
}

TEST_F(SaveConfigTest, FolderThatIsAFileIsReportedWithItsReason)
{
    dir.write("plain", "x");
    std::string reason;
    EXPECT_FALSE(Save(dir.file("plain/config.xml"), &reason));
    EXPECT_NE(reason.find(std::strerror(ENOTDIR)), std::string::npos) << reason;
}

TEST_F(SaveConfigTest, ReadOnlyFolderIsReportedAndTheOldFileStays)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    const std::string folder = dir.file("locked");
    std::filesystem::create_directory(folder);
    dir.write("locked/config.xml", "old");
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    std::string reason;
    const bool saved_ok = Save(folder + "/config.xml", &reason);
    ::chmod(folder.c_str(), 0755);
    EXPECT_FALSE(saved_ok);
    EXPECT_NE(reason.find(std::strerror(EACCES)), std::string::npos) << reason;
    EXPECT_EQ(dir.read("locked/config.xml"), "old");
}

TEST_F(SaveConfigTest, TargetThatCannotBeReplacedStaysAndNoTemporaryRemains)
{
    std::filesystem::create_directory(dir.file("config.xml"));
    dir.write("config.xml/keep", "k");
    std::string reason;
    EXPECT_FALSE(Save(dir.file("config.xml"), &reason));
    EXPECT_NE(reason.find(dir.file("config.xml")), std::string::npos) << reason;
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
    EXPECT_EQ(dir.read("config.xml"), BuildConfigText(settings, triggerings, forwardings));
}

} // namespace
