#include "router/core/RouterScan.h"
#include "router/core/UpnpRound.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace {

RouterEntryPtr Upnp(const std::string& url, const std::string& name)
{
    auto entry = std::make_shared<RouterEntry>();
    entry->description_url = url;
    entry->friendly_name = name;
    return entry;
}

RouterEntryPtr AirPort()
{
    auto entry = std::make_shared<RouterEntry>();
    entry->is_apple = true;
    return entry;
}

UpnpRound::Device Igd(const std::string& url, const std::string& name)
{
    return {" desc: " + url + "\n st: igd\n\nLocal LAN ip address : 1.2.3.4\n", Upnp(url, name)};
}

UpnpRound::Device Other(const std::string& url)
{
    return {" desc: " + url + "\n st: other\n\n", nullptr};
}

UpnpRound Round(std::vector<UpnpRound::Device> devices)
{
    return {true, std::move(devices)};
}

std::vector<std::string> Urls(const RouterList& list)
{
    std::vector<std::string> urls;
    for (const auto& entry : list)
        urls.push_back(entry->is_apple ? "apple" : entry->description_url);
    return urls;
}

TEST(MergeUpnpRound, AppendsRoutersInOrderAndPassesOverOthers)
{
    RouterList list;
    std::string lines;
    MergeUpnpRound(list, Round({Igd("http://a/", "A"), Other("http://x/"), Igd("http://b/", "B")}),
                   lines);
    EXPECT_EQ(Urls(list), (std::vector<std::string>{"http://a/", "http://b/"}));
    EXPECT_EQ(lines, "List of UPNP devices found on the network :\n"
                     " desc: http://a/\n st: igd\n\nLocal LAN ip address : 1.2.3.4\n"
                     " desc: http://x/\n st: other\n\n"
                     " desc: http://b/\n st: igd\n\nLocal LAN ip address : 1.2.3.4\n");
}

TEST(MergeUpnpRound, ADuplicateEndsTheRound)
{
    RouterList list{Upnp("http://a/", "A")};
    std::string lines;
    MergeUpnpRound(
        list, Round({Igd("http://c/", "C"), Igd("http://a/", "A"), Igd("http://d/", "D")}), lines);
    // c is new, a is listed already: d is never looked at.
    EXPECT_EQ(Urls(list), (std::vector<std::string>{"http://a/", "http://c/"}));
    EXPECT_EQ(lines.find("http://d/"), std::string::npos);
    EXPECT_NE(lines.find(" desc: http://a/\n st: igd\n\nLocal LAN ip address"), std::string::npos);
}

TEST(MergeUpnpRound, ADuplicateWithinOneRoundEndsIt)
{
    RouterList list;
    std::string lines;
    MergeUpnpRound(
        list, Round({Igd("http://a/", "A"), Igd("http://a/", "A"), Igd("http://b/", "B")}), lines);
    EXPECT_EQ(Urls(list), (std::vector<std::string>{"http://a/"}));
}

TEST(MergeUpnpRound, UrlsCompareExactly)
{
    RouterList list{Upnp("http://A/", "A")};
    std::string lines;
    MergeUpnpRound(list, Round({Igd("http://a/", "a"), Igd("http://A/ ", "A2")}), lines);
    EXPECT_EQ(Urls(list), (std::vector<std::string>{"http://A/", "http://a/", "http://A/ "}));
}

TEST(MergeUpnpRound, ARoundWithoutAnswerWritesNothing)
{
    RouterList list;
    std::string lines;
    MergeUpnpRound(list, UpnpRound{}, lines);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(lines, "");
}

TEST(MergeUpnpRound, AnsweredButEmptyWritesTheHeading)
{
    RouterList list;
    std::string lines;
    MergeUpnpRound(list, Round({}), lines);
    EXPECT_EQ(lines, "List of UPNP devices found on the network :\n");
}

TEST(RouterBoxLines, FriendlyNamesAndAirPortStation)
{
    RouterList list{Upnp("http://a/", "Home Router"), Upnp("http://b/", ""), AirPort()};
    EXPECT_EQ(RouterBoxLines(list),
              (std::vector<std::string>{"Home Router", "", "AirPort Station"}));
}

// A temporary file that catches the scan's diagnostic lines.
class Capture
{
public:
    Capture() : file_(std::tmpfile()) {}
    ~Capture()
    {
        if (file_)
            std::fclose(file_);
    }
    std::FILE* file() { return file_; }
    std::string text()
    {
        std::fflush(file_);
        std::rewind(file_);
        std::string out;
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0)
            out.append(buffer, n);
        return out;
    }

private:
    std::FILE* file_;
};

TEST(ScanRouters, OrderIsDefaultThenAddressesThenNatPmp)
{
    std::map<std::string, UpnpRound> answers;
    answers[""] = Round({Igd("http://r1/", "R1")});
    answers["10.0.0.2"] = Round({Igd("http://r2/", "R2")});
    answers["10.0.1.2"] = Round({Igd("http://r3/", "R3")});
    RouterScanSteps steps{[&](const std::string& a) { return answers.at(a); },
                          [] { return AirPort(); }};
    Capture out;
    RouterList list = ScanRouters({"10.0.0.2", "10.0.1.2"}, steps, out.file());
    EXPECT_EQ(Urls(list),
              (std::vector<std::string>{"http://r1/", "http://r2/", "http://r3/", "apple"}));
    std::string text = out.text();
    size_t first = text.find("desc: http://r1/");
    size_t address0 = text.find("Address 0 : 10.0.0.2\n");
    size_t second = text.find("desc: http://r2/");
    size_t address1 = text.find("Address 1 : 10.0.1.2\n");
    size_t third = text.find("desc: http://r3/");
    EXPECT_LT(first, address0);
    EXPECT_LT(address0, second);
    EXPECT_LT(second, address1);
    EXPECT_LT(address1, third);
    EXPECT_NE(third, std::string::npos);
}

TEST(ScanRouters, TheSameRouterOnTheLocalAddressIsListedOnce)
{
    std::map<std::string, UpnpRound> answers;
    answers[""] = Round({Igd("http://r1/", "R1")});
    answers["10.0.0.2"] = Round({Igd("http://r1/", "R1")});
    answers["10.0.0.3"] = Round({Igd("http://r1/", "R1")});
    RouterScanSteps steps{[&](const std::string& a) { return answers.at(a); },
                          [] { return nullptr; }};
    Capture out;
    RouterList list = ScanRouters({"10.0.0.2", "10.0.0.3"}, steps, out.file());
    EXPECT_EQ(Urls(list), (std::vector<std::string>{"http://r1/"}));
}

TEST(ScanRouters, ThreeAddressesMakeFourRounds)
{
    std::mutex mutex;
    std::multiset<std::string> asked;
    int probes = 0;
    RouterScanSteps steps{[&](const std::string& a) {
                              std::lock_guard lock(mutex);
                              asked.insert(a);
                              return UpnpRound{};
                          },
                          [&]() -> RouterEntryPtr {
                              std::lock_guard lock(mutex);
                              ++probes;
                              return nullptr;
                          }};
    Capture out;
    ScanRouters({"10.0.0.2", "10.0.1.2", "10.0.2.2"}, steps, out.file());
    EXPECT_EQ(asked, (std::multiset<std::string>{"", "10.0.0.2", "10.0.1.2", "10.0.2.2"}));
    EXPECT_EQ(probes, 1);
    EXPECT_EQ(out.text(), "Address 0 : 10.0.0.2\nAddress 1 : 10.0.1.2\nAddress 2 : 10.0.2.2\n");
}

TEST(ScanRouters, NothingFoundGivesAnEmptyList)
{
    RouterScanSteps steps{[](const std::string&) { return UpnpRound{}; }, [] { return nullptr; }};
    Capture out;
    EXPECT_TRUE(ScanRouters({"10.0.0.2"}, steps, out.file()).empty());
    EXPECT_EQ(out.text(), "Address 0 : 10.0.0.2\n");
}

TEST(ScanRouters, RoundsAndProbeRunAtTheSameTime)
{
    // Every step waits until all of them have started: run one after
    // another, the scan would never get past the first.
    std::mutex mutex;
    std::condition_variable allStarted;
    int started = 0;
    const int expected = 4; // default round, two addresses, the probe
    auto arrive = [&] {
        std::unique_lock lock(mutex);
        ++started;
        allStarted.notify_all();
        return allStarted.wait_for(lock, std::chrono::seconds(30),
                                   [&] { return started == expected; });
    };
    RouterScanSteps steps{[&](const std::string& a) {
                              bool together = arrive();
                              return together ? Round({Igd("http://" + a + "/", a)}) : UpnpRound{};
                          },
                          [&]() -> RouterEntryPtr { return arrive() ? AirPort() : nullptr; }};
    Capture out;
    RouterList list = ScanRouters({"10.0.0.2", "10.0.1.2"}, steps, out.file());
    EXPECT_EQ(Urls(list), (std::vector<std::string>{"http:///", "http://10.0.0.2/",
                                                    "http://10.0.1.2/", "apple"}));
}

} // namespace
