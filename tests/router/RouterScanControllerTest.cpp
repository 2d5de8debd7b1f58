#include "router/ui/RouterScanController.h"

#include "router/ui/Error.h"
#include "tests/router/FakeScanSteps.h"
#include "tests/router/ScanWindow.h"
#include "tests/support/ModalCatcher.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <memory>
#include <thread>

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
        QSignalSpy started(w.scan, &RouterScanController::scanStarted);
        QSignalSpy found(w.scan, &RouterScanController::routersFound);
        w.scan->startScan();
        QCOMPARE(started.count(), 1);
        QVERIFY(w.scanningLook());
        QVERIFY(!w.scan->routerFound());
        QVERIFY(w.scan->scanning());
        fake.release();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QCOMPARE(w.lines(), (QStringList{"Lab Router", "", "AirPort Station"}));
        QCOMPARE(w.box->currentIndex(), 0);
        QVERIFY(w.foundLook());
        QVERIFY(w.scan->scanErrorShown()); // set together with router_found
        QCOMPARE(found.count(), 1);
        QCOMPARE(w.scan->routers().size(), size_t(3));
        QCOMPARE(w.scan->selectedRouter(), w.scan->routers()[0]);
        QVERIFY(!w.scan->scanning());
    }

    void noRouterShowsErrorThenScansAgain()
    {
        FakeScanSteps fake;
        fake.answers = {{}, {FakeScanSteps::Upnp("http://r1/", "Late Router")}};
        Window w(fake);
        QSignalSpy shown(w.scan, &RouterScanController::routerNotFoundShown);
        bool sawHeldState = false;
        ModalCatcher catcher;
        catcher.answer = [&](QWidget* modal) {
            sawHeldState = w.scan->scanErrorShown() && !w.scan->routerFound() && w.scanningLook();
            QVERIFY(qobject_cast<Error*>(modal));
            QTest::mouseClick(modal->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        };
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QCOMPARE(shown.count(), 1);
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(catcher.seen()[0].title, QString("Error"));
        QVERIFY(sawHeldState);
        QCOMPARE(fake.scans(), 2);
        QCOMPARE(w.lines(), QStringList{"Late Router"});
        QVERIFY(w.foundLook());
    }

    void escapeEndsTheErrorDialogLikeOk()
    {
        FakeScanSteps fake;
        fake.answers = {{}, {}, {FakeScanSteps::AirPort()}};
        Window w(fake);
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); };
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QCOMPARE(fake.scans(), 3);
        QCOMPARE(w.lines(), QStringList{"AirPort Station"});
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
        auto* last = dialog.findChild<QLabel*>("routerNotFoundText4");
        QVERIFY(ok->geometry().top() > last->geometry().top());
        QVERIFY(std::abs(ok->geometry().left() * 272 / dialog.width() - 105) <= 1);
        QVERIFY(std::abs(ok->geometry().top() * 174 / dialog.height() - 135) <= 1);
        // Every text shows whole, and no text runs into the next one or the button.
        QRect previous;
        for (int i = 1; i <= 4; ++i) {
            auto* label = dialog.findChild<QLabel*>(QString("routerNotFoundText%1").arg(i));
            QVERIFY(label->height() >= label->heightForWidth(label->width()));
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
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        std::weak_ptr<RouterEntry> first = w.scan->routers()[0];
        QSignalSpy started(w.scan, &RouterScanController::scanStarted);
        fake.hold();
        fake.answers[0].clear(); // the list must not keep the old entry alive
        w.scan->rescan();
        QCOMPARE(started.count(), 1);
        QCOMPARE(w.box->count(), 0);
        QVERIFY(!w.scan->routerFound());
        QVERIFY(!w.scan->scanErrorShown());
        QVERIFY(w.scan->routers().empty());
        QVERIFY(first.expired()); // released: its NAT-PMP socket (if any) closed
        QVERIFY(w.scanningLook());
        fake.release();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QCOMPARE(w.lines(), QStringList{"Two"});
    }

    void rescanDuringAScanStartsNoSecondScan()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One")}};
        Window w(fake);
        QSignalSpy found(w.scan, &RouterScanController::routersFound);
        fake.hold();
        w.scan->startScan();
        w.scan->rescan();
        w.scan->startScan();
        w.scan->rescan();
        fake.release();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QTest::qWait(100);
        QCOMPARE(fake.scans(), 1);
        QCOMPARE(found.count(), 1);
        QCOMPARE(w.lines(), QStringList{"One"});
    }

    void rescanWhileTheErrorDialogIsOpenDoesNothing()
    {
        FakeScanSteps fake;
        fake.answers = {{}, {FakeScanSteps::Upnp("http://r1/", "One")}};
        Window w(fake);
        QSignalSpy shown(w.scan, &RouterScanController::routerNotFoundShown);
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return shown.count() == 1; }, 10000));
        w.scan->rescan();
        QTest::qWait(50);
        QCOMPARE(fake.scans(), 1);
        QVERIFY(w.scan->scanErrorShown());
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->accept();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QCOMPARE(fake.scans(), 2);
    }

    void typedTextLeavesNoLineSelected()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One"), FakeScanSteps::AirPort()}};
        Window w(fake);
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        QVERIFY(w.scan->selectedRouter());
        w.box->lineEdit()->selectAll();
        QTest::keyClicks(w.box->lineEdit(), "typed");
        QCOMPARE(w.scan->selectedRouter(), RouterEntryPtr());
        // Info then does nothing: no box opens.
        ModalCatcher catcher;
        w.scan->showInfo();
        QTest::qWait(100);
        QVERIFY(catcher.seen().isEmpty());
        // Enter adds no line: entry i stays line i.
        QTest::keyClick(w.box->lineEdit(), Qt::Key_Return);
        QCOMPARE(w.box->count(), 2);
        // Choosing a line selects it again.
        w.box->setCurrentIndex(1);
        QCOMPARE(w.scan->selectedRouter(), w.scan->routers()[1]);
    }

    void infoOnAnAppleRouter()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::AirPort()}};
        Window w(fake);
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
        ModalCatcher catcher;
        w.scan->showInfo();
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(catcher.seen()[0].text, QString("Apple router does not support view info."));
    }

    void infoBeforeAnyRouterDoesNothing()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One")}};
        fake.hold();
        Window w(fake);
        w.scan->startScan();
        ModalCatcher catcher;
        w.scan->showInfo();
        QTest::qWait(50);
        QVERIFY(catcher.seen().isEmpty());
        fake.release();
        QVERIFY(WaitFor([&] { return w.scan->routerFound(); }, 10000));
    }

    void closingDuringAScanIsClean()
    {
        FakeScanSteps fake;
        fake.answers = {{FakeScanSteps::Upnp("http://r1/", "One")}};
        fake.hold();
        auto w = std::make_unique<Window>(fake);
        w->scan->startScan();
        QVERIFY(w->scan->scanning());
        // The scan ends while the window goes away; nothing of it arrives later.
        std::thread releaser([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            fake.release();
        });
        w.reset();
        releaser.join();
        QTest::qWait(100);
        QCOMPARE(fake.scans(), 1);
    }

    void closingWithTheErrorDialogOpenIsClean()
    {
        FakeScanSteps fake;
        fake.answers = {{}};
        auto w = std::make_unique<Window>(fake);
        QSignalSpy shown(w->scan, &RouterScanController::routerNotFoundShown);
        w->scan->startScan();
        QVERIFY(WaitFor([&] { return shown.count() == 1; }, 10000));
        QPointer<QWidget> dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        w.reset();
        QTest::qWait(100);
        QVERIFY(!dialog);
        QCOMPARE(fake.scans(), 1); // no new scan started by the teardown
    }

    void deletingTheControllerWithTheDialogOpen()
    {
        FakeScanSteps fake;
        fake.answers = {{}};
        Window w(fake);
        QSignalSpy shown(w.scan, &RouterScanController::routerNotFoundShown);
        w.scan->startScan();
        QVERIFY(WaitFor([&] { return shown.count() == 1; }, 10000));
        QPointer<QWidget> dialog = QApplication::activeModalWidget();
        delete w.scan;
        w.scan = nullptr;
        QTest::qWait(50);
        QVERIFY(!dialog);
        QCOMPARE(fake.scans(), 1);
    }
};

QTEST_MAIN(RouterScanControllerTest)
#include "RouterScanControllerTest.moc"
