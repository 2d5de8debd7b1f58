// The router box, Info and the router-not-found dialog driven by real scans
// against the lab router (offscreen; the process lives in the lab's LAN).
#include "platform/BackgroundThreads.h"
#include "tests/lab/LabEnvironment.h"
#include "tests/router/RouterLabSupport.h"
#include "tests/router/ScanWindow.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/QtTestApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace velmora::lab {
namespace {

using test::ModalCatcher;
using test::ScanWindow;
using test::WaitFor;

constexpr int kScanWaitMs = 60000;

class RouterLabUi : public ::testing::Test
{
protected:
    LabEnvironment& lab = LabEnvironment::Instance();

    void useRouter(RouterMode mode)
    {
        std::string output;
        ASSERT_TRUE(test::UseRouter(lab, mode, &output)) << output;
    }
    void TearDown() override { EXPECT_TRUE(lab.setRouterPcp(true)); }
};

TEST_F(RouterLabUi, TheBoxShowsTheRouterInfoShowsItsReportAndRescanFindsItAgain)
{
    useRouter(RouterMode::Upnp);
    ScanWindow w;
    QSignalSpy started(w.scan, &RouterScanController::scanStarted);
    QSignalSpy found(w.scan, &RouterScanController::routersFound);
    w.scan->startScan();
    EXPECT_TRUE(w.scanningLook());
    EXPECT_EQ(started.count(), 1);
    ASSERT_TRUE(WaitFor([&] { return w.scan->routerFound(); }, kScanWaitMs));
    EXPECT_EQ(w.lines(), QStringList{QString::fromStdString(lab.friendlyName())});
    EXPECT_EQ(w.box->currentIndex(), 0);
    EXPECT_TRUE(w.foundLook());
    EXPECT_EQ(found.count(), 1);

    ModalCatcher catcher;
    QTest::mouseClick(w.info, Qt::LeftButton);
    // The router is asked off the GUI thread; Info waits for the report meanwhile.
    EXPECT_FALSE(w.info->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return catcher.seen().size() == 1; }, kScanWaitMs));
    EXPECT_TRUE(w.info->isEnabled());
    EXPECT_EQ(catcher.seen()[0].title, QString("Router Info"));
    QStringList lines = catcher.seen()[0].text.split('\n');
    ASSERT_EQ(lines.size(), 8) << catcher.seen()[0].text.toStdString(); // ends with a line feed
    EXPECT_EQ(lines[0], "Connection Type : IP_Routed");
    EXPECT_TRUE(lines[1].startsWith("Status : Connected, uptime="));
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], QString::fromStdString("ExternalIPAddress = " + lab.routerWan()));
    EXPECT_TRUE(lines[5].startsWith("Bytes:   Sent: "));
    EXPECT_TRUE(lines[6].startsWith("Packets: Sent: "));

    QTest::mouseClick(w.rescan, Qt::LeftButton);
    EXPECT_FALSE(w.scan->routerFound());
    EXPECT_TRUE(w.scanningLook());
    EXPECT_EQ(w.box->count(), 0);
    ASSERT_TRUE(WaitFor([&] { return w.scan->routerFound(); }, kScanWaitMs));
    EXPECT_EQ(w.lines(), QStringList{QString::fromStdString(lab.friendlyName())});
    EXPECT_EQ(started.count(), 2);
}

TEST_F(RouterLabUi, UpnpAndNatPmpRouterGiveTwoLinesFirstSelected)
{
    useRouter(RouterMode::Both);
    // A gateway of NAT-PMP alone: one that also speaks PCP has a report to show.
    ASSERT_TRUE(lab.setRouterPcp(false));
    ScanWindow w;
    w.scan->startScan();
    ASSERT_TRUE(WaitFor([&] { return w.scan->routerFound(); }, kScanWaitMs));
    EXPECT_EQ(w.lines(),
              (QStringList{QString::fromStdString(lab.friendlyName()), "AirPort Station"}));
    EXPECT_EQ(w.box->currentIndex(), 0);
    EXPECT_EQ(w.scan->selectedRouter(), w.scan->routers()[0]);

    w.box->setCurrentIndex(1);
    ModalCatcher catcher;
    QTest::mouseClick(w.info, Qt::LeftButton);
    ASSERT_EQ(catcher.seen().size(), 1);
    EXPECT_EQ(catcher.seen()[0].text, QString("Apple router does not support view info."));
}

TEST_F(RouterLabUi, NoRouterShowsTheErrorDialogAndScansAgainAfterOk)
{
    ASSERT_TRUE(lab.stopRouter());
    ScanWindow w;
    ModalCatcher catcher;
    bool routerStarted = false;
    bool heldAtError = false;
    catcher.answer = [&](QWidget* modal) {
        heldAtError = w.scan->scanErrorShown() && w.scanningLook();
        // The user turns UPnP on meanwhile, then presses OK.
        routerStarted = test::UseRouter(lab, RouterMode::Upnp);
        QTest::mouseClick(modal->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    };
    w.scan->startScan();
    ASSERT_TRUE(WaitFor([&] { return w.scan->routerFound(); }, 2 * kScanWaitMs));
    ASSERT_EQ(catcher.seen().size(), 1);
    EXPECT_EQ(catcher.seen()[0].title, QString("Error"));
    EXPECT_TRUE(routerStarted);
    EXPECT_TRUE(heldAtError);
    EXPECT_EQ(w.lines(), QStringList{QString::fromStdString(lab.friendlyName())});
    EXPECT_TRUE(w.foundLook());
}

TEST_F(RouterLabUi, ClosingDuringARealScanIsClean)
{
    ASSERT_TRUE(lab.stopRouter()); // the longest scan: nothing answers
    auto w = std::make_unique<ScanWindow>();
    w->scan->startScan();
    QTest::qWait(200);
    // Returns at once: the scan's network calls end on their own, and their
    // "nothing found" reaches no one (no router-not-found dialog).
    w.reset();
    EXPECT_GE(BackgroundThreads::instance().pending(), 1u);
    EXPECT_TRUE(
        BackgroundThreads::instance().joinFinishedWithin(std::chrono::milliseconds(kScanWaitMs)));
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    useRouter(RouterMode::Both);
}

} // namespace
} // namespace velmora::lab
