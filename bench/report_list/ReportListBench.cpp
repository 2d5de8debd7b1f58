// bench_report_list [rows=131070]
//
// The peak resident memory of a list that shows a router's table of `rows`
// mappings (a router that claims every port of both protocols), filled in
// batches of 1,000 rows as a listing hands them over, the list shown
// offscreen. Three processes of their own, one after another: the empty list
// (the base every figure includes), ReportList, and the peer, a table of one
// item object per cell. Prints each peak, the rows' share above the base and
// the ratio of the two.
#include "platform/ui/ReportList.h"
#include "tests/support/PeakMemory.h"

#include <QApplication>
#include <QTableWidget>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using velmora::test::PeakRssKb;

constexpr int kBatch = 1000;

// The row of mapping `index` as the every-port router lists it.
QStringList RowOf(int index)
{
    const QString port = QString::number(index % 65535 + 1);
    return {"claimed " + port, index < 65535 ? "TCP" : "UDP", port, "192.168.77.2"};
}

enum class Kind
{
    Empty,
    ReportList,
    ItemPerCell,
};

void Fill(Kind kind, int rows)
{
    int argc = 1;
    char name[] = "bench_report_list";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    const std::vector<velmora::ReportList::Column> columns = {
        {"Name", 130}, {"Protocol", 80}, {"Port", 80}, {"Internal IP", 100}};
    velmora::ReportList list(columns, "list");
    QTableWidget items(0, 4);
    QWidget& shown = kind == Kind::ItemPerCell ? static_cast<QWidget&>(items) : list;
    shown.resize(460, 320);
    shown.show();
    for (int first = 0; kind != Kind::Empty && first < rows; first += kBatch) {
        QList<QStringList> batch;
        for (int i = first; i < std::min(rows, first + kBatch); ++i)
            batch.push_back(RowOf(i));
        if (kind == Kind::ReportList) {
            list.appendRows(batch);
        } else {
            // The way the list was filled before: the table grows once, then an item a cell.
            const int at = items.rowCount();
            items.setRowCount(at + static_cast<int>(batch.size()));
            for (int row = 0; row < batch.size(); ++row)
                for (int column = 0; column < 4; ++column)
                    items.setItem(at + row, column, new QTableWidgetItem(batch[row][column]));
        }
        QApplication::processEvents();
    }
    QApplication::processEvents();
    const int shownRows = kind == Kind::ItemPerCell ? items.rowCount() : list.rowCount();
    if (shownRows != (kind == Kind::Empty ? 0 : rows))
        std::fprintf(stderr, "only %d rows shown\n", shownRows);
}

// Runs Fill in a child process; its peak resident memory in KiB, or -1.
long PeakOf(Kind kind, int rows)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeFds[0]);
        Fill(kind, rows);
        const long peak = PeakRssKb();
        const bool sent = write(pipeFds[1], &peak, sizeof peak) == sizeof peak;
        _exit(sent ? 0 : 1);
    }
    close(pipeFds[1]);
    long peak = -1;
    if (child < 0 || read(pipeFds[0], &peak, sizeof peak) != sizeof peak)
        peak = -1;
    close(pipeFds[0]);
    int status = 0;
    if (child > 0)
        waitpid(child, &status, 0);
    return peak;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2 * 65535;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const long base = PeakOf(Kind::Empty, rows);
    const long ours = PeakOf(Kind::ReportList, rows);
    const long peer = PeakOf(Kind::ItemPerCell, rows);
    if (base < 0 || ours < 0 || peer < 0) {
        std::fprintf(stderr, "a measuring process failed\n");
        return 1;
    }
    std::printf("%d rows, peak resident memory (the empty list %ld KiB included)\n", rows, base);
    std::printf("  ReportList       %8ld KiB   rows %8ld KiB   %6.0f bytes a row\n", ours,
                ours - base, 1024.0 * static_cast<double>(ours - base) / rows);
    std::printf("  item per cell    %8ld KiB   rows %8ld KiB   %6.0f bytes a row\n", peer,
                peer - base, 1024.0 * static_cast<double>(peer - base) / rows);
    std::printf("  ratio (rows, ReportList / item per cell) %.3f\n",
                static_cast<double>(ours - base) / static_cast<double>(peer - base));
    return 0;
}
