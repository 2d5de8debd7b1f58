// Files written in the user's folders: never through a symlink planted at
// their name, never inherited by programs started from Velmora, never shared
// with another user.
#include "catalogue/core/CatalogueFile.h"
#include "platform/AppPaths.h"
#include "platform/Autostart.h"
#include "platform/Log.h"
#include "platform/RuntimeFolder.h"
#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using velmora::test::TempDir;

TEST(UserFiles, NoWriterFollowsASymlinkAtItsName)
{
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    mkdir(dir.file("autostart").c_str(), 0700);
    const std::pair<std::string, std::function<void(const std::string&)>> writers[] = {
        {"log",
         [](const std::string& at) {
             OpenLog(at.c_str());
             WriteLog("line\n");
             velmora::CloseLogForTesting();
         }},
        {"ports_list.txt",
         [](const std::string& at) { velmora::AppendCatalogueLine(at, "A", "1", ""); }},
        {"autostart/velmora.desktop",
         [](const std::string&) { velmora::WriteAutostartEntry("/v"); }},
    };
    for (const auto& [name, write] : writers) {
        dir.write("victim", "kept");
        ASSERT_EQ(symlink(dir.file("victim").c_str(), dir.file(name).c_str()), 0) << name;
        write(dir.file(name));
        EXPECT_EQ(dir.read("victim"), "kept") << name;
    }
    unsetenv("XDG_CONFIG_HOME");

    // The log's descriptor is not handed to programs started from here.
    const int fd = OpenLog(dir.file("own.log").c_str());
    EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC);
    velmora::CloseLogForTesting();
}

TEST(UserFiles, TheFirstCopyOfTheCatalogueWritesNothingPlanted)
{
    TempDir dir;
    dir.write("shipped", "Shipped|1| \n");
    dir.write("victim", "kept");
    velmora::AppPaths paths = velmora::ChooseAppPaths(
        {"/opt/v/bin/", false, dir.path(), dir.path() + "c", dir.path() + "s", dir.path() + "d"});
    paths.shippedCatalogue = dir.file("shipped");
    mkdir(dir.file("d").c_str(), 0700);
    mkdir(dir.file("d/velmora").c_str(), 0700);
    // The temporary name an earlier version used, pointing elsewhere.
    symlink(dir.file("victim").c_str(),
            (paths.catalogue + ".new" + std::to_string(getpid())).c_str());
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_EQ(dir.read("d/velmora/ports_list.txt"), "Shipped|1| \n");
    EXPECT_EQ(dir.read("victim"), "kept");
}

TEST(UserFiles, TheDefaultConfigIsCopiedOnTheFirstStartOnly)
{
    TempDir dir;
    dir.write("config.xml", "default");
    const velmora::AppPaths paths = velmora::ChooseAppPaths(
        {"/opt/v/bin/", false, dir.path(), dir.path() + "c", dir.path() + "s", dir.path() + "d"});
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_EQ(dir.read("c/velmora/config.xml"), "default");
    dir.write("c/velmora/config.xml", "mine");
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_EQ(dir.read("c/velmora/config.xml"), "mine");
    unlink(paths.config.c_str()); // gone later: the user hears of it, no default comes
    ASSERT_TRUE(velmora::PrepareAppPaths(paths));
    EXPECT_NE(access(paths.config.c_str(), F_OK), 0);
}

TEST(UserFiles, TheRuntimeFolderIsOnlyEverAPrivateOneOfOurOwn)
{
    TempDir dir;
    setenv("TMPDIR", dir.path().c_str(), 1);
    const std::string own = dir.file("velmora-" + std::to_string(geteuid()));
    mkdir(dir.file("session").c_str(), 0700);
    mkdir(dir.file("open").c_str(), 0755);
    struct Case
    {
        const char* runtime;          // XDG_RUNTIME_DIR, null: unset
        std::function<void()> before; // what is at the fallback's name
        std::string expected;
    } cases[] = {
        {nullptr, [] {}, own},
        {"session", [] {}, dir.file("session")},
        {"open", [] {}, own}, // others may enter it: not private
        {nullptr,
         [&] {
             rmdir(own.c_str());
             mkdir(own.c_str(), 0777);
             chmod(own.c_str(), 0777);
         },
         ""},
        {nullptr,
         [&] {
             rmdir(own.c_str());
             symlink(dir.file("session").c_str(), own.c_str());
         },
         ""},
    };
    for (const Case& c : cases) {
        c.before();
        if (c.runtime)
            setenv("XDG_RUNTIME_DIR", dir.file(c.runtime).c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
        EXPECT_EQ(velmora::PrivateRuntimeFolder(), c.expected) << (c.runtime ? c.runtime : "unset");
    }
    struct stat info
    {
    };
    unlink(own.c_str());
    unsetenv("XDG_RUNTIME_DIR");
    velmora::UsePrivateRuntimeFolder(); // made 0700, and named for Qt
    EXPECT_EQ(getenv("XDG_RUNTIME_DIR"), own);
    ASSERT_EQ(lstat(own.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    unsetenv("XDG_RUNTIME_DIR");
    unsetenv("TMPDIR");
}
