#include "platform/AppPaths.h"

#include "platform/XdgFolders.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

using velmora::AppPaths;
using velmora::AppPathsFacts;
using velmora::AppPathsMode;
using velmora::test::TempDir;

namespace {

AppPathsFacts Facts(bool writable, const char* packageData)
{
    return {"/opt/v/bin/", writable,          packageData,
            "/h/.config",  "/h/.local/state", "/h/.local/share"};
}

} // namespace

TEST(ChooseAppPaths, PortableOnlyWhenWritableAndNotInAnInstalledPrefix)
{
    struct Case
    {
        bool writable;
        const char* packageData;
        AppPathsMode mode;
    } cases[] = {
        {true, "", AppPathsMode::Portable},
        {false, "", AppPathsMode::Installed},
        {true, "/opt/v/share/velmora/", AppPathsMode::Installed}, // root running /usr/bin/velmora
        {false, "/opt/v/share/velmora/", AppPathsMode::Installed},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velmora::ChooseAppPaths(Facts(c.writable, c.packageData)).mode, c.mode)
            << c.writable << " " << c.packageData;
}

TEST(ChooseAppPaths, PortableFilesLieBesideTheExecutable)
{
    AppPaths paths = velmora::ChooseAppPaths(Facts(true, ""));
    EXPECT_EQ(paths.config, "/opt/v/bin/config.xml");
    EXPECT_EQ(paths.log, "/opt/v/bin/log/velmora.log");
    EXPECT_EQ(paths.catalogue, "/opt/v/bin/ports_list.txt");
    EXPECT_EQ(paths.shippedCatalogue, "");
}

TEST(ChooseAppPaths, InstalledFilesLieInTheBaseFolders)
{
    AppPaths paths = velmora::ChooseAppPaths(Facts(false, "/opt/v/share/velmora/"));
    EXPECT_EQ(paths.config, "/h/.config/velmora/config.xml");
    EXPECT_EQ(paths.log, "/h/.local/state/velmora/log/velmora.log");
    EXPECT_EQ(paths.catalogue, "/h/.local/share/velmora/ports_list.txt");
    EXPECT_EQ(paths.shippedCatalogue, "/opt/v/share/velmora/ports_list.txt");
}

TEST(ChooseAppPaths, NoHomeFolderFallsBackToTheProgramFolder)
{
    AppPathsFacts facts = Facts(false, "");
    facts.stateHome.clear();
    EXPECT_EQ(velmora::ChooseAppPaths(facts).config, "/opt/v/bin/config.xml");
}

TEST(PackageDataDirFor, PrefixOfABinFolder)
{
    struct Case
    {
        const char* programDir;
        const char* expected;
    } cases[] = {
        {"/usr/bin/", "/usr/share/velmora/"},
        {"/tmp/root/usr/local/bin/", "/tmp/root/usr/local/share/velmora/"},
        {"/home/u/velmora/build/bin/", "/home/u/velmora/build/share/velmora/"},
        {"/opt/velmora/", ""},
        {"/usr/sbin/", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velmora::PackageDataDirFor(c.programDir), c.expected) << c.programDir;
}

TEST(XdgFolder, VariableWhenAbsoluteElseDefaultUnderHome)
{
    struct Case
    {
        const char* variable;
        const char* home;
        const char* expected;
    } cases[] = {
        {"/x/conf", "/home/u", "/x/conf"},
        {"/x/conf/", "/home/u", "/x/conf"},
        {nullptr, "/home/u", "/home/u/.local/state"},
        {"", "/home/u", "/home/u/.local/state"},
        {"relative/conf", "/home/u", "/home/u/.local/state"}, // invalid: ignored
        {nullptr, "/", "/.local/state"},
        {nullptr, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(velmora::XdgFolder(c.variable, c.home, ".local/state"), c.expected)
            << (c.variable ? c.variable : "(unset)") << " " << c.home;
}

class AppPathsOnDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "HOME"})
            if (const char* value = std::getenv(name))
                saved_.emplace_back(name, value);
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_STATE_HOME");
        setenv("XDG_DATA_HOME", (dir_.path() + "data").c_str(), 1);
        setenv("HOME", (dir_.path() + "home").c_str(), 1);
        std::filesystem::create_directories(dir_.path() + "root/usr/bin");
        std::filesystem::create_directories(dir_.path() + "root/usr/share/velmora");
        dir_.write("root/usr/share/velmora/ports_list.txt", "Web|80| \n");
    }
    void TearDown() override
    {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "HOME"})
            unsetenv(name);
        for (const auto& [name, value] : saved_)
            setenv(name.c_str(), value.c_str(), 1);
    }
    TempDir dir_;
    std::vector<std::pair<std::string, std::string>> saved_;
};

TEST_F(AppPathsOnDisk, BuildFolderIsPortable)
{
    std::filesystem::create_directories(dir_.path() + "build/bin");
    AppPaths paths = velmora::AppPathsFor(dir_.path() + "build/bin/");
    EXPECT_EQ(paths.mode, AppPathsMode::Portable);
    EXPECT_EQ(paths.config, dir_.path() + "build/bin/config.xml");
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_FALSE(std::filesystem::exists(dir_.path() + "build/bin/ports_list.txt"));
}

TEST_F(AppPathsOnDisk, UnpackedPackageUsesTheBaseFoldersAndCopiesTheCatalogueOnce)
{
    AppPaths paths = velmora::AppPathsFor(dir_.path() + "root/usr/bin/");
    ASSERT_EQ(paths.mode, AppPathsMode::Installed);
    EXPECT_EQ(paths.config, dir_.path() + "home/.config/velmora/config.xml");
    EXPECT_EQ(paths.log, dir_.path() + "home/.local/state/velmora/log/velmora.log");
    EXPECT_EQ(paths.catalogue, dir_.path() + "data/velmora/ports_list.txt");

    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_EQ(dir_.read("data/velmora/ports_list.txt"), "Web|80| \n");
    struct stat info
    {
    };
    ASSERT_EQ(::stat((dir_.path() + "home/.local/state/velmora/log").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_TRUE(std::filesystem::is_directory(dir_.path() + "home/.config/velmora"));

    // The user's catalogue is theirs from now on.
    dir_.write("data/velmora/ports_list.txt", "Mine|1| \n");
    dir_.write("root/usr/share/velmora/ports_list.txt", "Web|80| \nMail|25| \n");
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_EQ(dir_.read("data/velmora/ports_list.txt"), "Mine|1| \n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path() + "data/velmora"),
                            std::filesystem::directory_iterator{}),
              1)
        << "no temporary copy left behind";
}

TEST_F(AppPathsOnDisk, NoShippedCatalogueLeavesTheUsersFolderEmpty)
{
    std::filesystem::remove(dir_.path() + "root/usr/share/velmora/ports_list.txt");
    AppPaths paths = velmora::AppPathsFor(dir_.path() + "root/usr/bin/");
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_FALSE(std::filesystem::exists(paths.catalogue));
}

TEST_F(AppPathsOnDisk, UnwritableBaseFolderIsReported)
{
    dir_.write("data-file", "");
    setenv("XDG_DATA_HOME", (dir_.path() + "data-file").c_str(), 1);
    std::string reason;
    EXPECT_FALSE(
        velmora::PrepareAppPaths(velmora::AppPathsFor(dir_.path() + "root/usr/bin/"), &reason));
    EXPECT_NE(reason.find("cannot create " + dir_.path() + "data-file"), std::string::npos)
        << reason;
}
