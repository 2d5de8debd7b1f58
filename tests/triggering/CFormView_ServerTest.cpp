#include "triggering/ui/CFormView_Server.h"

#include "platform/ui/ReportList.h"
#include "tests/support/ModalCatcher.h"
#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/Triggering.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

using velmora::test::LogCapture;
using velmora::test::LoopbackCounter;
using velmora::test::MakeTriggeringEntry;
using velmora::test::ModalCatcher;
using velmora::test::StopLine;
using velmora::test::WaitFor;

namespace {

constexpr auto kGrace = std::chrono::milliseconds(40);
constexpr auto kLongGrace = std::chrono::milliseconds(1500);
constexpr int kNoticeMs = 30;

// Entries that send nothing anywhere ("ICMP" only pauses).
TriggeringEntry Quiet(const std::string& name, int firstPort, int lastPort)
{
    return MakeTriggeringEntry(name, "ICMP", "127.0.0.1", firstPort, lastPort, 5);
}

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
    QPushButton* add;
    QPushButton* edit;
    QPushButton* remove;
    QPushButton* start;
    QPushButton* stop;
};

void Select(ReportList* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Fills the Add Port Triggering dialog and presses OK.
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

bool Finished(const std::shared_ptr<TriggeringRun>& run)
{
    return run && WaitFor([&] { return run->finished(); }, 20000);
}

} // namespace

class CFormView_ServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void columnsAndFreshButtons();
    void buttonStatesFollowTheFirstSelectedRow();
    void addAppendsAStoppedRowThatDoesNotStart();
    void editRewritesTheRowInPlaceAndCancelChangesNothing();
    void deleteRemovesOnlyTheFirstSelectedStoppedRow();
    void startAndStopRunTheWorkersWithANotice();
    void stopThenImmediateStartKeepsTheNewRunRunning();
    void overlappingStartsAndStopsOfTwoEntries();
    void startSkipsRunningRowsAndStopSkipsStoppedOnes();
    void workerEndRestoresTheButtonsOfTheSelectedRow();
    void endBelowStartStillShowsRunningUntilStop();
    void autoStartTakesOnlyExactlyY();
    void deleteAndAddWhileWorkersEndAreSafe();
    void destroyedViewIgnoresLateWorkerReports();
    void pageDestroyedWhileItsNoticeIsOpen();
    void reloadShowsEveryRowStopped();

private:
    std::unique_ptr<LogCapture> log_;
    std::vector<TriggeringEntry> entries_;
    std::unique_ptr<CFormView_Server> view_;
    std::vector<std::shared_ptr<TriggeringRun>> runs_; // stopped and awaited in cleanup

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
    std::shared_ptr<TriggeringRun> keep(std::shared_ptr<TriggeringRun> run)
    {
        runs_.push_back(run);
        return run;
    }
};

void CFormView_ServerTest::init()
{
    log_ = std::make_unique<LogCapture>();
}

void CFormView_ServerTest::cleanup()
{
    for (int row = 0; view_ && row < view_->list()->rowCount(); ++row)
        runs_.push_back(view_->runAt(row));
    for (auto& run : runs_) {
        RequestTriggeringStop(run);
        if (run)
            run->waitUntilFinished(std::chrono::seconds(20));
    }
    runs_.clear();
    view_.reset();
    log_.reset();
}

void CFormView_ServerTest::columnsAndFreshButtons()
{
    auto& view = makeView({});
    auto* list = view.list();
    const QStringList headings = {"Name",
                                  "Status",
                                  "Auto Start",
                                  "Protocol",
                                  "Trigger Address",
                                  "Trigger Port(Start)",
                                  "Trigger Port(End)",
                                  "Frequence(ms)"};
    const int widths[] = {130, 70, 70, 80, 110, 110, 110, 100};
    QCOMPARE(list->columnCount(), 8);
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(list->horizontalHeaderItem(i)->text(), headings[i]);
        QCOMPARE(list->columnWidth(i), widths[i]);
    }
    Buttons b(view);
    QVERIFY(b.add->isEnabled());
    QCOMPARE(b.states(), QString("0000"));
}

void CFormView_ServerTest::buttonStatesFollowTheFirstSelectedRow()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    Buttons b(view);
    view.list()->setCell(1, 1, "running"); // the Status text is what the buttons read
    Select(view.list(), {0});
    QCOMPARE(b.states(), QString("1110"));
    Select(view.list(), {1});
    QCOMPARE(b.states(), QString("0001"));
    Select(view.list(), {0, 1}); // a stopped row first: Start is offered, Stop is not
    QCOMPARE(b.states(), QString("1110"));
    Select(view.list(), {1, 2});
    QCOMPARE(b.states(), QString("0001"));
    Select(view.list(), {});
    QCOMPARE(b.states(), QString("0000"));
    QVERIFY(b.add->isEnabled());
    // Handlers do nothing without a selection.
    view.editEntry();
    view.deleteEntry();
    view.startSelected();
    view.stopSelected();
    QCOMPARE(view.list()->rowCount(), 3);
    QVERIFY(!view.runAt(0));
}

void CFormView_ServerTest::addAppendsAStoppedRowThatDoesNotStart()
{
    auto& view = makeView({Quiet("A", 100, 100)});
    ModalCatcher catcher;
    catcher.answer = FillDialog("New", "7000", "7002", true);
    Buttons(view).add->click();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(entries_.size(), size_t(2));
    const QStringList expected = {"New",  "stop", "Y",  "TCP", "www.wikipedia.org",
                                  "7000", "7002", "250"};
    for (int column = 0; column < 8; ++column)
        QCOMPARE(view.list()->cell(1, column), expected[column]);
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("New"));
    QCOMPARE(velmora::Field(entries_[1].status), std::string_view("stop"));
    QCOMPARE(velmora::Field(entries_[1].trigger_address), std::string_view("www.wikipedia.org"));
    QVERIFY(!view.runAt(1)); // auto start takes effect only at the next program start

    catcher.answer = [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
    Buttons(view).add->click();
    QCOMPARE(view.list()->rowCount(), 2);
}

void CFormView_ServerTest::editRewritesTheRowInPlaceAndCancelChangesNothing()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    ModalCatcher catcher;
    catcher.answer = FillDialog("B2", "9000", "", false);
    Select(view.list(), {1, 2});
    Buttons(view).edit->click();
    QCOMPARE(view.list()->rowCount(), 3);
    QCOMPARE(view.list()->cell(1, 0), QString("B2"));
    QCOMPARE(view.list()->cell(1, 1), QString("stop"));
    QCOMPARE(view.list()->cell(1, 6), QString("9000"));
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("B2"));
    QCOMPARE(velmora::Field(entries_[1].protocol), std::string_view("TCP and UDP"));
    QCOMPARE(view.list()->cell(2, 0), QString("C")); // only the first selected row

    const TriggeringEntry before = entries_[1];
    catcher.answer = [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
    Buttons(view).edit->click();
    QCOMPARE(std::memcmp(&before, &entries_[1], sizeof before), 0);
    QCOMPARE(view.list()->cell(1, 0), QString("B2"));
}

void CFormView_ServerTest::deleteRemovesOnlyTheFirstSelectedStoppedRow()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200), Quiet("C", 300, 300)});
    Select(view.list(), {1, 2});
    Buttons(view).remove->click();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(entries_.size(), size_t(2));
    QCOMPARE(view.list()->cell(0, 0), QString("A"));
    QCOMPARE(view.list()->cell(1, 0), QString("C"));
    QCOMPARE(velmora::Field(entries_[1].name), std::string_view("C"));

    // A running entry is never deleted, even if the handler is reached.
    Select(view.list(), {0});
    Buttons(view).start->click();
    QCOMPARE(status(0), QString("running"));
    view.deleteEntry();
    QCOMPARE(view.list()->rowCount(), 2);
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
    catcher.answer = [&](QWidget* modal) { modals << modal->objectName(); }; // let it close itself

    Select(view.list(), {0});
    b.start->click();
    QCOMPARE(modals, QStringList({"CStart"}));
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("running"));
    QCOMPARE(b.states(), QString("0001"));
    auto run = keep(view.runAt(0));
    QVERIFY(run);
    QCOMPARE(run->workersStarted(), 3);
    for (int i = 0; i < 3; ++i)
        QVERIFY(WaitFor([&] { return counter->datagrams(i) >= 2; }));

    b.stop->click();
    QCOMPARE(modals.size(), 2);
    QCOMPARE(status(0), QString("stop")); // as soon as the notice closes
    QCOMPARE(b.states(), QString("1110"));
    QVERIFY(Finished(run));
    QTest::qWait(50); // let the queued end reports arrive
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("stop"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(log_->count(StopLine("Game", "127.0.0.1", std::to_string(port + i))), 1);
        QCOMPARE(log_->messagesStartingWith("start port triggering[Game]").size(), size_t(3));
    }
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
    QVERIFY(
        WaitFor([&] { return log_->messagesStartingWith("stop port triggering[A]").size() == 8; }));
    QCOMPARE(log_->messagesStartingWith("start port triggering[A]").size(), size_t(8));
    QCOMPARE(status(0), QString("stop"));
}

void CFormView_ServerTest::overlappingStartsAndStopsOfTwoEntries()
{
    auto& view = makeView({Quiet("A", 100, 101), Quiet("B", 200, 202)});
    Buttons b(view);
    Select(view.list(), {0});
    b.start->click();
    Select(view.list(), {1});
    b.start->click();
    auto a = keep(view.runAt(0));
    auto bRun = keep(view.runAt(1));
    Select(view.list(), {0});
    b.stop->click();
    QVERIFY(Finished(a));
    QTest::qWait(50);
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(status(1), QString("running"));
    QCOMPARE(bRun->workersAlive(), 3);
    QVERIFY(!bRun->stopRequested());

    Select(view.list(), {0, 1});
    QVERIFY(!b.stop->isEnabled()); // the first selected row is stopped
    view.stopSelected();           // reached anyway: row 0 is skipped, row 1 stops
    QVERIFY(Finished(bRun));
    QTest::qWait(50);
    QCOMPARE(status(1), QString("stop"));
    QCOMPARE(log_->messagesStartingWith("stop port triggering[A]").size(), size_t(2));
    QCOMPARE(log_->messagesStartingWith("stop port triggering[B]").size(), size_t(3));
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

void CFormView_ServerTest::workerEndRestoresTheButtonsOfTheSelectedRow()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200)});
    Buttons b(view);
    Select(view.list(), {0});
    b.start->click();
    Select(view.list(), {1});
    b.start->click();
    auto a = keep(view.runAt(0));
    Select(view.list(), {0});
    b.stop->click();
    Select(view.list(), {1}); // the running row stays selected while A's worker leaves
    QCOMPARE(b.states(), QString("0001"));
    QVERIFY(Finished(a));
    QTest::qWait(50);
    QCOMPARE(b.states(), QString("0001")); // Stop stays offered for the running row
    Select(view.list(), {0});
    QCOMPARE(b.states(), QString("1110"));
}

void CFormView_ServerTest::endBelowStartStillShowsRunningUntilStop()
{
    auto& view = makeView({Quiet("Empty", 500, 400)});
    Select(view.list(), {0});
    Buttons(view).start->click();
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(view.runAt(0)->workersStarted(), 0);
    QTest::qWait(50);
    QCOMPARE(status(0), QString("running"));
    Buttons(view).stop->click();
    QCOMPARE(status(0), QString("stop"));
    QVERIFY(log_->lines().empty());
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
    velmora::SetField(entries[3].auto_start, "N");
    auto& view = makeView(entries);
    ModalCatcher catcher;
    view.startAutoStartEntries();
    QTest::qWait(30);
    QVERIFY(catcher.seen().isEmpty()); // no notice at start-up
    QCOMPARE(status(0), QString("running"));
    QCOMPARE(velmora::Field(entries_[0].status), std::string_view("running"));
    QVERIFY(view.runAt(0));
    QCOMPARE(view.runAt(0)->workersStarted(), 2);
    for (int row = 1; row < 4; ++row) {
        QCOMPARE(status(row), QString("stop"));
        QVERIFY(!view.runAt(row));
    }
    QCOMPARE(Buttons(view).states(), QString("0000")); // unchanged until a row is selected
    view.startAutoStartEntries();                      // a second call starts nothing twice
    QCOMPARE(view.runAt(0)->workersStarted(), 2);
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

void CFormView_ServerTest::destroyedViewIgnoresLateWorkerReports()
{
    auto& view = makeView({Quiet("A", 100, 102)});
    Select(view.list(), {0});
    Buttons(view).start->click();
    auto run = keep(view.runAt(0));
    Buttons(view).stop->click();
    view_.reset(); // as at Exit: the page goes while its workers are still leaving
    QVERIFY(Finished(run));
    QTest::qWait(50); // nothing arrives at the freed page
    QCOMPARE(log_->messagesStartingWith("stop port triggering[A]").size(), size_t(3));
}

void CFormView_ServerTest::pageDestroyedWhileItsNoticeIsOpen()
{
    auto& view = makeView({Quiet("A", 100, 101), Quiet("B", 200, 200)});
    view.setTimingForTesting(kGrace, 60000); // the notice would stay up for a minute
    Select(view.list(), {0, 1});
    std::shared_ptr<TriggeringRun> run;
    ModalCatcher catcher;
    catcher.answer = [&](QWidget*) {
        run = keep(view_->runAt(0));
        view_.reset(); // Exit from the tray while the notice is up
    };
    view.startSelected(); // returns without touching the freed page
    QVERIFY(!view_);
    QVERIFY(run);
    QCOMPARE(catcher.seen().size(), 1); // the second row was never reached
}

void CFormView_ServerTest::reloadShowsEveryRowStopped()
{
    auto& view = makeView({Quiet("A", 100, 100), Quiet("B", 200, 200)});
    velmora::SetField(entries_[0].status, "running");
    view.reloadRows();
    QCOMPARE(view.list()->rowCount(), 2);
    QCOMPARE(status(0), QString("stop"));
    QCOMPARE(status(1), QString("stop"));
    QCOMPARE(view.list()->cell(1, 0), QString("B"));
}

QTEST_MAIN(CFormView_ServerTest)
#include "CFormView_ServerTest.moc"
