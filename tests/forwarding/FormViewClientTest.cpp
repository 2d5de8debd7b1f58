#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "platform/ui/ReportList.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/support/ModalCatcher.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <condition_variable>

using velmora::test::FakeForwardingHost;
using velmora::test::MakeEntry;
using velmora::test::ModalCatcher;
using velmora::test::WaitFor;

namespace {

QPushButton* Button(QWidget* view, const char* name)
{
    return view->findChild<QPushButton*>(name);
}

void SelectRows(ReportList* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Answers the entry dialog with the given texts and presses OK.
std::function<void(QWidget*)> FillDialog(QString name, QString protocol, QString ports, QString ip,
                                         QString* shownName = nullptr)
{
    return [=](QWidget* modal) {
        auto* dialog = qobject_cast<CRouter_Add_Port*>(modal);
        if (!dialog) {
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                box->accept();
            return;
        }
        if (shownName)
            *shownName = dialog->findChild<QLineEdit*>("nameEdit")->text();
        dialog->findChild<QLineEdit*>("nameEdit")->setText(name);
        auto* box = dialog->findChild<QComboBox*>("protocolBox");
        box->setCurrentIndex(box->findText(protocol));
        dialog->findChild<QLineEdit*>("portEdit")->setText(ports);
        dialog->findChild<QLineEdit*>("internalIpEdit")->setText(ip);
        dialog->accept();
    };
}

// A router stand-in whose requests wait until the test lets them through.
class GatedWriter final : public velmora::MappingWriter
{
public:
    struct Gate
    {
        std::mutex m;
        std::condition_variable cv;
        int allowed = 0;
        int written = 0;
        bool keep = true;
    };
    explicit GatedWriter(std::shared_ptr<Gate> gate) : gate_(std::move(gate)) {}
    Outcome write(const velmora::MappingRequest&) override
    {
        std::unique_lock lock(gate_->m);
        gate_->cv.wait(lock, [&] { return gate_->allowed > gate_->written; });
        ++gate_->written;
        return Outcome::Written;
    }
    bool holds(const velmora::MappingRequest&) override { return gate_->keep; }

private:
    std::shared_ptr<Gate> gate_;
};

// Lets every waiting request through when a test ends, passed or not, so
// that the view's destructor can join its worker.
struct OpenGateAtExit
{
    std::shared_ptr<GatedWriter::Gate> gate;
    ~OpenGateAtExit()
    {
        {
            std::lock_guard lock(gate->m);
            gate->allowed = 1 << 30;
        }
        gate->cv.notify_all();
    }
};

} // namespace

class FormViewClientTest : public QObject
{
    Q_OBJECT
private slots:
    void layoutAndInitialStates()
    {
        std::vector<ForwardingEntry> entries;
        FakeForwardingHost host(entries);
        CFormView_Client view(entries, host);
        view.show();
        auto* list = view.list();
        QCOMPARE(list->columnCount(), 4);
        const QStringList headings{"Name", "Protocol", "Port", "Internal IP"};
        const int widths[] = {150, 100, 140, 140};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(list->horizontalHeaderItem(i)->text(), headings[i]);
            QCOMPARE(list->columnWidth(i), widths[i]);
        }
        QVERIFY(Button(&view, "addButton")->isEnabled());
        for (const char* name : {"editButton", "deleteButton", "addIntoRouterButton",
                                 "portsListButton", "portCheckButton"})
            QVERIFY2(!Button(&view, name)->isEnabled(), name);
        QVERIFY(!Button(&view, "portCheckButton")->isVisible());
    }

    void selectionEnablesAddIntoRouterOnlyWithARouter()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "80", "127.0.0.2")};
        FakeForwardingHost host(entries);
        CFormView_Client view(entries, host);
        view.reloadRows();
        SelectRows(view.list(), {0});
        QVERIFY(Button(&view, "editButton")->isEnabled());
        QVERIFY(Button(&view, "deleteButton")->isEnabled());
        QVERIFY(!Button(&view, "addIntoRouterButton")->isEnabled());
        QVERIFY(!Button(&view, "portsListButton")->isEnabled());

        host.found = true;
        view.onRoutersFound();
        QVERIFY(Button(&view, "portsListButton")->isEnabled());
        QVERIFY(Button(&view, "addIntoRouterButton")->isEnabled());

        view.onScanStarted();
        QVERIFY(!Button(&view, "portsListButton")->isEnabled());
        QVERIFY(!Button(&view, "addIntoRouterButton")->isEnabled());

        view.list()->clearSelection();
        QVERIFY(!Button(&view, "editButton")->isEnabled());
        QVERIFY(!Button(&view, "deleteButton")->isEnabled());
    }

    void addAppendsAnEntryAndRewritesTheConfig()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "80", "127.0.0.2", "Y")};
        FakeForwardingHost host(entries);
        CFormView_Client view(entries, host);
        view.reloadRows();
        ModalCatcher catcher;
        catcher.answer = FillDialog("web", "Both", "80,443-447,8080", "192.168.77.2");
        QTest::mouseClick(Button(&view, "addButton"), Qt::LeftButton);
        QCOMPARE(entries.size(), size_t{2});
        QCOMPARE(velmora::Field(entries[1].name), std::string_view("web"));
        QCOMPARE(velmora::Field(entries[1].protocol), std::string_view("Both"));
        QCOMPARE(velmora::Field(entries[1].listen_port), std::string_view("80,443-447,8080"));
        QCOMPARE(velmora::Field(entries[1].destination_ip), std::string_view("192.168.77.2"));
        QCOMPARE(velmora::Field(entries[1].type), std::string_view(""));
        QCOMPARE(view.list()->rowCount(), 2);
        QCOMPARE(view.list()->cell(1, 2), QString("80,443-447,8080"));
        QCOMPARE(host.saves, 1);
        auto saved = host.reload();
        QCOMPARE(saved.size(), size_t{2});
        QCOMPARE(velmora::Field(saved[1].name), std::string_view("web"));
        QCOMPARE(velmora::Field(saved[1].type), std::string_view(""));
        QCOMPARE(velmora::Field(saved[0].type), std::string_view("Y"));
    }

    void cancelledAddChangesNothing()
    {
        std::vector<ForwardingEntry> entries;
        FakeForwardingHost host(entries);
        CFormView_Client view(entries, host);
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            if (auto* d = qobject_cast<QDialog*>(modal))
                d->reject();
        };
        QTest::mouseClick(Button(&view, "addButton"), Qt::LeftButton);
        QVERIFY(entries.empty());
        QCOMPARE(host.saves, 0);
    }

    void editOpensTheFirstSelectedRowAndKeepsItsType()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "80", "127.0.0.2", "Y"),
                                             MakeEntry("b", "UDP", "81", "127.0.0.3", "N"),
                                             MakeEntry("c", "UDP", "82", "127.0.0.4", "N")};
        FakeForwardingHost host(entries);
        CFormView_Client view(entries, host);
        view.reloadRows();
        SelectRows(view.list(), {2, 1});
        QString shown;
        ModalCatcher catcher;
        catcher.answer = FillDialog("b2", "TCP", "9000-9010", "127.0.0.9", &shown);
        QTest::mouseClick(Button(&view, "editButton"), Qt::LeftButton);
        QCOMPARE(shown, QString("b"));
        QCOMPARE(velmora::Field(entries[1].name), std::string_view("b2"));
        QCOMPARE(velmora::Field(entries[1].protocol), std::string_view("TCP"));
        QCOMPARE(velmora::Field(entries[1].type), std::string_view("N"));
        QCOMPARE(velmora::Field(entries[2].name), std::string_view("c"));
        QCOMPARE(view.list()->cell(1, 0), QString("b2"));
        QCOMPARE(view.list()->cell(1, 3), QString("127.0.0.9"));
        QCOMPARE(host.saves, 1);
        QVERIFY(host.configText().find("name=\"b2\" protocol=\"TCP\" listen_port=\"9000-9010\"") !=
                std::string::npos);
    }

    void deleteRemovesOnlyTheFirstSelectedRow()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "80", "127.0.0.2"),
                                             MakeEntry("b", "UDP", "81", "127.0.0.3"),
                                             MakeEntry("c", "UDP", "82", "127.0.0.4")};
        FakeForwardingHost host(entries);
        CFormView_Client view(entries, host);
        view.reloadRows();
        SelectRows(view.list(), {2, 0});
        QTest::mouseClick(Button(&view, "deleteButton"), Qt::LeftButton);
        QCOMPARE(entries.size(), size_t{2});
        QCOMPARE(velmora::Field(entries[0].name), std::string_view("b"));
        QCOMPARE(velmora::Field(entries[1].name), std::string_view("c"));
        QCOMPARE(view.list()->rowCount(), 2);
        QCOMPARE(view.list()->cell(0, 0), QString("b"));
        QCOMPARE(host.saves, 1);
        QCOMPARE(host.reload().size(), size_t{2});

        SelectRows(view.list(), {1});
        QTest::mouseClick(Button(&view, "deleteButton"), Qt::LeftButton);
        QCOMPARE(host.saves, 2);
        auto saved = host.reload();
        QCOMPARE(saved.size(), size_t{1});
        QCOMPARE(velmora::Field(saved[0].name), std::string_view("b"));
    }

    void portsListWithAnAppleRouterShowsTheAppleMessage()
    {
        std::vector<ForwardingEntry> entries;
        FakeForwardingHost host(entries);
        host.found = true;
        host.router = std::make_shared<RouterEntry>();
        host.router->is_apple = true;
        CFormView_Client view(entries, host);
        view.onRoutersFound();
        ModalCatcher catcher;
        QTest::mouseClick(Button(&view, "portsListButton"), Qt::LeftButton);
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(catcher.seen()[0].title, QString("Velmora"));
        QCOMPARE(catcher.seen()[0].text,
                 QString("Apple router does not support view ports in router."));
    }

    void addIntoRouterReportsAFailureOnce()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "80,70000,0", "127.0.0.2"),
                                             MakeEntry("b", "UDP", "90-80", "127.0.0.2")};
        FakeForwardingHost host(entries);
        host.found = true;
        host.router = std::make_shared<RouterEntry>();
        CFormView_Client view(entries, host);
        auto gate = std::make_shared<GatedWriter::Gate>();
        gate->allowed = 100;
        std::vector<uint16_t> ports;
        view.setWriterFactory(
            [&](const RouterEntry&) { return std::make_unique<GatedWriter>(gate); });
        view.reloadRows();
        SelectRows(view.list(), {0, 1});
        ModalCatcher catcher;
        QTest::mouseClick(Button(&view, "addIntoRouterButton"), Qt::LeftButton);
        QVERIFY(WaitFor([&] { return !view.installing(); }));
        QVERIFY(WaitFor([&] { return catcher.seen().size() == 1; }));
        QTest::qWait(100);
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(catcher.seen()[0].text, QString("Failed to add port mapping into router!"));
        QCOMPARE(gate->written, 1); // only port 80: the rest is no port at all
    }

    void addIntoRouterWithEverythingKeptSaysNothing()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "Both", "80-82", "127.0.0.2")};
        FakeForwardingHost host(entries);
        host.found = true;
        host.router = std::make_shared<RouterEntry>();
        CFormView_Client view(entries, host);
        auto gate = std::make_shared<GatedWriter::Gate>();
        gate->allowed = 100;
        view.setWriterFactory(
            [&](const RouterEntry&) { return std::make_unique<GatedWriter>(gate); });
        view.reloadRows();
        SelectRows(view.list(), {0});
        ModalCatcher catcher;
        QTest::mouseClick(Button(&view, "addIntoRouterButton"), Qt::LeftButton);
        QVERIFY(WaitFor([&] { return !view.installing(); }));
        QTest::qWait(100);
        QVERIFY(catcher.seen().isEmpty());
        QCOMPARE(gate->written, 6);
        QVERIFY(Button(&view, "addIntoRouterButton")->isEnabled());
    }

    void aMappingTheRouterDidNotKeepIsAFailure()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("a", "TCP", "80", "127.0.0.2")};
        FakeForwardingHost host(entries);
        host.found = true;
        host.router = std::make_shared<RouterEntry>();
        CFormView_Client view(entries, host);
        auto gate = std::make_shared<GatedWriter::Gate>();
        gate->allowed = 100;
        gate->keep = false;
        view.setWriterFactory(
            [&](const RouterEntry&) { return std::make_unique<GatedWriter>(gate); });
        view.reloadRows();
        SelectRows(view.list(), {0});
        ModalCatcher catcher;
        QTest::mouseClick(Button(&view, "addIntoRouterButton"), Qt::LeftButton);
        QVERIFY(WaitFor([&] { return catcher.seen().size() == 1; }));
        QCOMPARE(catcher.seen()[0].text, QString("Failed to add port mapping into router!"));
    }

    void manyPortsShowAProgressDialogThatCancels()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("many", "TCP", "1000-1999", "127.0.0.2")};
        FakeForwardingHost host(entries);
        host.found = true;
        host.router = std::make_shared<RouterEntry>();
        auto view = std::make_unique<CFormView_Client>(entries, host);
        view->show();
        auto gate = std::make_shared<GatedWriter::Gate>();
        gate->allowed = 5;
        OpenGateAtExit openAtExit{gate};
        view->setWriterFactory(
            [&](const RouterEntry&) { return std::make_unique<GatedWriter>(gate); });
        view->reloadRows();
        SelectRows(view->list(), {0});
        QTest::mouseClick(Button(view.get(), "addIntoRouterButton"), Qt::LeftButton);
        // The window keeps running its event loop while the requests wait.
        QVERIFY(!Button(view.get(), "addIntoRouterButton")->isEnabled());
        QProgressDialog* progress = nullptr;
        QVERIFY(WaitFor([&] {
            progress = view->findChild<QProgressDialog*>("addIntoRouterProgress");
            return progress && progress->isVisible() && progress->value() >= 5;
        }));
        QCOMPARE(progress->maximum(), 2000);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        {
            std::lock_guard lock(gate->m);
            gate->allowed = 1000;
        }
        gate->cv.notify_all();
        QVERIFY(WaitFor([&] { return !view->installing(); }));
        QVERIFY(gate->written < 1000);
        QVERIFY(Button(view.get(), "addIntoRouterButton")->isEnabled());
    }

    void closingTheTabDuringARunEndsIt()
    {
        std::vector<ForwardingEntry> entries{MakeEntry("many", "TCP", "1000-1999", "127.0.0.2")};
        FakeForwardingHost host(entries);
        host.found = true;
        host.router = std::make_shared<RouterEntry>();
        auto view = std::make_unique<CFormView_Client>(entries, host);
        auto gate = std::make_shared<GatedWriter::Gate>();
        gate->allowed = 3;
        view->setWriterFactory(
            [&](const RouterEntry&) { return std::make_unique<GatedWriter>(gate); });
        view->reloadRows();
        SelectRows(view->list(), {0});
        QTest::mouseClick(Button(view.get(), "addIntoRouterButton"), Qt::LeftButton);
        QVERIFY(WaitFor([&] {
            std::lock_guard lock(gate->m);
            return gate->written == 3;
        }));
        // The request in flight finishes, then the thread sees the cancel.
        std::thread release([gate] {
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            std::lock_guard lock(gate->m);
            gate->allowed = 4;
            gate->cv.notify_all();
        });
        view.reset();
        release.join();
        QCOMPARE(gate->written, 4);
    }
};

QTEST_MAIN(FormViewClientTest)
#include "FormViewClientTest.moc"
