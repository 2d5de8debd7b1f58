// bench_config_load [triggerings=1000] [forwardings=1000]
//
// Writes a config.xml with that many entries into a fresh folder, starts the
// main window on it (offscreen, no router scan) and prints how long loading
// and showing took, how long one save takes (every entry change saves now),
// whether Exit wrote the same bytes back, and the peak memory. Then runs 20
// trigger entries of 100 ports each against 127.0.0.1 and times their stop.
// Everything stays on loopback.

#include "app/ui/CquaymarkDlg.h"
#include "config/core/ConfigStore.h"
#include "tests/support/PeakMemory.h"
#include "tests/support/TempDir.h"
#include "triggering/core/Triggering.h"

#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

using velmora::test::PeakRssKb;

std::vector<TriggeringEntry> Triggerings(int count)
{
    std::vector<TriggeringEntry> list;
    for (int i = 0; i < count; ++i) {
        auto e = velmora::ZeroedRecord<TriggeringEntry>();
        const std::string name = "trigger entry " + std::to_string(i);
        velmora::SetField(e.name, name);
        velmora::SetField(e.auto_start, "N");
        velmora::SetField(e.protocol, i % 3 == 0 ? "TCP" : i % 3 == 1 ? "UDP" : "TCP and UDP");
        velmora::SetField(e.trigger_address, "127.0.0.1");
        const std::string port = std::to_string(20000 + i);
        velmora::SetField(e.trigger_port, port);
        velmora::SetField(e.trigger_port_end, port);
        velmora::SetField(e.frequence, "1000");
        list.push_back(e);
    }
    return list;
}

std::vector<ForwardingEntry> Forwardings(int count)
{
    std::vector<ForwardingEntry> list;
    for (int i = 0; i < count; ++i) {
        auto e = velmora::ZeroedRecord<ForwardingEntry>();
        const std::string name = "forwarding \"entry\" & <" + std::to_string(i) + ">";
        velmora::SetField(e.name, name);
        velmora::SetField(e.type, "N");
        velmora::SetField(e.protocol, i % 2 ? "TCP" : "Both");
        const std::string ports = std::to_string(30000 + i) + ",40000-40010";
        velmora::SetField(e.listen_port, ports);
        velmora::SetField(e.destination_ip, "192.168.77.2");
        list.push_back(e);
    }
    return list;
}

void RunTriggers()
{
    constexpr int kEntries = 20;
    constexpr int kPorts = 100;
    std::vector<std::shared_ptr<velmora::TriggeringRun>> runs;
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < kEntries; ++i) {
        auto e = velmora::ZeroedRecord<TriggeringEntry>();
        const std::string name = "bench " + std::to_string(i);
        velmora::SetField(e.name, name);
        velmora::SetField(e.protocol, "UDP");
        velmora::SetField(e.trigger_address, "127.0.0.1");
        velmora::SetField(e.trigger_port, std::to_string(45000 + i * kPorts));
        velmora::SetField(e.trigger_port_end, std::to_string(45000 + i * kPorts + kPorts - 1));
        velmora::SetField(e.frequence, "200");
        runs.push_back(StartTriggeringEntry(
            e, {}, velmora::TriggeringTiming{std::chrono::milliseconds(3000)}));
    }
    const qint64 started = clock.elapsed();
    std::this_thread::sleep_for(std::chrono::seconds(2));
    int workers = 0;
    long long cycles = 0;
    for (const auto& run : runs) {
        workers += run->workersAlive();
        cycles += run->cyclesCompleted();
    }
    clock.restart();
    for (const auto& run : runs)
        RequestTriggeringStop(run);
    bool allEnded = true;
    for (const auto& run : runs)
        allEnded = run->waitUntilFinished(std::chrono::seconds(30)) && allEnded;
    std::printf("triggers: %d entries x %d ports: %d workers started in %lld ms, %lld cycles in "
                "2 s; stop to last worker gone %lld ms (grace 3000 ms), all ended: %s\n",
                kEntries, kPorts, workers, static_cast<long long>(started), cycles,
                static_cast<long long>(clock.elapsed()), allEnded ? "yes" : "NO");
}

} // namespace

int main(int argc, char** argv)
{
    const int triggerings = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int forwardings = argc > 2 ? std::atoi(argv[2]) : 1000;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velmora::test::TempDir dir;
    std::filesystem::create_directory(dir.file("log"));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.file("xdg")));

    auto settings = velmora::ZeroedRecord<AppSettings>();
    velmora::SetField(settings.auto_startup, "0");
    velmora::SetField(settings.monitor_router, "1");
    const std::string text =
        velmora::BuildConfigText(settings, Triggerings(triggerings), Forwardings(forwardings));
    dir.write("config.xml", text);

    QElapsedTimer clock;
    clock.start();
    CquaymarkDlg::Options options;
    options.programDir = dir.path();
    options.startRouterScan = false;
    CquaymarkDlg window(options);
    window.OnInitDialog();
    window.show();
    app.processEvents();
    const qint64 shown = clock.elapsed();

    clock.restart();
    window.saveConfig();
    const qint64 oneSave = clock.elapsed();

    clock.restart();
    window.SaveConfigAndExit();
    const qint64 exitSave = clock.elapsed();
    const bool identical = dir.read("config.xml") == text;

    std::printf("config.xml: %d triggering + %d forwarding entries, %zu bytes\n", triggerings,
                forwardings, text.size());
    std::printf("load and show: %lld ms (target < 1000 ms)\n", static_cast<long long>(shown));
    std::printf("one save (after any entry change): %lld ms\n", static_cast<long long>(oneSave));
    std::printf("Exit save: %lld ms, written back byte for byte: %s\n",
                static_cast<long long>(exitSave), identical ? "yes" : "NO");
    std::printf("rows shown: %d triggering, %zu forwarding; peak RSS %ld kB\n",
                static_cast<int>(window.triggerings().size()), window.forwardings().size(),
                PeakRssKb());
    RunTriggers();
    return identical ? 0 : 1;
}
