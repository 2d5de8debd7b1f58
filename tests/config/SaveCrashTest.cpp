// A save killed at any moment leaves config.xml either as it was or as the
// new text, whole, and loadable without a message; the temporaries of killed
// saves are cleared by the next save.

#include "config/core/ConfigStore.h"
#include "tests/support/TempDir.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kKills = 300;

std::vector<TriggeringEntry> Triggerings(int count, const char* name)
{
    std::vector<TriggeringEntry> list;
    for (int i = 0; i < count; ++i) {
        auto entry = velmora::ZeroedRecord<TriggeringEntry>();
        const std::string entryName = name + std::to_string(i);
        velmora::SetField(entry.name, entryName);
        velmora::SetField(entry.auto_start, "N");
        velmora::SetField(entry.protocol, "TCP and UDP");
        const std::string address = std::string(100, static_cast<char>('a' + i % 26)) + ".lab";
        velmora::SetField(entry.trigger_address, address);
        velmora::SetField(entry.trigger_port, "6000");
        velmora::SetField(entry.trigger_port_end, "6010");
        velmora::SetField(entry.frequence, "1000");
        list.push_back(entry);
    }
    return list;
}

size_t TemporariesIn(const std::string& folder)
{
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        count += entry.path().extension() == ".tmp";
    return count;
}

} // namespace

TEST(SaveCrash, KilledSavesLeaveTheOldOrTheNewFileWhole)
{
    velmora::test::TempDir dir;
    const std::string path = dir.file("config.xml");
    auto settings = velmora::ZeroedRecord<AppSettings>();
    velmora::SetField(settings.auto_startup, "0");
    velmora::SetField(settings.monitor_router, "1");
    const auto first = Triggerings(300, "old");
    const auto second = Triggerings(400, "new");
    const std::string oldText = velmora::BuildConfigText(settings, first, {});
    const std::string newText = velmora::BuildConfigText(settings, second, {});
    velmora::Message reason;
    ASSERT_TRUE(SaveConfig(path, settings, first, {}, &reason)) << English(reason);

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    int sawOld = 0;
    int sawNew = 0;
    for (int round = 0; round < kKills; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves the two texts in turn until killed (bounded all the same).
            for (int i = 0; i < 100000; ++i)
                SaveConfig(path, settings, i % 2 ? first : second, {}, nullptr);
            ::_exit(0);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        const std::string onDisk = dir.read("config.xml");
        ASSERT_TRUE(onDisk == oldText || onDisk == newText)
            << "round " << round << ": " << onDisk.size() << " bytes";
        (onDisk == oldText ? sawOld : sawNew)++;
        const velmora::LoadedConfig loaded = velmora::LoadConfig(path);
        ASSERT_FALSE(loaded.invalid) << "round " << round;
        ASSERT_EQ(loaded.triggerings.size(), onDisk == oldText ? first.size() : second.size());
    }
    std::printf("%d kills: old text seen %d times, new text %d times\n", kKills, sawOld, sawNew);

    ASSERT_TRUE(SaveConfig(path, settings, first, {}, &reason)) << English(reason);
    EXPECT_EQ(TemporariesIn(dir.path()), 0u);
    EXPECT_EQ(dir.read("config.xml"), oldText);
}
