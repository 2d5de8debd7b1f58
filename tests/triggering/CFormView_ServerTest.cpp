// The Port Triggering tab: columns, button states, Add/Edit/Delete, auto
// start, and Start/Stop with their notice while workers run and end.
#include "triggering/ui/CFormView_Server.h"

#include "platform/ui/ReportList.h"
#include "tests/support/ModalCatcher.h"
#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/TriggerWorkerCap.h"
#include "triggering/core/Triggering.h"
#include "triggering/ui/CAddPort.h"
#include "triggering/ui/CStart.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <vector>

using namespace velmora::test;
using namespace std::chrono_literals;

namespace {

constexpr auto kGrace = 40ms;
constexpr auto kLongGrace = 1500ms; // long enough to act while workers are on their way out
constexpr int kNoticeMs = 30;

struct Buttons
{
    explicit Buttons(CFormView_Server& view)
        : add(view.findChild<QPushButton*>("addButton")),
          edit(view.findChild<QPushButton*>("editButton")),
          remove(view.findChild<QPushButton*>("deleteButton")),
          start(view.findChild<QPushButton*>("startButton")),
          stop(view.findChild<QPushButton*>("stopButton"))
    {
    }
    // Enabled state of Edit, Delete, Start, Stop as "1"/"0".
    QString states() const
    {
        QString out;
        for (auto* button : {edit, remove, start, stop})
            out += button->isEnabled() ? '1' : '0';
        return out;
    }
    QPushButton *add, *edit, *remove, *start, *stop;
};

void Select(velmora::ReportList* list, const std::vector<int>& rows)
{
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Fills the Add Port Triggering dialog and presses OK; accepts any other modal.
std::function<void(QWidget*)> FillDialog(const QString& name, const QString& start,
                                         const QString& end, bool autoStart)
{
    return [=](QWidget* modal) {
        if (modal->objectName() != "CAddPort") {
            static_cast<QDialog*>(modal)->accept();
            return;
        }
        modal->findChild<QLineEdit*>("nameEdit")->setText(name);
        modal->findChild<QLineEdit*>("startPortEdit")->setText(start);
        modal->findChild<QLineEdit*>("endPortEdit")->setText(end);
        modal->findChild<QLineEdit*>("frequencyEdit")->setText("250");
        modal->findChild<QCheckBox*>("autoStartCheck")->setChecked(autoStart);
        modal->findChild<QPushButton*>("okButton")->click();
    };
}

void Reject(QWidget* modal)
{
    static_cast<QDialog*>(modal)->reject();
}

bool Finished(const std::shared_ptr<velmora::TriggeringRun>& run)
{
    return run && WaitFor([&] { return run->finished(); }, 20000);
}

} // namespace

class CFormView_ServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { log_ = std::make_unique<LogCapture>(); }
    void cleanup();

    void columnsAndButtonStatesFollowTheFirstSelectedRow();
    void addEditAndDeleteKeepRowsAndEntriesInStep();
    void autoStartTakesOnlyExactlyY();
    void entriesPastTheWorkerCapStayStoppedAndAreNamed();
    void noticeClosesItselfAndKeepsWorkerReportsFlowing();
    void startAndStopRunTheWorkersWithANotice();
    void stopThenImmediateStartKeepsTheNewRunRunning();
    void stopOfOneEntryLeavesTheOtherRunningAndSelected();
    void startSkipsRunningRowsAndStopSkipsStoppedOnes();
    void deleteAndAddWhileWorkersEndAreSafe();
    void pageGoingAwayWithWorkersOrItsNoticeIsSafe();

private:
    CFormView_Server& makeView(std::vector<TriggeringEntry> entries)
    {
        entries_ = std::move(entries);
        view_ = std::make_unique<CFormView_Server>(entries_);
        view_->setTimingForTesting(kGrace, kNoticeMs);
        view_->reloadRows();
        view_->show();
        return *view_;
    }
    QString status(int row) const { return view_->list()->cell(row, 1); }
    QStringList cells(int row) const
    {
        QStringList out;
        for (int column = 0; column < view_->list()->columnCount(); ++column)
            out << view_->list()->cell(row, column);
        return out;
    }
    // Keeps the run so that cleanup() ends its workers.
    std::shared_ptr<velmora::TriggeringRun> keep(std::shared_ptr<velmora::TriggeringRun> run)
    {
        runs_.push_back(run);
        return run;
    }

    std::unique_ptr<LogCapture> log_;
    std::vector<TriggeringEntry> entries_;
    std::unique_ptr<CFormView_Server> view_;
    std::vector<std::shared_ptr<velmora::TriggeringRun>> runs_;
};

void CFormView_ServerTest::cleanup()
{
    for (int row = 0; view_ && row < view_->list()->rowCount(); ++row)
        runs_.push_back(view_->runAt(row));
    for (auto& run : runs_) {
        RequestTriggeringStop(run);
        if (run)
            run->waitUntilFinished(20s);
    }
    runs_.clear();
    view_.reset();
    log_.reset();
}

void CFormView_ServerTest::columnsAndButtonStatesFollowTheFirstSelectedRow()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    auto* list = view.list();
    QStringList headings;
    for (int i = 0; i < list->columnCount(); ++i)
        headings << list->horizontalHeaderItem(i)->text();
    QCOMPARE(headings, QStringList({"Name", "Status", "Auto Start", "Protocol", "Trigger Address",
                                    "Trigger Port(Start)", "Trigger Port(End)", "Frequence(ms)"}));

    Buttons b(view);
    QCOMPARE(b.states(), QString("0000"));
    list->setCell(1, 1, "running"); // the Status text is what the buttons read
    // A vector, not an initializer_list: a list's array would end with its pair's initialiser.
    const std::pair<std::vector<int>, QString> selections[] = {
        {{0}, "1110"}, {{1}, "0001"}, {{0, 1}, "1110"}, {{1, 2}, "0001"}, {{}, "0000"}};
    for (const auto& [rows, states] : selections) {
        Select(list, rows);
        QCOMPARE(b.states(), states);
        QVERIFY(b.add->isEnabled());
    }
    // Handlers do nothing without a selection.
    view.editEntry();
    view.deleteEntry();
    view.startSelected();
    view.stopSelected();
    QCOMPARE(list->rowCount(), 3);
    QVERIFY(!view.runAt(0));
}

void CFormView_ServerTest::addEditAndDeleteKeepRowsAndEntriesInStep()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200)});
    Buttons b(view);
    ModalCatcher catcher;
    catcher.answer = FillDialog("New", "7000", "7002", true);
    b.add->click();
    QCOMPARE(view.list()->rowCount(), 3);
    QCOMPARE(entries_.size(), size_t(3));
    QCOMPARE(cells(2), QStringList({"New", "stop", "Y", "TCP", CAddPort::kDefaultTriggerAddress,
                                    "7000", "7002", "250"}));
    QCOMPARE(velmora::Field(entries_[2].name), std::string_view("New"));
    QCOMPARE(velmora::Field(entries_[2].status), std::string_view("stop"));
    QVERIFY(!view.runAt(2)); // auto start takes effect only at the next program start

    catcher.answer = FillDialog("B2", "9000", "", false);
    Select(view.list(), {1, 2});
    b.edit->click(); // only the first selected row
    QCOMPARE(view.list()->rowCount(), 3);
    QCOMPARE(cells(1),
             QStringList({"B2", "stop", "N", "TCP and UDP", "127.0.0.1", "9000", "9000", "250"}));
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("B2"));
    QCOMPARE(view.list()->cell(2, 0), QString("New"));

    const auto before = entries_;
    catcher.answer = Reject;
    b.add->click();
    b.edit->click();
    QCOMPARE(entries_.size(), before.size());
    QCOMPARE(std::memcmp(entries_.data(), before.data(), sizeof(TriggeringEntry) * 3), 0);
    QCOMPARE(view.list()->cell(1, 0), QString("B2"));

    Select(view.list(), {1, 2});
    b.remove->click(); // only the first selected row
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(view.list()->cell(1, 0), QString("New"));
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("New"));

    // A running entry is never edited or deleted, even if the handlers are reached.
    catcher.answer = nullptr;
    Select(view.list(), {0});
    b.start->click();
    QCOMPARE(status(0), QString("running"));
    catcher.answer = FillDialog("Changed", "1", "", false);
    view.editEntry();
    view.deleteEntry();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(view.list()->cell(0, 0), QString("A"));
}

void CFormView_ServerTest::autoStartTakesOnlyExactlyY()
{
    std::vector<TriggeringEntry> entries = {Quiet("yes", 100, 101), Quiet("lower", 200, 200),
                                            Quiet("word", 300, 300), Quiet("no", 400, 400)};
    velmora::SetField(entries[0].auto_start, "Y");
    velmora::SetField(entries[1].auto_start, "y");
    // "Yes" cannot fit the 2-byte field; its first two bytes, unterminated, are
    // the closest a record gets to it, and they are not "Y".
    std::memcpy(entries[2].auto_start, "Ye", 2);
    velmora::SetField(entries[3].status, "running"); // a loaded row shows "stop" anyway
    auto& view = makeView(entries);
    ModalCatcher catcher;
    view.startAutoStartEntries();
    QTest::qWait(30);
    QVERIFY(catcher.seen().isEmpty()); // no notice at start-up
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("running"));
    QCOMPARE(view.runAt(0)->workersStarted(), 2);
    for (int row = 1; row < 4; ++row) {
        QCOMPARE(status(row), QString("stop"));
        QVERIFY(!view.runAt(row));
    }
    QCOMPARE(Buttons(view).states(), QString("0000")); // unchanged until a row is selected
    const auto run = view.runAt(0);
    view.startAutoStartEntries(); // a second call starts nothing twice
    QCOMPARE(view.runAt(0), run);
}

void CFormView_ServerTest::entriesPastTheWorkerCapStayStoppedAndAreNamed()
{
    std::vector<TriggeringEntry> entries = {Quiet("A", 1, 3), Quiet("B\n", 1, 2), Quiet("C", 1, 2)};
    for (auto& entry : entries)
        velmora::SetField(entry.auto_start, "Y");
    velmora::SetTriggerWorkerCapForTesting(4);
    auto& view = makeView(entries);
    ModalCatcher catcher;
    view.startAutoStartEntries();
    velmora::SetTriggerWorkerCapForTesting(0);
    QCOMPARE(catcher.texts(), QStringList({"Velmora runs at most 4096 trigger workers at once, one "
                                           "for each trigger port of a running entry. These "
                                           "entries were not started: B\\n, C"}));
    QCOMPARE(QStringList({status(0), status(1), status(2)}),
             QStringList({"running", "stop", "stop"}));
}

void CFormView_ServerTest::noticeClosesItselfAndKeepsWorkerReportsFlowing()
{
    QCOMPARE(CStart::kDefaultMilliseconds, 4000);
    {
        CStart notice(50);
        QVERIFY(notice.windowFlags() & Qt::FramelessWindowHint); // no title bar
        QVERIFY(notice.isModal());
        QCOMPARE(notice.findChild<QLabel*>("operatingText")->text(), QString("Operating..."));
        QCOMPARE(notice.exec(), int(QDialog::Accepted)); // as if OK were pressed
    }
    auto& view = makeView({Quiet("A", 100, 101)});
    Select(view.list(), {0});
    Buttons(view).start->click();
    auto run = keep(view.runAt(0));
    view.setTimingForTesting(kGrace, 60000); // the Stop notice stays up until closed here

    bool updatedWhileOpen = false;
    QElapsedTimer waited;
    waited.start();
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* notice = qobject_cast<CStart*>(QApplication::activeModalWidget());
        if (notice == nullptr)
            return;
        // The workers' way out reaches the row while the notice is still open.
        if (status(0) == "stop" || waited.elapsed() > 20000) {
            updatedWhileOpen = status(0) == "stop";
            notice->accept();
        }
    });
    poll.start(10);
    Buttons(view).stop->click();
    QVERIFY(updatedWhileOpen);
}

void CFormView_ServerTest::startAndStopRunTheWorkersWithANotice()
{
    auto counter = LoopbackCounter::Open(3, LoopbackCounter::Tcp::None, true);
    QVERIFY(counter);
    const int port = counter->basePort();
    auto& view = makeView({MakeTriggeringEntry("Game", "UDP", "127.0.0.1", port, port + 2, 5)});
    Buttons b(view);
    ModalCatcher catcher;
    QStringList modals;
    catcher.answer = [&](QWidget* modal) { modals << modal->objectName(); }; // it closes itself

    Select(view.list(), {0});
    b.start->click();
    QCOMPARE(modals, QStringList({"CStart"}));
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("running"));
    QCOMPARE(b.states(), QString("0001"));
    auto run = keep(view.runAt(0));
    QCOMPARE(run->workersStarted(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY(WaitFor([&] { return counter->datagrams(i) >= 2; }));

    b.stop->click();
    QCOMPARE(modals, QStringList({"CStart", "CStart"}));
    QCOMPARE(status(0), QString("stop")); // as soon as the notice closes
    QCOMPARE(b.states(), QString("1110"));
    QVERIFY(Finished(run));
    QTest::qWait(50); // let the queued end reports arrive
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("stop"));
    QCOMPARE(log_->lines("start", "Game"), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(log_->count(WorkerLine("stop", "Game", "127.0.0.1", port + i)), 1);
}

void CFormView_ServerTest::stopThenImmediateStartKeepsTheNewRunRunning()
{
    auto& view = makeView({Quiet("A", 100, 103)});
    view.setTimingForTesting(kLongGrace, kNoticeMs); // the restart comes well within the grace
    Buttons b(view);
    Select(view.list(), {0});
    b.start->click();
    auto first = keep(view.runAt(0));
    b.stop->click();
    b.start->click(); // before the first run's workers have left
    auto second = keep(view.runAt(0));
    QVERIFY(second != first);
    QVERIFY(!first->finished());

    QVERIFY(Finished(first));
    QTest::qWait(50);
    QCOMPARE(status(0), QString("running")); // the old workers' way out leaves the new run alone
    QCOMPARE(second->workersAlive(), 4);
    QCOMPARE(b.states(), QString("0001"));

    b.stop->click();
    QVERIFY(Finished(second));
    QVERIFY(WaitFor([&] { return log_->lines("stop", "A") == 8; }));
    QCOMPARE(log_->lines("start", "A"), 8);
    QCOMPARE(status(0), QString("stop"));
}

void CFormView_ServerTest::stopOfOneEntryLeavesTheOtherRunningAndSelected()
{
    auto& view = makeView({Quiet("A", 100, 101), Quiet("B", 200, 202)});
    Buttons b(view);
    Select(view.list(), {0, 1});
    b.start->click();
    auto a = keep(view.runAt(0));
    auto bRun = keep(view.runAt(1));
    Select(view.list(), {0});
    b.stop->click();
    Select(view.list(), {1}); // the running row stays selected while A's workers leave
    QVERIFY(Finished(a));
    QTest::qWait(50);
    QCOMPARE(b.states(), QString("0001")); // A's end report keeps Stop offered for B
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(status(1), QString("running"));
    QCOMPARE(bRun->workersAlive(), 3);
    QVERIFY(!bRun->stopRequested());
    QCOMPARE(log_->lines("stop", "A"), 2);
}

void CFormView_ServerTest::startSkipsRunningRowsAndStopSkipsStoppedOnes()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    ModalCatcher catcher;
    int notices = 0;
    catcher.answer = [&](QWidget*) { ++notices; };
    Select(view.list(), {1});
    Buttons(view).start->click();
    auto running = keep(view.runAt(1));
    QCOMPARE(notices, 1);

    Select(view.list(), {0, 1, 2});
    view.startSelected();
    QCOMPARE(notices, 3); // one notice per row actually started
    QCOMPARE(view.runAt(1), running);
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(status(2), QString("running"));

    Select(view.list(), {1});
    view.stopSelected();
    QCOMPARE(notices, 4);
    Select(view.list(), {0, 1, 2});
    view.stopSelected();
    QCOMPARE(notices, 6); // row 1 was stopped already
    for (int row = 0; row < 3; ++row)
        QVERIFY(view.runAt(row)->stopRequested());
}

void CFormView_ServerTest::deleteAndAddWhileWorkersEndAreSafe()
{
    auto& view = makeView({Quiet("A", 100, 104), Quiet("B", 200, 200)});
    view.setTimingForTesting(kLongGrace, kNoticeMs);
    Buttons b(view);
    Select(view.list(), {0});
    b.start->click();
    auto a = keep(view.runAt(0));
    b.stop->click();
    QVERIFY(!a->finished());
    Select(view.list(), {0});
    b.remove->click(); // the row shows "stop" while its workers still finish
    QCOMPARE(view.list()->rowCount(), 1);
    ModalCatcher catcher;
    catcher.answer = FillDialog("A", "100", "104", false); // same name again
    b.add->click();
    QCOMPARE(view.list()->rowCount(), 2);
    Select(view.list(), {1});
    b.start->click();
    QVERIFY(Finished(a));
    QTest::qWait(50);
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(status(1), QString("running")); // the old workers did not touch the new entry
    QCOMPARE(view.list()->cell(0, 0), QString("B"));
}

void CFormView_ServerTest::pageGoingAwayWithWorkersOrItsNoticeIsSafe()
{
    // As at Exit: the page goes while its workers are still leaving.
    auto* view = &makeView({Quiet("A", 100, 102)});
    Select(view->list(), {0});
    Buttons(*view).start->click();
    auto leaving = keep(view->runAt(0));
    Buttons(*view).stop->click();
    view_.reset();
    QVERIFY(Finished(leaving));
    QTest::qWait(50); // nothing arrives at the freed page
    QCOMPARE(log_->lines("stop", "A"), 3);

    // Exit from the tray while the Start notice is up.
    view = &makeView({Quiet("B", 200, 201), Quiet("C", 300, 300)});
    view->setTimingForTesting(kGrace, 60000); // the notice would stay up for a minute
    Select(view->list(), {0, 1});
    std::shared_ptr<velmora::TriggeringRun> started;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget*) {
        started = keep(view_->runAt(0));
        view_.reset();
    };
    view->startSelected(); // returns without touching the freed page
    QVERIFY(!view_);
    QVERIFY(started);
    QCOMPARE(catcher.seen().size(), 1); // the second row was never reached
}

QTEST_MAIN(CFormView_ServerTest)
#include "CFormView_ServerTest.moc"
