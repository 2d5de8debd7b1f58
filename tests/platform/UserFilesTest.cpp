// Files in the user's folders: never written through a symlink at their name,
// not inherited by programs started from Velmora, never shared with another user.
#include "catalogue/core/CatalogueFile.h"
#include "platform/AppPaths.h"
#include "platform/Autostart.h"
#include "platform/Log.h"
#include "platform/RuntimeFolder.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using velmora::test::TempDir;

TEST(UserFiles, NoWriterFollowsASymlinkAtItsNameAndFirstCopiesWriteNothingPlanted)
{
    TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    for (const char* folder : {"autostart", "d", "d/velmora"})
        mkdir(dir.file(folder).c_str(), 0700);
    const velmora::AppPaths paths = velmora::ChooseAppPaths(
        {"/opt/v/bin/", false, dir.path(), dir.file("c"), dir.file("s"), dir.file("d")});
    dir.write("ports_list.txt", "Shipped|1| \n");
    const std::pair<std::string, std::function<void(const std::string&)>> writers[] = {
        {"log",
         [](auto& at) { OpenLog(at.c_str()), WriteLog("x\n"), velmora::CloseLogForTesting(); }},
        {"list", [](auto& at) { velmora::AppendCatalogueLine(at, "A", "1", ""); }},
        {"autostart/velmora.desktop", [](auto&) { velmora::WriteAutostartEntry("/v"); }},
        // The temporary name an earlier version copied the shipped catalogue to.
        {"d/velmora/ports_list.txt.new" + std::to_string(getpid()),
         [&](auto&) { velmora::PrepareAppPaths(paths); }},
    };
    for (const auto& [name, write] : writers) {
        dir.write("victim", "kept");
        ASSERT_EQ(symlink(dir.file("victim").c_str(), dir.file(name).c_str()), 0) << name;
        write(dir.file(name));
        EXPECT_EQ(dir.read("victim"), "kept") << name;
    }
    EXPECT_EQ(dir.read("d/velmora/ports_list.txt"), "Shipped|1| \n");
    unsetenv("XDG_CONFIG_HOME");
    const int fd = OpenLog(dir.file("own.log").c_str());
    EXPECT_TRUE(fcntl(fd, F_GETFD) & FD_CLOEXEC);
    velmora::CloseLogForTesting();
}

TEST(UserFiles, TheRuntimeFolderIsOnlyEverAPrivateOneOfOurOwn)
{
    TempDir dir;
    setenv("TMPDIR", dir.path().c_str(), 1);
    const std::string own = dir.file("velmora-" + std::to_string(geteuid()));
    mkdir(dir.file("open").c_str(), 0755), chmod(dir.file("open").c_str(), 0777);
    setenv("XDG_RUNTIME_DIR", dir.file("open").c_str(), 1); // others may write to it
    velmora::UsePrivateRuntimeFolder();                     // our own, made 0700 and named for Qt
    struct stat info
    {
    };
    EXPECT_EQ(getenv("XDG_RUNTIME_DIR"), own);
    EXPECT_EQ(lstat(own.c_str(), &info) == 0 ? info.st_mode & 07777 : 0, 0700u);
    EXPECT_EQ(velmora::PrivateRuntimeFolder(), own);
    unsetenv("XDG_RUNTIME_DIR");
    rmdir(own.c_str()), symlink(dir.file("open").c_str(), own.c_str()); // squatted
    EXPECT_EQ(velmora::PrivateRuntimeFolder(), "");
    unlink(own.c_str()), mkdir(own.c_str(), 0777), chmod(own.c_str(), 0777);
    EXPECT_EQ(velmora::PrivateRuntimeFolder(), "");
    unsetenv("TMPDIR");
}
