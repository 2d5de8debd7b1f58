#include "app/ui/CquaymarkDlg.h"
#include "catalogue/ui/CAdd_Often_Port.h"
#include "catalogue/ui/COften_used_ports.h"
#include "catalogue/ui/CSearch_Ports.h"
#include "catalogue/ui/CatalogueReport.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "platform/NetworkInterfaces.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

using velmora::test::ModalCatcher;
using velmora::test::TempDir;

namespace {

const char kConfig[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                       "<mappings auto_startup=\"0\" monitor_router=\"1\" >\r\n"
                       "<triggerings>\r\n"
                       "</triggerings>\r\n"
                       "<forwardings>\r\n"
                       "<forwarding name=\"Web\" protocol=\"TCP\" listen_port=\"80\" "
                       "destination_ip=\"127.0.0.2\" type=\"N\" >\r\n"
                       "</forwarding>\r\n"
                       "</forwardings>\r\n"
                       "</mappings>\r\n";

const char kCatalogue[] = "Apache|80,443|\n"
                          "ftp daemon|21|\n"
                          "Web|80,443|80,443\n"
                          "\n"
                          "Secure FTP Server|22|\n"
                          "aMule|4662|4665,4672\n"
                          "Console|3074|88,500\n";

QStringList Column(QTableWidget* table, int column)
{
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row)
        out << table->item(row, column)->text();
    return out;
}

void Fill(QWidget* dialog, const char* name, const QString& text)
{
    dialog->findChild<QLineEdit*>(name)->setText(text);
}

// What an "Add Port Forwarding" dialog opened with.
struct Shown
{
    QString name, protocol, ports, internalIp;
    bool operator==(const Shown&) const = default;
};
char* toString(const Shown& s)
{
    return QTest::toString(QStringList{s.name, s.protocol, s.ports, s.internalIp}.join(" / "));
}

} // namespace

class OftenUsedPortsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempDir> dir_;
    std::unique_ptr<CquaymarkDlg> main_;

    // The main window, then its tool menu's "View Often Used Ports".
    COften_used_ports* open()
    {
        if (!main_) {
            CquaymarkDlg::Options options;
            options.programDir = dir_->path();
            options.trayAvailable = false;
            options.startRouterScan = false; // no network in these tests
            main_ = std::make_unique<CquaymarkDlg>(options);
            main_->OnInitDialog();
            main_->show();
        }
        const auto before = main_->findChildren<COften_used_ports*>();
        main_->findChild<QAction*>("command32777")->trigger();
        for (auto* window : main_->findChildren<COften_used_ports*>()) {
            if (!before.contains(window))
                return window;
        }
        return nullptr;
    }
    std::string catalogue() const { return dir_->read("ports_list.txt"); }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDir>();
        std::filesystem::create_directory(dir_->path() + "log");
        dir_->write("config.xml", kConfig);
    }
    void cleanup()
    {
        main_.reset();
        dir_.reset();
    }

    void opensFromTheToolMenuOneWindowEachTime()
    {
        QVERIFY(!std::filesystem::exists(dir_->file("ports_list.txt")));
        QPointer<COften_used_ports> first = open();
        QPointer<COften_used_ports> second = open();
        QVERIFY(first && second && first != second);
        QVERIFY(first->isVisible() && second->isVisible() && !first->isModal());
        QCOMPARE(first->windowTitle(), QString("Often Used Ports"));
        QVERIFY(std::filesystem::exists(dir_->file("ports_list.txt")));
        QCOMPARE(catalogue(), std::string());
        QCOMPARE(first->report()->rowCount(), 0);

        auto* report = first->report();
        QStringList headings;
        for (int i = 0; i < report->columnCount(); ++i)
            headings << report->horizontalHeaderItem(i)->text();
        QCOMPARE(headings, QStringList({"Application Name", "TCP Ports", "UDP Ports"}));
        QStringList filters;
        auto* box = first->filterBox();
        for (int i = 0; i < box->count(); ++i)
            filters << box->itemText(i);
        QStringList expected{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "ALL"};
        for (char c = 'B'; c <= 'Z'; ++c)
            expected << QString(QChar(c));
        QCOMPARE(filters, expected);
        QCOMPARE(box->currentText(), QString("ALL"));
        for (const char* button : {"searchButton", "addButton", "forwardButton", "cancelButton"})
            QVERIFY2(first->findChild<QPushButton*>(button)->isVisible(), button);

        first->findChild<QPushButton*>("cancelButton")->click();
        QTRY_VERIFY(first.isNull());
        QVERIFY(second && second->isVisible());
    }

    void filterReadsTheFileAgain()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* report = window->report();
        QCOMPARE(Column(report, 0), QStringList({"Apache", "ftp daemon", "Web", "\n",
                                                 "Secure FTP Server", "aMule", "Console"}));
        QCOMPARE(report->item(0, 2)->text(),
                 QString("\n")); // the line end stays with the last piece
        dir_->write("ports_list.txt", std::string(kCatalogue) + "Avahi| |5353\n");
        window->filterBox()->setCurrentText("A");
        QCOMPARE(Column(report, 0), QStringList({"Apache", "aMule", "Avahi"}));
        QCOMPARE(Column(report, 1), QStringList({"80,443", "4662", " "}));
        window->filterBox()->setCurrentText("7");
        QCOMPARE(report->rowCount(), 0);

        // Headings sort, regardless of case; the next read keeps the sorting.
        window->filterBox()->setCurrentText("ALL");
        report->horizontalHeader()->sectionClicked(0);
        QCOMPARE(report->item(0, 0)->text(), QString("\n"));
        report->horizontalHeader()->sectionClicked(0);
        QCOMPARE(report->item(0, 0)->text(), QString("Web"));
        window->filterBox()->setCurrentText("A");
        QCOMPARE(Column(report, 0), QStringList({"Avahi", "Apache", "aMule"}));
    }

    void searchFocusesTheLastMatchOrSaysNotFound()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* report = window->report();
        report->horizontalHeader()->sectionClicked(0); // rows sorted, records in file order

        struct Case
        {
            QString typed;
            QString focused;      // name of the focused row afterwards, empty: none
            QStringList messages; // boxes shown besides the dialog
        } cases[] = {
            {"ftp", "Secure FTP Server", {}},
            {"AMU", "aMule", {}},
            {"nothing like it", "aMule", {"nothing like it not found!"}},
            {"", "aMule", {"invalid application name, please reenter again!"}},
        };
        for (const auto& c : cases) {
            ModalCatcher catcher;
            int dialogs = 0;
            catcher.answer = [&](QWidget* modal) {
                if (auto* search = qobject_cast<CSearch_Ports*>(modal)) {
                    QCOMPARE(search->windowTitle(), QString("Search Application"));
                    if (dialogs++ > 0)
                        return search->reject(); // back after the empty-name message
                    Fill(search, "nameEdit", c.typed);
                    // Later, so that a message box it opens is answered too.
                    QTimer::singleShot(0, search, &QDialog::accept);
                } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    box->accept();
                }
            };
            window->findChild<QPushButton*>("searchButton")->click();
            QStringList messages = catcher.texts();
            messages.removeAll(QString()); // the dialog itself
            QCOMPARE(messages, c.messages);
            QCOMPARE(report->item(report->currentRow(), 0)->text(), c.focused);
        }
    }

    void addShowsTheNewRowWhateverTheFilter()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        window->filterBox()->setCurrentText("B");
        QCOMPARE(window->report()->rowCount(), 0);
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            auto* add = qobject_cast<CAdd_Often_Port*>(modal);
            if (!add)
                return;
            QCOMPARE(add->windowTitle(), QString("Add Often Used Ports"));
            Fill(add, "nameEdit", QString::fromUtf8("Zürich Café 日本"));
            Fill(add, "tcpEdit", "");
            Fill(add, "udpEdit", "9000");
            add->accept();
        };
        window->findChild<QPushButton*>("addButton")->click();
        QCOMPARE(window->report()->rowCount(), 1);
        QCOMPARE(window->report()->item(0, 0)->text(), QString::fromUtf8("Zürich Café 日本"));
        QCOMPARE(window->report()->item(0, 2)->text(), QString("9000"));
        QCOMPARE(catalogue(), std::string(kCatalogue) + "Zürich Café 日本| |9000\n");

        // Read back by another window, unchanged.
        auto* other = open();
        QCOMPARE(other->report()->item(other->report()->rowCount() - 1, 0)->text(),
                 QString::fromUtf8("Zürich Café 日本"));
    }

    void addRefusesWhatWouldBreakTheLine()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        struct Case
        {
            QString name, tcp, udp, message;
        } cases[] = {
            {"", "80", "", "invalid application name, please reenter again!"},
            {"a|b", "80", "",
             "Application Name cannot hold \"|\" or a line end, please reenter again!"},
            {"Web", "80|81", "",
             "TCP Ports cannot hold \"|\" or a line end, please reenter again!"},
            {"Web", "80", "53\n54",
             "UDP Ports cannot hold \"|\" or a line end, please reenter again!"},
            {"Web", "80", QString(400, '1'), "UDP Ports is too long, please reenter again!"},
        };
        for (const auto& c : cases) {
            ModalCatcher catcher;
            bool stayedOpen = false;
            int dialogs = 0;
            catcher.answer = [&](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    QCOMPARE(box->windowTitle(), QString("ERROR!"));
                    QCOMPARE(box->icon(), QMessageBox::Critical);
                    return box->accept();
                }
                auto* add = qobject_cast<CAdd_Often_Port*>(modal);
                if (!add)
                    return;
                if (dialogs++ > 0) {
                    stayedOpen = add->isVisible() &&
                                 add->findChild<QLineEdit*>("nameEdit")->text() == c.name;
                    return add->reject();
                }
                Fill(add, "nameEdit", c.name);
                Fill(add, "tcpEdit", c.tcp);
                Fill(add, "udpEdit", c.udp);
                QTimer::singleShot(0, add, &QDialog::accept);
            };
            window->findChild<QPushButton*>("addButton")->click();
            QVERIFY2(catcher.texts().contains(c.message), qPrintable(c.message));
            QVERIFY(stayedOpen);
        }
        QCOMPARE(catalogue(), std::string(kCatalogue));
        QCOMPARE(window->report()->rowCount(), 7);
    }

    void addEditsAreLimitedSoTheLineFits()
    {
        dir_->write("ports_list.txt", "");
        auto* window = open();
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            auto* add = qobject_cast<CAdd_Often_Port*>(modal);
            if (!add)
                return;
            const std::pair<const char*, int> limits[] = {
                {"nameEdit", 255}, {"tcpEdit", 382}, {"udpEdit", 383}};
            for (const auto& [name, limit] : limits) {
                auto* edit = add->findChild<QLineEdit*>(name);
                edit->setFocus();
                QTest::keyClicks(edit, QString(limit + 5, '7'));
                QCOMPARE(edit->text().size(), limit);
            }
            add->accept();
        };
        window->findChild<QPushButton*>("addButton")->click();
        QCOMPARE(catalogue().size(), size_t(1023));
        window->filterBox()->setCurrentText("7");
        QCOMPARE(window->report()->rowCount(), 1);
    }

    void forwardFillsTheEntryDialogAndOkAddsTheEntry()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* report = window->report();
        auto* forward = window->findChild<QPushButton*>("forwardButton");
        const QString proposed = QString::fromStdString(velmora::DefaultRouteInterfaceAddress());

        struct Case
        {
            QString row;
            QList<Shown> dialogs;
        } cases[] = {
            {"Web", {{"Web (2)", "Both", "80,443", proposed}}},
            {"Secure FTP Server", {{"Secure FTP Server", "TCP", "22", proposed}}},
            {"Console",
             {{"Console TCP", "TCP", "3074", proposed},
              {"Console UDP", "UDP", "88,500", proposed}}},
        };
        size_t expectedEntries = 1;
        for (const auto& c : cases) {
            report->setCurrentCell(Column(report, 0).indexOf(c.row), 0);
            QList<Shown> shown;
            ModalCatcher catcher;
            catcher.answer = [&](QWidget* modal) {
                auto* dialog = qobject_cast<CRouter_Add_Port*>(modal);
                if (!dialog)
                    return;
                auto text = [&](const char* name) {
                    return dialog->findChild<QLineEdit*>(name)->text();
                };
                shown.append({text("nameEdit"),
                              dialog->findChild<QComboBox*>("protocolBox")->currentText(),
                              text("portEdit"), text("internalIpEdit")});
                Fill(dialog, "internalIpEdit", "127.0.0.3"); // the lab-free address
                dialog->accept();
            };
            forward->click();
            QCOMPARE(shown, c.dialogs);
            expectedEntries += size_t(c.dialogs.size());
            QCOMPARE(main_->forwardings().size(), expectedEntries);
        }

        const auto& entries = main_->forwardings();
        QCOMPARE(velmora::Field(entries[1].name), std::string_view("Web (2)"));
        QCOMPARE(velmora::Field(entries[1].protocol), std::string_view("Both"));
        QCOMPARE(velmora::Field(entries[1].listen_port), std::string_view("80,443"));
        QCOMPARE(velmora::Field(entries[1].destination_ip), std::string_view("127.0.0.3"));
        auto* tab = main_->findChild<QTableWidget*>("forwardingList");
        QCOMPARE(tab->rowCount(), 5);
        QCOMPARE(tab->item(4, 0)->text(), QString("Console UDP"));
        const std::string config = dir_->read("config.xml");
        for (const char* line :
             {"<forwarding name=\"Web (2)\" protocol=\"Both\" listen_port=\"80,443\" "
              "destination_ip=\"127.0.0.3\"",
              "<forwarding name=\"Console UDP\" protocol=\"UDP\" listen_port=\"88,500\""})
            QVERIFY2(config.find(line) != std::string::npos, line);
    }

    void forwardCancelSavesNothingAndNoFocusedRowDoesNothing()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* forward = window->findChild<QPushButton*>("forwardButton");
        std::filesystem::remove(dir_->file("config.xml"));
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        };
        QCOMPARE(window->report()->currentRow(), -1);
        forward->click();
        QTest::qWait(100);
        QVERIFY(catcher.seen().isEmpty());

        window->report()->setCurrentCell(0, 0);
        forward->click();
        QCOMPARE(catcher.seen().size(), 1);
        QCOMPARE(main_->forwardings().size(), size_t(1));
        QVERIFY(!std::filesystem::exists(dir_->file("config.xml")));
    }
};

QTEST_MAIN(OftenUsedPortsTest)
#include "OftenUsedPortsTest.moc"
