// The Port Triggering tab running workers: Start, Stop, the notice, end reports.
#include "tests/triggering/LoopbackCounter.h"
#include "tests/triggering/TabTestSupport.h"
#include "triggering/ui/CStart.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTimer>

using namespace velmora::test;

class CFormView_ServerRunTest : public TabTestBase
{
    Q_OBJECT

private slots:
    void init() { begin(); }
    void cleanup() { end(); }

    void noticeClosesItselfWithoutATitleBar();
    void noticeKeepsWorkerReportsFlowing();
    void startAndStopRunTheWorkersWithANotice();
    void stopThenImmediateStartKeepsTheNewRunRunning();
    void overlappingStartsAndStopsOfTwoEntries();
    void startSkipsRunningRowsAndStopSkipsStoppedOnes();
    void workerEndRestoresTheButtonsOfTheSelectedRow();
    void endBelowStartStillShowsRunningUntilStop();
    void deleteAndAddWhileWorkersEndAreSafe();
    void destroyedViewIgnoresLateWorkerReports();
    void pageDestroyedWhileItsNoticeIsOpen();
};

void CFormView_ServerRunTest::noticeClosesItselfWithoutATitleBar()
{
    QCOMPARE(CStart::kDefaultMilliseconds, 4000);
    CStart notice(50);
    QVERIFY(notice.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(notice.isModal());
    auto* text = notice.findChild<QLabel*>("operatingText");
    QVERIFY(text);
    QCOMPARE(text->text(), QString("Operating..."));
    QCOMPARE(notice.exec(), int(QDialog::Accepted)); // as if OK were pressed
}

void CFormView_ServerRunTest::noticeKeepsWorkerReportsFlowing()
{
    auto& view = makeView({Quiet("A", 100, 101)});
    Select(view.list(), {0});
    Buttons(view).start->click();
    auto run = keep(view.runAt(0));
    view.setTimingForTesting(kGrace, 60000); // the Stop notice stays up until we close it

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
    QCOMPARE(status(0), QString("stop"));
}

void CFormView_ServerRunTest::startAndStopRunTheWorkersWithANotice()
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

void CFormView_ServerRunTest::stopThenImmediateStartKeepsTheNewRunRunning()
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

void CFormView_ServerRunTest::overlappingStartsAndStopsOfTwoEntries()
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

void CFormView_ServerRunTest::startSkipsRunningRowsAndStopSkipsStoppedOnes()
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

void CFormView_ServerRunTest::workerEndRestoresTheButtonsOfTheSelectedRow()
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

void CFormView_ServerRunTest::endBelowStartStillShowsRunningUntilStop()
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

void CFormView_ServerRunTest::deleteAndAddWhileWorkersEndAreSafe()
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

void CFormView_ServerRunTest::destroyedViewIgnoresLateWorkerReports()
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

void CFormView_ServerRunTest::pageDestroyedWhileItsNoticeIsOpen()
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

QTEST_MAIN(CFormView_ServerRunTest)
#include "CFormView_ServerRunTest.moc"
