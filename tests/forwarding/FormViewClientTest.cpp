#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "forwarding/ui/RouterInstallTask.h"
#include "forwarding/ui/RouterMonitor.h"
#include "tests/forwarding/FakeForwardingHost.h"
#include "tests/support/ModalCatcher.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <condition_variable>

using velmora::Field;
using velmora::test::FakeForwardingHost;
using velmora::test::MakeEntry;
using velmora::test::ModalCatcher;
using velmora::test::SelectRows;
using velmora::test::WaitFor;

namespace {

// A router stand-in whose requests wait until the test lets them through.
struct Gate
{
    std::mutex m;
    std::condition_variable cv;
    int allowed = 1 << 30;
    int written = 0;
    bool keep = true;

    void allow(int count)
    {
        {
            std::lock_guard lock(m);
            allowed = count;
        }
        cv.notify_all();
    }
    int writtenSoFar()
    {
        std::lock_guard lock(m);
        return written;
    }
};

class GatedWriter final : public velmora::MappingWriter
{
public:
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

// The tab over `entries` in a host with config.xml in a temp folder; with a
// router, "Add into Router" writes through a gate.
struct Tab
{
    explicit Tab(std::vector<ForwardingEntry> list, bool withRouter = false)
        : entries(std::move(list)), host(entries)
    {
        if (withRouter) {
            host.found = true;
            host.router = std::make_shared<RouterEntry>();
        }
        view = std::make_unique<CFormView_Client>(entries, host);
        view->setWriterFactory(
            [g = gate](const RouterEntry&) { return std::make_unique<GatedWriter>(g); });
        view->reloadRows();
    }
    // Lets every waiting request through, passed or not, so that the view's
    // destructor can join its worker.
    ~Tab()
    {
        gate->allow(1 << 30);
        view.reset();
    }
    QPushButton* button(const char* name) { return view->findChild<QPushButton*>(name); }
    // Whether the run's writer is gone (its thread has ended) and the view,
    // when there is one, no longer holds the factory: then only the test holds the gate.
    bool runEnded()
    {
        return WaitFor([&] { return gate.use_count() == (view ? 2 : 1); });
    }
    void select(std::initializer_list<int> rows) { SelectRows(view->list(), rows); }

    std::vector<ForwardingEntry> entries;
    FakeForwardingHost host;
    std::shared_ptr<Gate> gate = std::make_shared<Gate>();
    std::unique_ptr<CFormView_Client> view;
};

// Answers the entry dialog with the given texts and presses OK.
std::function<void(QWidget*)> FillDialog(QString name, QString protocol, QString ports, QString ip,
                                         QString* shownName = nullptr)
{
    return [=](QWidget* modal) {
        auto* dialog = qobject_cast<CRouter_Add_Port*>(modal);
        if (!dialog)
            return;
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

} // namespace

class FormViewClientTest : public QObject
{
    Q_OBJECT
private slots:
    void layoutAndButtonStates()
    {
        Tab tab({MakeEntry("a", "TCP", "80", "127.0.0.2")});
        tab.view->show();
        auto* list = tab.view->list();
        const QStringList headings{"Name", "Protocol", "Port", "Internal IP"};
        QCOMPARE(list->columnCount(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(list->horizontalHeaderItem(i)->text(), headings[i]);
        QVERIFY(tab.button("addButton")->isEnabled());
        for (const char* name : {"editButton", "deleteButton", "addIntoRouterButton",
                                 "portsListButton", "portCheckButton"})
            QVERIFY2(!tab.button(name)->isEnabled(), name);
        QVERIFY(!tab.button("portCheckButton")->isVisible());

        // Add into Router needs a selection and a router; a new scan takes it away.
        tab.select({0});
        QVERIFY(tab.button("editButton")->isEnabled());
        QVERIFY(tab.button("deleteButton")->isEnabled());
        QVERIFY(!tab.button("addIntoRouterButton")->isEnabled());
        tab.host.found = true;
        tab.view->onRoutersFound();
        QVERIFY(tab.button("portsListButton")->isEnabled());
        QVERIFY(tab.button("addIntoRouterButton")->isEnabled());
        tab.view->onScanStarted();
        QVERIFY(!tab.button("portsListButton")->isEnabled());
        QVERIFY(!tab.button("addIntoRouterButton")->isEnabled());
        tab.view->list()->clearSelection();
        QVERIFY(!tab.button("editButton")->isEnabled());
        QVERIFY(!tab.button("deleteButton")->isEnabled());
    }

    void addAppendsAnEntryAndRewritesTheConfig()
    {
        Tab tab({MakeEntry("a", "TCP", "80", "127.0.0.2", "Y")});
        {
            ModalCatcher catcher;
            catcher.answer = [](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); };
            QTest::mouseClick(tab.button("addButton"), Qt::LeftButton);
        }
        QCOMPARE(tab.entries.size(), size_t{1});
        QCOMPARE(tab.host.saves, 0);

        ModalCatcher catcher;
        catcher.answer = FillDialog("web", "Both", "80,443-447,8080", "192.168.77.2");
        QTest::mouseClick(tab.button("addButton"), Qt::LeftButton);
        QCOMPARE(tab.entries.size(), size_t{2});
        const auto& added = tab.entries[1];
        QCOMPARE(Field(added.name), std::string_view("web"));
        QCOMPARE(Field(added.protocol), std::string_view("Both"));
        QCOMPARE(Field(added.listen_port), std::string_view("80,443-447,8080"));
        QCOMPARE(Field(added.destination_ip), std::string_view("192.168.77.2"));
        QCOMPARE(Field(added.type), std::string_view("N"));
        QCOMPARE(tab.view->list()->cell(1, 2), QString("80,443-447,8080"));
        QCOMPARE(tab.host.saves, 1);
        auto saved = tab.host.reload();
        QCOMPARE(saved.size(), size_t{2});
        QCOMPARE(Field(saved[1].name), std::string_view("web"));
        QCOMPARE(Field(saved[1].type), std::string_view("N"));
        QCOMPARE(Field(saved[0].type), std::string_view("Y"));
    }

    // The auto-add box goes to `type` on Add and on Edit; an entry read with
    // an empty `type` keeps it until it is edited.
    void autoAddIsKeptInType()
    {
        Tab tab({MakeEntry("old", "TCP", "80", "127.0.0.2"),
                 MakeEntry("other", "TCP", "81", "127.0.0.2")});
        auto answer = [](bool check, QString name, bool* shownChecked = nullptr) {
            return [=](QWidget* modal) {
                auto* box = modal->findChild<QCheckBox*>("autoAddBox");
                if (!box)
                    return;
                if (shownChecked)
                    *shownChecked = box->isChecked();
                box->setChecked(check);
                FillDialog(name, "TCP", "90", "127.0.0.2")(modal);
            };
        };
        struct Step
        {
            bool check;
            const char* name;
            const char* type;
        };
        for (const Step& step : {Step{true, "yes", "Y"}, Step{false, "no", "N"}}) {
            ModalCatcher catcher;
            catcher.answer = answer(step.check, step.name);
            QTest::mouseClick(tab.button("addButton"), Qt::LeftButton);
            QCOMPARE(Field(tab.entries.back().name), std::string_view(step.name));
            QCOMPARE(Field(tab.entries.back().type), std::string_view(step.type));
        }
        QCOMPARE(tab.view->list()->columnCount(), 4);
        auto saved = tab.host.reload();
        QCOMPARE(saved.size(), size_t{4});
        QCOMPARE(Field(saved[0].type), std::string_view(""));
        QCOMPARE(Field(saved[1].type), std::string_view(""));
        QCOMPARE(Field(saved[2].type), std::string_view("Y"));
        QCOMPARE(Field(saved[3].type), std::string_view("N"));

        struct Edit
        {
            int row;
            bool check;
            bool shown;
            const char* type;
        };
        for (const Edit& edit : {Edit{0, true, false, "Y"}, Edit{2, false, true, "N"}}) {
            bool shown = !edit.shown;
            tab.select({edit.row});
            ModalCatcher catcher;
            catcher.answer = answer(
                edit.check, QString::fromUtf8(Field(tab.entries[size_t(edit.row)].name)), &shown);
            QTest::mouseClick(tab.button("editButton"), Qt::LeftButton);
            QCOMPARE(shown, edit.shown);
            QCOMPARE(Field(tab.entries[size_t(edit.row)].type), std::string_view(edit.type));
        }
        saved = tab.host.reload();
        QCOMPARE(Field(saved[0].type), std::string_view("Y"));
        QCOMPARE(Field(saved[1].type), std::string_view("")); // never edited
        QCOMPARE(Field(saved[2].type), std::string_view("N"));
    }

    // With two rows selected, Edit opens the first and Delete removes the first.
    void editAndDeleteActOnTheFirstSelectedRow()
    {
        Tab tab({MakeEntry("a", "TCP", "80", "127.0.0.2", "Y"),
                 MakeEntry("b", "UDP", "81", "127.0.0.3", "N"),
                 MakeEntry("c", "UDP", "82", "127.0.0.4", "N")});
        tab.select({2, 1});
        QString shown;
        {
            ModalCatcher catcher;
            catcher.answer = FillDialog("b2", "TCP", "9000-9010", "127.0.0.9", &shown);
            QTest::mouseClick(tab.button("editButton"), Qt::LeftButton);
        }
        QCOMPARE(shown, QString("b"));
        QCOMPARE(Field(tab.entries[1].name), std::string_view("b2"));
        QCOMPARE(Field(tab.entries[1].protocol), std::string_view("TCP"));
        QCOMPARE(Field(tab.entries[1].type), std::string_view("N"));
        QCOMPARE(Field(tab.entries[2].name), std::string_view("c"));
        QCOMPARE(tab.view->list()->cell(1, 0), QString("b2"));
        QCOMPARE(tab.view->list()->cell(1, 3), QString("127.0.0.9"));
        QCOMPARE(tab.host.saves, 1);
        QVERIFY(tab.host.configText().find(
                    "name=\"b2\" protocol=\"TCP\" listen_port=\"9000-9010\"") != std::string::npos);

        tab.select({2, 0});
        QTest::mouseClick(tab.button("deleteButton"), Qt::LeftButton);
        QCOMPARE(tab.entries.size(), size_t{2});
        QCOMPARE(Field(tab.entries[0].name), std::string_view("b2"));
        QCOMPARE(Field(tab.entries[1].name), std::string_view("c"));
        QCOMPARE(tab.view->list()->rowCount(), 2);
        QCOMPARE(tab.view->list()->cell(0, 0), QString("b2"));
        QCOMPARE(tab.host.saves, 2);
        QCOMPARE(tab.host.reload().size(), size_t{2});

        tab.select({1});
        QTest::mouseClick(tab.button("deleteButton"), Qt::LeftButton);
        QCOMPARE(tab.host.saves, 3);
        auto saved = tab.host.reload();
        QCOMPARE(saved.size(), size_t{1});
        QCOMPARE(Field(saved[0].name), std::string_view("b2"));
    }

    void portsListWithAnAppleRouterShowsTheAppleMessage()
    {
        Tab tab({}, true);
        tab.host.router->is_apple = true;
        tab.view->onRoutersFound();
        ModalCatcher catcher;
        QTest::mouseClick(tab.button("portsListButton"), Qt::LeftButton);
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(catcher.seen()[0].title, QString("Velmora"));
        QCOMPARE(catcher.seen()[0].text,
                 QString("Apple router does not support view ports in router."));
    }

    // Any failure is reported once; ports outside 1-65535 and reversed ranges
    // are never sent; a mapping the router did not keep is a failure.
    void addIntoRouterOutcomes()
    {
        const QStringList failed{"Failed to add port mapping into router!"};
        struct Case
        {
            const char* what;
            std::vector<ForwardingEntry> entries;
            bool keep;
            int written;
            QStringList messages;
        } cases[] = {
            {"bad ports",
             {MakeEntry("a", "TCP", "80,70000,0", "127.0.0.2"),
              MakeEntry("b", "UDP", "90-80", "127.0.0.2")},
             true,
             1,
             failed},
            {"all kept", {MakeEntry("a", "Both", "80-82", "127.0.0.2")}, true, 6, {}},
            {"not kept", {MakeEntry("a", "TCP", "80", "127.0.0.2")}, false, 1, failed},
        };
        for (auto& c : cases) {
            Tab tab(c.entries, true);
            tab.gate->keep = c.keep;
            if (c.entries.size() > 1)
                tab.select({0, 1});
            else
                tab.select({0});
            ModalCatcher catcher;
            QTest::mouseClick(tab.button("addIntoRouterButton"), Qt::LeftButton);
            QVERIFY2(WaitFor([&] { return !tab.view->installing(); }), c.what);
            WaitFor([&] { return catcher.seen().size() == c.messages.size(); });
            QVERIFY2(tab.runEnded(), c.what);
            QCoreApplication::processEvents(); // a second message would show now
            QVERIFY2(catcher.texts() == c.messages, c.what);
            QVERIFY2(tab.gate->writtenSoFar() == c.written, c.what);
            QVERIFY2(tab.button("addIntoRouterButton")->isEnabled(), c.what);
        }
    }

    void manyPortsShowAProgressDialogThatCancels()
    {
        Tab tab({MakeEntry("many", "TCP", "1000-1999", "127.0.0.2")}, true);
        tab.view->show();
        tab.gate->allow(5);
        tab.select({0});
        QTest::mouseClick(tab.button("addIntoRouterButton"), Qt::LeftButton);
        // The window keeps running its event loop while the requests wait.
        QVERIFY(!tab.button("addIntoRouterButton")->isEnabled());
        QProgressDialog* progress = nullptr;
        QVERIFY(WaitFor([&] {
            progress = tab.view->findChild<QProgressDialog*>("addIntoRouterProgress");
            return progress && progress->isVisible() && progress->value() >= 5;
        }));
        QCOMPARE(progress->maximum(), 2000);
        QStringList logged;
        connect(tab.view.get(), &CFormView_Client::activity, this,
                [&](const QStringList& lines) { logged << lines; });
        // Cancel closes it at once, while the request in flight still waits,
        // and the end of that request does not bring it back.
        const QPointer<QProgressDialog> shown(progress);
        bool backUp = false;
        connect(tab.view->findChild<velmora::RouterInstallTask*>(),
                &velmora::RouterInstallTask::progressed, this,
                [&] { backUp |= shown && shown->isVisible(); });
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(!shown || !shown->isVisible());
        QVERIFY(tab.view->installing());
        // With the gate open, only the request in flight may still be written.
        tab.gate->allow(1 << 30);
        QVERIFY(WaitFor([&] { return !tab.view->installing(); }));
        QVERIFY(tab.runEnded());
        QVERIFY(!backUp);
        QVERIFY2(tab.gate->writtenSoFar() <= 6, // nothing after the request in flight
                 qPrintable(QString::number(tab.gate->writtenSoFar())));
        QVERIFY(tab.button("addIntoRouterButton")->isEnabled());
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged[0].startsWith("Add into Router was cancelled: the router took "));
    }

    // A run of more than 1,000 mappings is asked about first, with its size.
    void aHugeRunAsksFirst()
    {
        for (auto answer : {QMessageBox::No, QMessageBox::Yes}) {
            Tab tab({MakeEntry("range", "UDP", "1-1001", "127.0.0.2")}, true);
            tab.gate->allow(0);
            tab.select({0});
            ModalCatcher catcher;
            catcher.answer = [answer](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    box->button(answer)->click();
            };
            QTest::mouseClick(tab.button("addIntoRouterButton"), Qt::LeftButton);
            QVERIFY(catcher.messageTexts().value(0).startsWith("This adds 1001 port mappings"));
            QCOMPARE(tab.view->installing(), answer == QMessageBox::Yes);
        }
    }

    // A mapping the user deleted from the router is no longer watched.
    void aMappingDeletedByTheUserLeavesTheWatch()
    {
        Tab tab({MakeEntry("game", "Both", "3074", "127.0.0.2", "Y")});
        QCOMPARE(tab.view->monitor()->mappings().size(), size_t{2});
        tab.view->mappingDeletedByUser("TCP", 3074);
        QCOMPARE(tab.view->monitor()->mappings().size(), size_t{1});
        QCOMPARE(tab.view->monitor()->mappings()[0].request.protocol, std::string("UDP"));
    }

    void closingTheTabDuringARunEndsIt()
    {
        Tab tab({MakeEntry("many", "TCP", "1000-1999", "127.0.0.2")}, true);
        tab.gate->allow(3);
        tab.select({0});
        QTest::mouseClick(tab.button("addIntoRouterButton"), Qt::LeftButton);
        QVERIFY(WaitFor([&] { return tab.gate->writtenSoFar() == 3; }));
        // The request in flight finishes, then the thread sees the cancel; the
        // gate no longer holds anything back.
        tab.view.reset();
        tab.gate->allow(1 << 30);
        QVERIFY(tab.runEnded());
        QCOMPARE(tab.gate->writtenSoFar(), 4);
    }
};

QTEST_MAIN(FormViewClientTest)
#include "FormViewClientTest.moc"
