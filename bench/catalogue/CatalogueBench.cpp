// bench_catalogue [lines=10000] [rounds=5]
//
// Writes a catalogue of `lines` lines to a temp folder, then times, in an
// offscreen Often Used Ports window: reading the file alone, opening the
// window (read, fill, first paint) and each filter change (read again,
// refill, paint). The peer is the same report refreshed after every record,
// timed on the first 1,000 records.
#include "bench/BenchTiming.h"
#include "catalogue/core/CatalogueFile.h"
#include "catalogue/ui/COften_used_ports.h"
#include "catalogue/ui/CatalogueReport.h"

#include <QApplication>
#include <QComboBox>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using velmora::bench::Clock;
using velmora::bench::MsSince;

namespace {

std::string WriteCatalogue(const std::filesystem::path& folder, int lines)
{
    const std::string path = (folder / "ports_list.txt").string();
    std::ofstream out(path, std::ios::binary);
    const char* first = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const size_t firsts = std::char_traits<char>::length(first);
    for (int i = 0; i < lines; ++i) {
        out << first[static_cast<size_t>(i) % firsts] << "pplication server number " << i << '|'
            << 1024 + i % 60000 << ',' << 2000 + i % 500 << '-' << 2100 + i % 500 << '|'
            << (i % 3 ? std::to_string(3000 + i % 1000) : std::string()) << '\n';
    }
    return path;
}

struct Figures
{
    double best = 1e300, worst = 0, total = 0;
    int count = 0;
    void add(double ms)
    {
        best = std::min(best, ms);
        worst = std::max(worst, ms);
        total += ms;
        ++count;
    }
    void print(const char* what) const
    {
        std::printf("%-34s best %8.1f ms  mean %8.1f ms  worst %8.1f ms  (%d runs)\n", what, best,
                    total / count, worst, count);
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int lines = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    const int rounds = argc > 2 ? std::clamp(std::atoi(argv[2]), 1, 100) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const auto folder = std::filesystem::temp_directory_path() /
                        ("velmora-bench-catalogue-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string path = WriteCatalogue(folder, lines);
    std::printf("catalogue: %d lines, %ju bytes\n", lines,
                static_cast<uintmax_t>(std::filesystem::file_size(path)));

    Figures read, open, filter;
    for (int round = 0; round < rounds; ++round) {
        std::vector<velmora::CatalogueRecord> records;
        auto start = Clock::now();
        velmora::ReadCatalogue(path, "ALL", records);
        read.add(MsSince(start));

        start = Clock::now();
        auto* window = new COften_used_ports(path);
        window->show();
        QApplication::processEvents();
        window->report()->repaint();
        open.add(MsSince(start));
        if (window->report()->rowCount() != lines)
            std::printf("unexpected row count %d\n", window->report()->rowCount());

        for (const char* pick : {"A", "ALL", "M", "7", "ALL"}) {
            start = Clock::now();
            window->filterBox()->setCurrentText(pick);
            QApplication::processEvents();
            window->report()->repaint();
            filter.add(MsSince(start));
        }
        delete window;
    }
    read.print("read the file (ALL), core only");
    open.print("open the window (read+fill+paint)");
    filter.print("filter change (read+fill+paint)");

    // The peer: one record at a time, the report repainted after each.
    const int peerRecords = std::min(lines, 1000);
    std::vector<velmora::CatalogueRecord> records;
    velmora::ReadCatalogue(path, "ALL", records);
    velmora::CatalogueReport report;
    report.resize(640, 400);
    report.show();
    QApplication::processEvents();
    auto start = Clock::now();
    for (int i = 0; i < peerRecords; ++i) {
        report.addRecord(records[static_cast<size_t>(i)]);
        report.repaint();
    }
    const double peerMs = MsSince(start);
    std::printf("peer: refresh after each record     %8.1f ms for %d records (%.1f ms for %d "
                "by proportion)\n",
                peerMs, peerRecords, peerMs * lines / peerRecords, lines);
    std::printf("target: open and filter under 500 ms: %s (worst %.1f ms)\n",
                std::max(open.worst, filter.worst) < 500 ? "met" : "NOT met",
                std::max(open.worst, filter.worst));

    std::filesystem::remove_all(folder);
    return 0;
}
