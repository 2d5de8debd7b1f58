// The scan as the main window drives it, over fake steps: the box and the
// controls in each phase, the router-not-found dialog, Rescan, Info, and
// going away in the middle of a scan or with the dialog open.

#include "router/ui/RouterScanController.h"

#include "platform/BackgroundThreads.h"
#include "router/ui/Error.h"
#include "tests/router/FakeScanSteps.h"
#include "tests/router/ScanWindow.h"
#include "tests/support/ModalCatcher.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using velmora::test::FakeScanSteps;
using velmora::test::ModalCatcher;
using velmora::test::WaitFor;

namespace {

// The window part with a scan that answers from `fake`.
struct Window : velmora::test::ScanWindow
{
    explicit Window(FakeScanSteps& fake)
    {
        scan->setScanSteps(fake.steps(), [] { return std::vector<std::string>{"10.0.0.2"}; });
    }
    bool waitFound()
    {
        return WaitFor([&] { return scan->routerFound(); }, 10000);
    }
};

} // namespace

class RouterScanControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void foundRoutersFillTheBoxInOrder()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "Lab Router"),
                         FakeScanSteps::Upnp("http://r2/", ""), FakeScanSteps::AirPort()}};
        fake.hold();
        Window w(fake);
        QSignalSpy started(w.scan, &velmora::RouterScanController::scanStarted);
        QSignalSpy found(w.scan, &velmora::RouterScanController::routersFound);
        w.scan->startScan();
        QCOMPARE(started.count(), 1);
        QVERIFY(w.scanningLook());
        QVERIFY(!w.scan->routerFound());
        QVERIFY(w.scan->scanning());
        // Before any router, Info does nothing.
        ModalCatcher catcher;
        w.scan->showInfo();
        QTest::qWait(50);
        QVERIFY(catcher.seen().isEmpty());
        fake.release();
        QVERIFY(w.waitFound());
        QCOMPARE(w.lines(), (QStringList{"Lab Router", "", "AirPort Station"}));
        QCOMPARE(w.box->currentIndex(), 0);
        QVERIFY(w.foundLook());
        QVERIFY(w.scan->scanErrorShown()); // set together with router_found
        QCOMPARE(found.count(), 1);
        QCOMPARE(w.scan->routers().size(), size_t(3));
        QCOMPARE(w.scan->selectedRouter(), w.scan->routers()[0]);
        QVERIFY(!w.scan->scanning());
        // Info on the AirPort Station line.
        w.box->setCurrentIndex(2);
        w.scan->showInfo();
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(catcher.seen()[0].text, QString("Apple router does not support view info."));
    }

    void routersShowAsTheyComeAndEndInTheScansOrder()
    {
        // The NAT-PMP gateway answers at once and shows while the UPnP router
        // is still being read; the UPnP router then comes in before it. The
        // first line stays selected unless the user picked one meanwhile.
        for (bool userPicks : {false, true}) {
            FakeScanSteps fake;
            fake.natPmp = FakeScanSteps::AirPort();
            fake.answers = {{FakeScanSteps::Upnp("http://r1/", "Lab Router")}};
            fake.hold();
            Window w(fake);
            QSignalSpy listed(w.scan, &velmora::RouterScanController::routerListed);
            QSignalSpy found(w.scan, &velmora::RouterScanController::routersFound);
            w.scan->startScan();
            QVERIFY(WaitFor([&] { return listed.count() == 1; }, 10000));
            QCOMPARE(w.lines(), QStringList{"AirPort Station"});
            QVERIFY(!w.progress->isVisible() && w.box->isVisible() && w.info->isVisible());
            QVERIFY(!w.rescan->isVisible() && !w.scan->routerFound() && found.count() == 0);
            ModalCatcher catcher; // Info already answers for a listed router
            w.scan->showInfo();
            QCOMPARE(catcher.seen().size(), 1);
            if (userPicks)
                emit w.box->activated(0);
            fake.release();
            QVERIFY(w.waitFound());
            QCOMPARE(w.lines(), (QStringList{"Lab Router", "AirPort Station"}));
            QCOMPARE(w.box->currentIndex(), userPicks ? 1 : 0);
            QCOMPARE(listed.count(), 1);
            QVERIFY(w.foundLook());
        }
    }

    void noRouterShowsErrorThenScansAgain()
    {
        // OK and Escape both end the dialog and start a new scan.
        FakeScanSteps fake;
        fake.answers = {{}, {}, {FakeScanSteps::Upnp("http://r1/", "Late Router")}};
        Window w(fake);
        QSignalSpy shown(w.scan, &velmora::RouterScanController::routerNotFoundShown);
        int heldStates = 0;
        ModalCatcher catcher;
        catcher.answer = [&](QWidget* modal) {
            heldStates += w.scan->scanErrorShown() && !w.scan->routerFound() && w.scanningLook();
            QVERIFY(qobject_cast<Error*>(modal));
            if (catcher.seen().size() == 1)
                QTest::mouseClick(modal->findChild<QPushButton*>("okButton"), Qt::LeftButton);
            else
                QTest::keyClick(modal, Qt::Key_Escape);
        };
        w.scan->startScan();
        QVERIFY(w.waitFound());
        QCOMPARE(shown.count(), 2);
        QCOMPARE(catcher.seen().size(), 2);
        QCOMPARE(catcher.seen()[0].title, QString("Error"));
        QCOMPARE(heldStates, 2);
        QCOMPARE(fake.scans(), 3);
        QCOMPARE(w.lines(), QStringList{"Late Router"});
        QVERIFY(w.foundLook());
    }

    void errorDialogTexts()
    {
        Error dialog;
        QCOMPARE(dialog.windowTitle(), QString("Error"));
        QStringList texts;
        for (int i = 1; i <= 4; ++i)
            texts << dialog.findChild<QLabel*>(QString("routerNotFoundText%1").arg(i))->text();
        QCOMPARE(
            texts,
            (QStringList{"Failed to find your router. Please try to login your router, then enable "
                         "UPnP or NAT-PMP option and try again.",
                         "If the UPnP or NAT-PMP option is enabled and you still see the problem, "
                         "please try to disable the firewall of your computer and try again. ",
                         "If you still see the problem, that means our tool can not detect your "
                         "router due to some network configuration reason. ",
                         "Pls click OK button to rescan your router again"}));
        auto* ok = dialog.findChild<QPushButton*>("okButton");
        QVERIFY(ok && ok->isDefault());
        QCOMPARE(ok->text(), QString("OK"));
        // Laid out as the template (272 x 174 units): OK at 105,135 below the texts.
        QVERIFY(std::abs(ok->geometry().left() * 272 / dialog.width() - 105) <= 1);
        QVERIFY(std::abs(ok->geometry().top() * 174 / dialog.height() - 135) <= 1);
        // Every text shows whole, and no text runs into the next one or the button.
        QRect previous;
        for (int i = 1; i <= 4; ++i) {
            auto* label = dialog.findChild<QLabel*>(QString("routerNotFoundText%1").arg(i));
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
            QVERIFY(label->geometry().top() < ok->geometry().top());
            QVERIFY(!label->geometry().intersects(previous));
            QVERIFY(!label->geometry().intersects(ok->geometry()));
            previous = label->geometry();
        }
    }

    void rescanEmptiesTheBoxAndClearsTheFlags()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One")},
                        {FakeScanSteps::Upnp("http://r2/", "Two")}};
        Window w(fake);
        QSignalSpy started(w.scan, &velmora::RouterScanController::scanStarted);
        QSignalSpy found(w.scan, &velmora::RouterScanController::routersFound);
        w.scan->startScan();
        QVERIFY(w.waitFound());
        std::weak_ptr<RouterEntry> first = w.scan->routers()[0];
        fake.hold();
        fake.answers[0].clear(); // the list must not keep the old entry alive
        w.scan->rescan();
        QCOMPARE(started.count(), 2);
        QCOMPARE(w.box->count(), 0);
        QVERIFY(!w.scan->routerFound());
        QVERIFY(!w.scan->scanErrorShown());
        QVERIFY(w.scan->routers().empty());
        QVERIFY(first.expired()); // released: its NAT-PMP socket (if any) closed
        QVERIFY(w.scanningLook());
        // A second Rescan or start while this scan runs starts nothing.
        w.scan->rescan();
        w.scan->startScan();
        fake.release();
        QVERIFY(w.waitFound());
        QTest::qWait(100);
        QCOMPARE(fake.scans(), 2);
        QCOMPARE(found.count(), 2);
        QCOMPARE(w.lines(), QStringList{"Two"});
    }

    void rescanWhileTheErrorDialogIsOpenDoesNothing()
    {
        FakeScanSteps fake;
        fake.answers = {{}, {FakeScanSteps::Upnp("http://r1/", "One")}};
        Window w(fake);
        QSignalSpy shown(w.scan, &velmora::RouterScanController::routerNotFoundShown);
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return shown.count() == 1; }, 10000));
        w.scan->rescan();
        QTest::qWait(50);
        QCOMPARE(fake.scans(), 1);
        QVERIFY(w.scan->scanErrorShown());
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->accept();
        QVERIFY(w.waitFound());
        QCOMPARE(fake.scans(), 2);
    }

    void typedTextLeavesNoLineSelectedAndInfoDoesNothing()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One"), FakeScanSteps::AirPort()}};
        Window w(fake);
        w.scan->startScan();
        QVERIFY(w.waitFound());
        w.box->lineEdit()->selectAll();
        QTest::keyClicks(w.box->lineEdit(), "typed");
        QCOMPARE(w.scan->selectedRouter(), velmora::RouterEntryPtr());
        ModalCatcher catcher;
        w.scan->showInfo();
        QTest::qWait(100);
        QVERIFY(catcher.seen().isEmpty());
        // Enter adds no line: entry i stays line i.
        QTest::keyClick(w.box->lineEdit(), Qt::Key_Return);
        QCOMPARE(w.box->count(), 2);
        w.box->setCurrentIndex(1);
        QCOMPARE(w.scan->selectedRouter(), w.scan->routers()[1]);
    }

    void closingDuringAScanIsClean()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One")}};
        fake.hold();
        auto w = std::make_unique<Window>(fake);
        w->scan->startScan();
        QVERIFY(w->scan->scanning());
        // The window goes while the scan waits: it returns at once, leaving the
        // scan to finish on its own, and what the scan finds reaches no one.
        w.reset();
        QVERIFY(velmora::BackgroundThreads::instance().pending() >= 1);
        fake.release();
        velmora::BackgroundThreads::instance().joinAll(); // before `fake` goes
        QCoreApplication::sendPostedEvents();
        QCOMPARE(fake.scans(), 1);
        QCOMPARE(fake.answers[0][0].use_count(), 1L); // no queued result holds the router
    }

    void aScanPastItsDeadlineCountsAsNothingFoundAndItsLateResultIsDropped()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://late/", "Late")}, {}};
        fake.hold();
        Window w(fake);
        w.scan->setScanDeadline(std::chrono::milliseconds(300));
        QSignalSpy shown(w.scan, &velmora::RouterScanController::routerNotFoundShown);
        ModalCatcher catcher;
        catcher.answer = [](QWidget*) {}; // the dialog stays open
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return shown.count() == 1; }, 5000));
        QVERIFY(w.scan->scanErrorShown());
        fake.release(); // the late answer finds no one to take it
        velmora::BackgroundThreads::instance().joinAll();
        QTest::qWait(100);
        QVERIFY(!w.scan->routerFound());
        QVERIFY(w.scan->routers().empty());
        if (QWidget* dialog = QApplication::activeModalWidget())
            static_cast<QDialog*>(dialog)->reject();
        QVERIFY(WaitFor([&] { return fake.scans() == 2; }, 5000)); // the next scan began
    }

    void closingWithTheErrorDialogOpenIsClean()
    {
        // The whole window, or the controller alone, goes away under the dialog.
        for (bool wholeWindow : {true, false}) {
            FakeScanSteps fake;
            fake.answers = {{}};
            auto w = std::make_unique<Window>(fake);
            QSignalSpy shown(w->scan, &velmora::RouterScanController::routerNotFoundShown);
            w->scan->startScan();
            QVERIFY(WaitFor([&] { return shown.count() == 1; }, 10000));
            QPointer<QWidget> dialog = QApplication::activeModalWidget();
            QVERIFY(dialog);
            if (wholeWindow) {
                w.reset();
            } else {
                delete w->scan;
                w->scan = nullptr;
            }
            QTest::qWait(100);
            QVERIFY2(!dialog, wholeWindow ? "window" : "controller");
            QCOMPARE(fake.scans(), 1); // no new scan started by the teardown
        }
    }
};

QTEST_MAIN(RouterScanControllerTest)
#include "RouterScanControllerTest.moc"
