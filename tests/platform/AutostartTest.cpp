#include "platform/Autostart.h"

#include "tests/support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

using velmora::test::TempDir;

namespace {
class AutostartTest : public ::testing::Test
{
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", home_.path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
    TempDir home_;
};
} // namespace

TEST_F(AutostartTest, EntryLivesInTheUsersAutostartFolder)
{
    EXPECT_EQ(velmora::AutostartEntryPath(), home_.path() + "/autostart/velmora.desktop");
}

TEST_F(AutostartTest, WriteThenRemove)
{
    ASSERT_TRUE(velmora::WriteAutostartEntry("/opt/velmora/velmora"));
    std::string text = home_.read("autostart/velmora.desktop");
    EXPECT_NE(text.find("[Desktop Entry]\n"), std::string::npos);
    EXPECT_NE(text.find("\nName=Velmora\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/opt/velmora/velmora\"\n"), std::string::npos);

    ASSERT_TRUE(velmora::RemoveAutostartEntry());
    EXPECT_FALSE(std::filesystem::exists(velmora::AutostartEntryPath()));
    EXPECT_TRUE(velmora::RemoveAutostartEntry()) << "removing an absent entry succeeds";
}

TEST(AutostartText, ExecQuotesSpecialCharacters)
{
    // Inside quotes '"', '`', '$' and '\' are escaped, and the value escapes '\' again.
    std::string text = velmora::AutostartEntryText("/home/a b/$x`y\"z\\w/100%/velmora");
    EXPECT_NE(text.find("Exec=\"/home/a b/\\\\$x\\\\`y\\\\\"z\\\\\\\\w/100%%/velmora\"\n"),
              std::string::npos)
        << text;
}

TEST(AutostartText, LineBreaksAreEscapedAndOtherControlCharactersRefused)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/a\nExec=/x", "\nExec=\"/a\\nExec=/x\"\n"},
        {"/a\rb\tc", "\nExec=\"/a\\rb\\tc\"\n"},
        {"/a\x01", ""},
        {"/a\x7f", ""},
        {"/caf\xe9", ""}}; // the last is no UTF-8
    for (const auto& [path, exec] : cases) {
        const std::string text = velmora::AutostartEntryText(path);
        EXPECT_EQ(exec.empty() ? text : text.substr(text.find("\nExec="), exec.size()), exec);
    }
    TempDir home;
    setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    velmora::Message reason;
    EXPECT_FALSE(velmora::WriteAutostartEntry("/opt/a\x1b", &reason));
    EXPECT_NE(English(reason).find("cannot carry"), std::string::npos) << English(reason);
    unsetenv("XDG_CONFIG_HOME");
}
