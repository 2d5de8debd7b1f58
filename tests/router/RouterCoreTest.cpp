// Router core without a network: friendly names, the device list of one
// round, the merge of rounds into the router list, the whole scan over fake
// steps, the Router Info text, and the NAT-PMP socket an entry owns.

#include "router/core/DescriptionFetch.h"
#include "router/core/RouterInfoReport.h"
#include "router/core/RouterScan.h"
#include "router/core/UpnpDiscovery.h"
#include "router/core/UpnpRound.h"
#include "router/core/UpnpSearch.h"
#include "tests/router/FakeScanSteps.h"

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

using velmora::test::FakeScanSteps;
velmora::RouterEntryPtr (*const Upnp)(const std::string&, const std::string&) = FakeScanSteps::Upnp;
velmora::RouterEntryPtr (*const AirPort)() = FakeScanSteps::AirPort;

velmora::UpnpRound::Device Igd(const std::string& url)
{
    return {" desc: " + url + "\n st: igd\n\nLocal LAN ip address : 1.2.3.4\n", Upnp(url, url)};
}

velmora::UpnpRound Round(std::vector<velmora::UpnpRound::Device> devices)
{
    return {true, std::move(devices)};
}

Strings Urls(const velmora::RouterList& list)
{
    Strings urls;
    for (const auto& entry : list)
        urls.push_back(entry->is_apple ? "apple" : entry->description_url);
    return urls;
}

std::string Description(const std::string& name)
{
    return "<?xml version=\"1.0\"?><root xmlns=\"urn:schemas-upnp-org:device-1-0\"><device>"
           "<friendlyName>" +
           name +
           "</friendlyName><deviceList><device>"
           "<friendlyName>WANDevice</friendlyName></device></deviceList></device></root>";
}

std::string ReadCapture(const std::string& name)
{
    std::ifstream in(std::string(ROUTER_TEST_DATA) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(RouterFriendlyName, RootDevicesNameCutTo127BytesOnACharacterBoundary)
{
    const std::string a126(126, 'a');
    const std::string fits = std::string(125, 'a') + "\xC3\xA9";
    const std::pair<std::string, std::string> cases[] = {
        {Description("Home Router"), "Home Router"},
        {ReadCapture("linksys_WAG200G_desc.xml"), "LINKSYS WAG200G Gateway"},
        {ReadCapture("new_LiveBox_desc.xml"), "Orange Livebox"},
        {"<root><device><modelName>x</modelName></device></root>", ""},
        {"", ""},
        {Description(std::string(200, 'n')), std::string(127, 'n')},
        {Description(std::string(127, 'e')), std::string(127, 'e')},
        {Description(a126 + "\xC3\xA9z"), a126}, // the character would straddle the cut
        {Description(fits + "x"), fits},
    };
    for (const auto& [description, name] : cases)
        EXPECT_EQ(velmora::RouterFriendlyName(description), name) << description.substr(0, 200);
}

std::string Answer(const std::string& location, const std::string& st,
                   const std::string& status = "HTTP/1.1 200 OK")
{
    return status + "\r\nCACHE-CONTROL: max-age=120\r\nST: " + st + "\r\nLOCATION: " + location +
           "\r\n\r\n";
}

TEST(UpnpAnswers, GatewaysOfVersionOneOnTheirSendersAddressAreReadOncePerUrl)
{
    const std::string igd = velmora::kIgdDeviceType;
    velmora::ScanBoard board(2);
    Strings reads;
    velmora::UpnpAnswers answers(
        board, [&](size_t read, const std::string& url, const std::string& sender) {
            reads.push_back(url + " from " + sender);
            board.endRead(read, std::string(url).ends_with("fails") ? nullptr : Upnp(url, ""),
                          "Local LAN ip address : 127.0.0.2\n");
        });
    const struct
    {
        size_t round;
        std::string datagram;
        std::string sender = "127.0.0.1";
    } cases[] = {
        {0, Answer("http://127.0.0.1:5000/a.xml", igd)},
        {0, Answer("http://127.0.0.1:5000/a.xml", igd)}, // the same answer again: once a round
        {0, Answer("http://127.0.0.1:5000/v2.xml", igd.substr(0, igd.size() - 1) + "2")},
        {0, Answer("http://127.0.0.1:5000/case.xml", "urn:schemas-upnp-org:device:internet"
                                                     "gatewaydevice:1")},
        {0, Answer("http://127.0.0.1:5000/err.xml", igd, "HTTP/1.1 404 Not Found")},
        {0, "HTTP/1.1 200 OK\r\nLOCATION: http://127.0.0.1:5000/nost.xml\r\n\r\n"},
        {0, Answer("http://10.9.9.9:5000/elsewhere.xml", igd)}, // not where it answered from
        {0, Answer("http://router.lan:5000/name.xml", igd)},    // a name, not its address
        {0, Answer("https://127.0.0.1:5000/tls.xml", igd)},     // not plain http
        {0, Answer("http://127.0.0.1:5000/forged.xml", igd), "127.0.0.9"}, // another's URL
        {0, "HTTP/1.1 200 OK\r\nX-INFO: see http://127.0.0.1:9/info\r\nST: " + igd +
                "\r\nLOCATION: http://127.0.0.1:5000/header.xml\r\n\r\n"},
        {0, Answer("http://2130706433:5000/fails", igd)},
        {1, Answer("http://127.0.0.1:5000/a.xml", igd)}, // read once for the whole scan
    };
    for (const auto& c : cases)
        answers.take(c.round, c.datagram, c.sender);
    EXPECT_EQ(reads, (Strings{"http://127.0.0.1:5000/a.xml from 127.0.0.1",
                              "http://127.0.0.1:5000/header.xml from 127.0.0.1",
                              "http://127.0.0.1:5000/fails from 127.0.0.1"}));
    EXPECT_EQ(Urls(board.list()),
              (Strings{"http://127.0.0.1:5000/a.xml", "http://127.0.0.1:5000/header.xml"}));
    const std::string lan = "Local LAN ip address : 127.0.0.2\n";
    auto lines = [](const std::string& url, const std::string& st) {
        return " desc: " + url + "\n st: " + st + "\n\n";
    };
    const std::string round = "List of UPNP devices found on the network :\n";
    EXPECT_EQ(board.diagnostics({"10.0.0.2"}),
              round + lines("http://127.0.0.1:5000/a.xml", igd) + lan +
                  lines("http://127.0.0.1:5000/v2.xml", igd.substr(0, igd.size() - 1) + "2") +
                  lines("http://127.0.0.1:5000/case.xml",
                        "urn:schemas-upnp-org:device:internetgatewaydevice:1") +
                  lines("http://10.9.9.9:5000/elsewhere.xml", igd) +
                  lines("http://router.lan:5000/name.xml", igd) +
                  lines("https://127.0.0.1:5000/tls.xml", igd) +
                  lines("http://127.0.0.1:5000/forged.xml", igd) +
                  lines("http://127.0.0.1:5000/header.xml", igd) + lan +
                  lines("http://2130706433:5000/fails", igd) + lan + "Address 0 : 10.0.0.2\n" +
                  round + lines("http://127.0.0.1:5000/a.xml", igd) + lan);
}

TEST(UpnpAnswers, AScanReadsABoundedNumberOfDescriptions)
{
    velmora::ScanBoard board(1);
    size_t started = 0;
    velmora::UpnpAnswers answers(board, [&](size_t, const std::string&, const std::string&) {
        ++started; // never ends: the board's list stays empty
    });
    for (size_t i = 0; i < 2 * velmora::kMaxAnswersPerRound; ++i)
        answers.take(0, Answer("http://127.0.0.1/" + std::to_string(i), velmora::kIgdDeviceType),
                     "127.0.0.1");
    EXPECT_EQ(started, velmora::kMaxDescriptionReads);
    EXPECT_TRUE(board.list().empty());
}

TEST(ScanBoard, ListsInTheScansOrderAsReadsEndAndTellsEachChange)
{
    std::vector<Strings> changes;
    velmora::ScanBoard board(
        2, [&](const velmora::RouterList& list) { changes.push_back(Urls(list)); });
    const size_t a = board.beginRead();
    const size_t b = board.beginRead();
    const size_t c = board.beginRead();
    board.addDevice(0, "", a);
    board.addDevice(0, "", b);
    board.addDevice(1, "", c);
    board.addDevice(1, "", a); // a again: the round ends there
    const size_t d = board.beginRead();
    board.addDevice(1, "", d);
    board.setNatPmp(AirPort());
    board.endRead(d, Upnp("http://d/", ""), "");
    board.endRead(b, Upnp("http://b/", ""), "");
    board.endRead(c, nullptr, "");
    board.endRead(a, Upnp("http://a/", ""), "");
    EXPECT_EQ(changes, (std::vector<Strings>{{"apple"},
                                             {"http://d/", "apple"},
                                             {"http://b/", "http://d/", "apple"},
                                             {"http://a/", "http://b/", "apple"}}));
}

TEST(MergeUpnpRound, AppendsNewRoutersInOrderUntilADuplicate)
{
    const velmora::UpnpRound::Device other{" desc: http://x/\n st: other\n\n", nullptr};
    const std::string heading = "List of UPNP devices found on the network :\n";
    const struct
    {
        Strings before;
        velmora::UpnpRound round;
        Strings after;
        std::string lines;
    } cases[] = {
        {{},
         Round({Igd("http://a/"), other, Igd("http://b/")}),
         {"http://a/", "http://b/"},
         heading + Igd("http://a/").diagnostics + other.diagnostics + Igd("http://b/").diagnostics},
        // a is listed already: the round ends there, d is never looked at.
        {{"http://a/"},
         Round({Igd("http://c/"), Igd("http://a/"), Igd("http://d/")}),
         {"http://a/", "http://c/"},
         heading + Igd("http://c/").diagnostics + Igd("http://a/").diagnostics},
        {{},
         Round({Igd("http://a/"), Igd("http://a/"), Igd("http://b/")}),
         {"http://a/"},
         heading + Igd("http://a/").diagnostics + Igd("http://a/").diagnostics},
        {{"http://A/"},
         Round({Igd("http://a/"), Igd("http://A/ ")}),
         {"http://A/", "http://a/", "http://A/ "},
         heading + Igd("http://a/").diagnostics + Igd("http://A/ ").diagnostics},
        {{}, velmora::UpnpRound{}, {}, ""},
        {{}, Round({}), {}, heading},
    };
    for (const auto& c : cases) {
        velmora::RouterList list;
        for (const auto& url : c.before)
            list.push_back(Upnp(url, url));
        std::string lines;
        velmora::MergeUpnpRound(list, c.round, lines);
        EXPECT_EQ(Urls(list), c.after) << c.lines;
        EXPECT_EQ(lines, c.lines);
    }
    EXPECT_EQ(velmora::RouterBoxLines(
                  {Upnp("http://a/", "Home Router"), Upnp("http://b/", ""), AirPort()}),
              (Strings{"Home Router", "", "AirPort Station"}));
}

// The scan's diagnostic lines, caught in a temporary file.
struct Capture
{
    std::FILE* file = std::tmpfile();
    ~Capture() { std::fclose(file); }
    std::string text()
    {
        std::fflush(file);
        std::rewind(file);
        std::string out;
        for (int c; (c = std::fgetc(file)) != EOF;)
            out += static_cast<char>(c);
        return out;
    }
};

TEST(ScanRouters, DefaultRoundThenEachAddressThenNatPmpAndEachRouterOnce)
{
    std::map<std::string, velmora::UpnpRound> answers{{"", Round({Igd("http://r1/")})},
                                                      {"10.0.0.2", Round({Igd("http://r2/")})},
                                                      {"10.0.0.3", Round({Igd("http://r1/")})},
                                                      {"10.0.1.2", Round({Igd("http://r3/")})}};
    velmora::RouterScanSteps steps{
        velmora::SearchByRounds([&](const std::string& a) { return answers.at(a); }),
        [] { return AirPort(); }};
    Capture out;
    velmora::RouterList list = ScanRouters({"10.0.0.2", "10.0.0.3", "10.0.1.2"}, steps, out.file);
    EXPECT_EQ(Urls(list), (Strings{"http://r1/", "http://r2/", "http://r3/", "apple"}));
    const std::string round = "List of UPNP devices found on the network :\n";
    EXPECT_EQ(out.text(), round + Igd("http://r1/").diagnostics + "Address 0 : 10.0.0.2\n" + round +
                              Igd("http://r2/").diagnostics + "Address 1 : 10.0.0.3\n" + round +
                              Igd("http://r1/").diagnostics + "Address 2 : 10.0.1.2\n" + round +
                              Igd("http://r3/").diagnostics);
}

TEST(ScanRouters, NothingFoundGivesAnEmptyListAndTheAddressLines)
{
    int probes = 0; // written by the probe thread, read after the scan has joined it
    velmora::RouterScanSteps steps{
        velmora::SearchByRounds([](const std::string&) { return velmora::UpnpRound{}; }),
        [&]() -> velmora::RouterEntryPtr { return ++probes, nullptr; }};
    Capture out;
    EXPECT_TRUE(ScanRouters({"10.0.0.2", "10.0.1.2"}, steps, out.file).empty());
    EXPECT_EQ(probes, 1);
    EXPECT_EQ(out.text(), "Address 0 : 10.0.0.2\nAddress 1 : 10.0.1.2\n");
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
    velmora::RouterScanSteps steps{
        velmora::SearchByRounds([&](const std::string& a) {
            return arrive() ? Round({Igd("http://" + a + "/")}) : velmora::UpnpRound{};
        }),
        [&]() -> velmora::RouterEntryPtr { return arrive() ? AirPort() : nullptr; }};
    Capture out;
    velmora::RouterList list = ScanRouters({"10.0.0.2", "10.0.1.2"}, steps, out.file);
    EXPECT_EQ(Urls(list), (Strings{"http:///", "http://10.0.0.2/", "http://10.0.1.2/", "apple"}));
}

TEST(RouterInfoReport, BitRateBracketCutsTheTenth)
{
    const std::pair<unsigned, std::string> cases[] = {
        {0, ""},
        {999, ""},
        {1000, " (1 Kbps)"},
        {1999, " (1 Kbps)"},
        {999999, " (999 Kbps)"},
        {1000000, " (1.0 Mbps)"},
        {1999999, " (1.9 Mbps)"},
        {2560000, " (2.5 Mbps)"},
        {100000000, " (100.0 Mbps)"},
        {4294967295u, " (4294.9 Mbps)"},
    };
    for (const auto& [rate, bracket] : cases)
        EXPECT_EQ(velmora::BitRateBracket(rate), bracket) << rate;
}

TEST(RouterInfoReport, EveryLineOfTheAnswer)
{
    velmora::RouterInfoValues full;
    full.connectionType = "IP_Routed";
    full.status = velmora::RouterInfoValues::Status{"Connected", 4294967295u};
    full.bitRates = velmora::RouterInfoValues::BitRates{2560000, 999};
    full.externalAddress = "11.22.33.1";
    full.bytesSent = 1234;
    full.bytesReceived = 56789;
    full.packetsSent = 12;
    full.packetsReceived = 345678901;
    EXPECT_EQ(velmora::FormatRouterInfoReport(full),
              "Connection Type : IP_Routed\n"
              "Status : Connected, uptime=4294967295s\n"
              "MaxBitRateDown : 2560000 bps (2.5 Mbps)   MaxBitRateUp 999 bps\n"
              "\n"
              "ExternalIPAddress = 11.22.33.1\n"
              "Bytes:   Sent:     1234\tRecv:    56789\n"
              "Packets: Sent:       12\tRecv: 345678901\n");

    velmora::RouterInfoValues rates; // both rates get their own bracket
    rates.bitRates = velmora::RouterInfoValues::BitRates{1000000, 1000};
    EXPECT_EQ(velmora::FormatRouterInfoReport(rates),
              "MaxBitRateDown : 1000000 bps (1.0 Mbps)   MaxBitRateUp 1000 bps (1 Kbps)\n"
              "\n"
              "Bytes:   Sent:        0\tRecv:        0\n"
              "Packets: Sent:        0\tRecv:        0\n");

    // Failed bit rates still give the empty line; the counters always come.
    full.bitRates.reset();
    full.externalAddress.reset();
    full.status->uptime = 3600;
    EXPECT_EQ(velmora::FormatRouterInfoReport(full), "Connection Type : IP_Routed\n"
                                                     "Status : Connected, uptime=3600s\n"
                                                     "\n"
                                                     "Bytes:   Sent:     1234\tRecv:    56789\n"
                                                     "Packets: Sent:       12\tRecv: 345678901\n");
    velmora::RouterInfoValues nothing;
    nothing.bytesSent = static_cast<unsigned>(-3);
    EXPECT_EQ(velmora::FormatRouterInfoReport(nothing),
              "\n"
              "Bytes:   Sent: 4294967293\tRecv:        0\n"
              "Packets: Sent:        0\tRecv:        0\n");
}

bool IsOpen(int fd)
{
    return fcntl(fd, F_GETFD) != -1 || errno != EBADF;
}

// No traffic: the sockets are made and closed, never used.
TEST(RouterEntry, ReleasingTheLastOwnerClosesTheNatPmpSocketItOpened)
{
    int ours = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    int foreign = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ASSERT_GE(ours, 0);
    ASSERT_GE(foreign, 0);
    {
        RouterEntry notOpened;
        notOpened.is_apple = true;
        notOpened.natpmp.s = foreign; // not marked open: not the entry's
        auto entry = AirPort();
        entry->natpmp.s = ours;
        entry->natpmp_open = true;
        velmora::RouterList list{entry};
        entry.reset();
        EXPECT_TRUE(IsOpen(ours));
        list.clear();
        EXPECT_FALSE(IsOpen(ours));
    }
    EXPECT_TRUE(IsOpen(foreign));
    close(foreign);
}

} // namespace

TEST(Dechunk, ChunkedDescriptionsComeBackWholeAndCutOnesAreRefused)
{
    struct Case
    {
        const char* chunked;
        bool whole;
        const char* body;
    };
    const Case cases[] = {
        {"5\r\n<root\r\n2\r\n/>\r\n0\r\n\r\n", true, "<root/>"},
        {"A;ext=1\r\n0123456789\r\n0\r\n\r\n", true, "0123456789"},
        {"0\r\n\r\n", true, ""},
        {"5\r\n<ro", false, ""},       // cut inside a chunk
        {"5\r\n<root\r\n", false, ""}, // no last chunk
        {"zz\r\n<root\r\n0\r\n", false, ""},
        {"FFFFFFFF\r\nab\r\n0\r\n", false, ""}, // longer than what came
    };
    for (const Case& c : cases) {
        std::string body;
        EXPECT_EQ(velmora::Dechunk(c.chunked, body), c.whole) << c.chunked;
        if (c.whole) {
            EXPECT_EQ(body, c.body);
        }
    }
}
