#include "app/ui/CquaymarkDlg.h"
#include "catalogue/ui/CAdd_Often_Port.h"
#include "catalogue/ui/COften_used_ports.h"
#include "catalogue/ui/CSearch_Ports.h"
#include "catalogue/ui/CatalogueReport.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "platform/DebugTrace.h"
#include "tests/support/IsolatedNetwork.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/TempDir.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

using velmora::test::ModalCatcher;
using velmora::test::TempDir;

namespace {

const char kConfig[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                       "<mappings auto_startup=\"0\" monitor_router=\"1\" >\r\n"
                       "<triggerings>\r\n</triggerings>\r\n<forwardings>\r\n"
                       "<forwarding name=\"Web\" protocol=\"TCP\" listen_port=\"80\" "
                       "destination_ip=\"127.0.0.2\" type=\"N\" >\r\n</forwarding>\r\n"
                       "</forwardings>\r\n</mappings>\r\n";

const char kCatalogue[] = "Apache|80,443|\nftp daemon|21|\nWeb|80,443|80,443\n\n"
                          "Secure FTP Server|22|\naMule|4662|4665,4672\nConsole|3074|88,500\n";

QStringList Column(QTableWidget* table, int column)
{
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row)
        out << table->item(row, column)->text();
    return out;
}

QString Text(QWidget* dialog, const char* edit)
{
    return dialog->findChild<QLineEdit*>(edit)->text();
}

void Fill(QWidget* dialog, std::initializer_list<std::pair<const char*, QString>> edits)
{
    for (const auto& [name, text] : edits)
        dialog->findChild<QLineEdit*>(name)->setText(text);
}

// Presses OK once the catcher has returned, so that a message box OK opens is caught too.
void OkLater(QDialog* dialog)
{
    QTimer::singleShot(0, dialog, &QDialog::accept);
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
    void click(QWidget* window, const char* button)
    {
        window->findChild<QPushButton*>(button)->click();
    }

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
        QPointer<COften_used_ports> first = open();
        QPointer<COften_used_ports> second = open();
        QVERIFY(first && second && first != second);
        QVERIFY(first->isVisible() && second->isVisible() && !first->isModal());
        QCOMPARE(first->windowTitle(), QString("Often Used Ports"));
        QCOMPARE(catalogue(), std::string()); // created empty
        QCOMPARE(first->report()->rowCount(), 0);
        QStringList headings;
        for (int i = 0; i < 3; ++i)
            headings << first->report()->horizontalHeaderItem(i)->text();
        QCOMPARE(headings, QStringList({"Application Name", "TCP Ports", "UDP Ports"}));

        QStringList filters, expected{"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "A", "ALL"};
        for (char c = 'B'; c <= 'Z'; ++c)
            expected << QString(QChar(c));
        for (int i = 0; i < first->filterBox()->count(); ++i)
            filters << first->filterBox()->itemText(i);
        QCOMPARE(filters, expected);
        QCOMPARE(first->filterBox()->currentText(), QString("ALL"));

        click(first, "cancelButton");
        QTRY_VERIFY(first.isNull()); // the window deletes itself
        QVERIFY(second && second->isVisible());
    }

    void filterReadsTheFileAgainAndHeadingsSort()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* report = window->report();
        QCOMPARE(Column(report, 0), QStringList({"Apache", "ftp daemon", "Web", "\n",
                                                 "Secure FTP Server", "aMule", "Console"}));
        QCOMPARE(report->item(0, 2)->text(), QString("\n")); // the last piece keeps its line end
        dir_->write("ports_list.txt", std::string(kCatalogue) + "Avahi| |5353\n");
        window->filterBox()->setCurrentText("A");
        QCOMPARE(Column(report, 0), QStringList({"Apache", "aMule", "Avahi"}));
        QCOMPARE(Column(report, 1), QStringList({"80,443", "4662", " "}));
        window->filterBox()->setCurrentText("7");
        QCOMPARE(report->rowCount(), 0);

        // A heading sorts regardless of case, again the other way; a new read keeps it.
        report->horizontalHeader()->sectionClicked(0);
        report->horizontalHeader()->sectionClicked(0);
        window->filterBox()->setCurrentText("A");
        QCOMPARE(Column(report, 0), QStringList({"Avahi", "Apache", "aMule"}));
    }

    void searchFocusesTheLastMatchInRecordOrder()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* report = window->report();
        report->horizontalHeader()->sectionClicked(0); // rows sorted, records in file order
        const struct
        {
            QString typed, focused, message;
        } cases[] = {
            {"ftp", "Secure FTP Server", {}},
            {"AMU", "aMule", {}},
            {"nothing like it", "aMule", "nothing like it not found!"},
            {"", "aMule", "invalid application name, please reenter again!"},
        };
        for (const auto& c : cases) {
            ModalCatcher catcher;
            int shown = 0;
            catcher.answer = [&](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal))
                    return box->accept();
                auto* search = qobject_cast<CSearch_Ports*>(modal);
                QVERIFY(search);
                QCOMPARE(search->windowTitle(), QString("Search Application"));
                if (shown++ > 0)
                    return search->reject(); // back after the empty-name message
                Fill(search, {{"nameEdit", c.typed}});
                OkLater(search);
            };
            click(window, "searchButton");
            QStringList messages = catcher.texts();
            messages.removeAll(QString()); // the dialog
            QCOMPARE(messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
            QCOMPARE(report->item(report->currentRow(), 0)->text(), c.focused);
        }
    }

    void addShowsTheNewRowWhateverTheFilter()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        window->filterBox()->setCurrentText("B");
        const QString name = QString::fromUtf8("Zürich Café 日本");
        ModalCatcher catcher;
        catcher.answer = [&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QString("Add Often Used Ports"));
            Fill(modal, {{"nameEdit", name}, {"tcpEdit", ""}, {"udpEdit", "9000"}});
            OkLater(qobject_cast<QDialog*>(modal));
        };
        click(window, "addButton");
        QTRY_COMPARE(Column(window->report(), 0), QStringList{name});
        QCOMPARE(Column(window->report(), 2), QStringList{"9000"});
        QCOMPARE(catalogue(), std::string(kCatalogue) + "Zürich Café 日本| |9000\n");
        auto* other = open(); // read back unchanged
        QCOMPARE(Column(other->report(), 0).last(), name);
    }

    // A row that could not be saved is not shown as if it were: the user is told why.
    void addSaysWhyTheFileCannotBeWrittenAndShowsNoRow()
    {
        std::filesystem::create_directory(dir_->file("ports_list.txt")); // cannot be opened
        QStringList traces;
        velmora::SetDebugTraceSink(
            [&](const std::string& line) { traces << QString::fromStdString(line); });
        auto* window = open();
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            if (qobject_cast<QMessageBox*>(modal))
                return qobject_cast<QMessageBox*>(modal)->accept();
            Fill(modal, {{"nameEdit", "Web"}, {"tcpEdit", "80"}});
            OkLater(qobject_cast<QDialog*>(modal));
        };
        click(window, "addButton");
        QTRY_COMPARE(catcher.messageTexts(),
                     QStringList("The application could not be added to " +
                                 QString::fromStdString(dir_->file("ports_list.txt")) +
                                 ": Is a directory."));
        QCOMPARE(window->report()->rowCount(), 0);
        velmora::SetDebugTraceSink({});
        QCOMPARE(traces, QStringList(2, "open idx errno is 21\n"));
    }

    // The report draws the vertical grid lines only.
    void theReportHasVerticalGridLinesOnly()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* report = open()->report();
        QTest::qWait(50);
        const QImage image = report->viewport()->grab().toImage();
        QStyleOptionViewItem option;
        option.initFrom(report);
        const QColor grid = QColor::fromRgba(static_cast<QRgb>(
            report->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, report)));
        const int rowEnd = report->rowViewportPosition(1) - 1; // below Apache, no UDP ports
        const int columnEnd = report->columnViewportPosition(1) - 1;
        QCOMPARE(image.pixelColor(columnEnd, rowEnd + 5), grid);
        QVERIFY(image.pixelColor(report->columnViewportPosition(2) + 20, rowEnd) != grid);
    }

    void addRefusesWhatWouldBreakTheLine()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        const QString breaks = "%1 cannot hold \"|\" or a line end, please reenter again!";
        const struct
        {
            QString name, tcp, udp, message;
        } cases[] = {
            {"", "80", "", "invalid application name, please reenter again!"},
            {"a|b", "80", "", breaks.arg("Application Name")},
            {"Web", "80|81", "", breaks.arg("TCP Ports")},
            {"Web", "80", "53\n54", breaks.arg("UDP Ports")},
            {"Web", "80", QString(400, '1'), "UDP Ports is too long, please reenter again!"},
        };
        for (const auto& c : cases) {
            ModalCatcher catcher;
            bool stayedOpen = false;
            int shown = 0;
            catcher.answer = [&](QWidget* modal) {
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    QCOMPARE(box->windowTitle(), QString("ERROR!"));
                    QCOMPARE(box->icon(), QMessageBox::Critical);
                    return box->accept();
                }
                auto* add = qobject_cast<CAdd_Often_Port*>(modal);
                if (shown++ > 0) {
                    stayedOpen = add->isVisible() && Text(add, "nameEdit") == c.name;
                    return add->reject();
                }
                Fill(add, {{"nameEdit", c.name}, {"tcpEdit", c.tcp}, {"udpEdit", c.udp}});
                OkLater(add);
            };
            click(window, "addButton");
            QVERIFY2(catcher.texts().contains(c.message), qPrintable(c.message));
            QVERIFY(stayedOpen);
        }
        QCOMPARE(catalogue(), std::string(kCatalogue));

        // Typing stops where the longest line still fits the reader's 1023 characters.
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            for (auto [edit, limit] :
                 {std::pair{"nameEdit", 255}, {"tcpEdit", 382}, {"udpEdit", 383}}) {
                QTest::keyClicks(modal->findChild<QLineEdit*>(edit), QString(limit + 5, '7'));
                QCOMPARE(Text(modal, edit).size(), limit);
            }
            OkLater(qobject_cast<QDialog*>(modal));
        };
        click(window, "addButton");
        QTRY_COMPARE(catalogue().size(), sizeof kCatalogue - 1 + 1023);
        window->filterBox()->setCurrentText("7");
        QCOMPARE(window->report()->rowCount(), 1);
    }

    void forwardFillsTheEntryDialogAndOkAddsTheEntry()
    {
        dir_->write("ports_list.txt", kCatalogue);
        auto* window = open();
        auto* report = window->report();
        // The address of the interface that carries the default route.
        const QString ip = velmora::test::kIsolatedAddress;
        const auto shown = [&](const char* name, const char* protocol, const char* ports) {
            return QStringList{name, protocol, ports, ip}.join(" / ");
        };
        QStringList seen;
        bool ok = true;
        ModalCatcher catcher;
        catcher.answer = [&](QWidget* modal) {
            auto* dialog = qobject_cast<CRouter_Add_Port*>(modal);
            QVERIFY(dialog);
            seen << QStringList{Text(dialog, "nameEdit"),
                                dialog->findChild<QComboBox*>("protocolBox")->currentText(),
                                Text(dialog, "portEdit"), Text(dialog, "internalIpEdit")}
                        .join(" / ");
            Fill(dialog, {{"internalIpEdit", "127.0.0.3"}});
            ok ? dialog->accept() : dialog->reject();
        };

        click(window, "forwardButton"); // no selected row
        QTest::qWait(100);
        QVERIFY(seen.isEmpty());

        const struct
        {
            QString row;
            QStringList dialogs;
        } cases[] = {
            {"Web", {shown("Web (2)", "Both", "80,443")}},
            {"Secure FTP Server", {shown("Secure FTP Server", "TCP", "22")}},
            {"Console",
             {shown("Console TCP", "TCP", "3074"), shown("Console UDP", "UDP", "88,500")}},
        };
        for (const auto& c : cases) {
            seen.clear();
            // Selected as a screen reader does: the current cell stays where it was.
            report->setCurrentCell(-1, -1);
            report->selectionModel()->select(
                report->model()->index(Column(report, 0).indexOf(c.row), 0),
                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            click(window, "forwardButton");
            QCOMPARE(seen, c.dialogs);
        }
        const auto& entries = main_->forwardings();
        QCOMPARE(entries.size(), size_t(5));
        QCOMPARE(velmora::Field(entries[1].protocol), std::string_view("Both"));
        QCOMPARE(velmora::Field(entries[1].destination_ip), std::string_view("127.0.0.3"));
        QCOMPARE(
            Column(main_->findChild<QTableWidget*>("forwardingList"), 0),
            QStringList({"Web", "Web (2)", "Secure FTP Server", "Console TCP", "Console UDP"}));
        const std::string config = dir_->read("config.xml");
        for (const char* line : {"<forwarding name=\"Web (2)\" protocol=\"Both\" "
                                 "listen_port=\"80,443\" destination_ip=\"127.0.0.3\"",
                                 "<forwarding name=\"Console UDP\" protocol=\"UDP\" "
                                 "listen_port=\"88,500\""})
            QVERIFY2(config.find(line) != std::string::npos, line);

        // Cancel saves nothing.
        std::filesystem::remove(dir_->file("config.xml"));
        ok = false;
        click(window, "forwardButton");
        QCOMPARE(entries.size(), size_t(5));
        QVERIFY(!std::filesystem::exists(dir_->file("config.xml")));
    }
};

int main(int argc, char** argv)
{
    // Known interfaces and routes, so that the proposed internal address is known.
    if (!velmora::test::EnterIsolatedNetwork())
        return velmora::test::kSkipExitCode;
    QApplication app(argc, argv);
    OftenUsedPortsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "OftenUsedPortsTest.moc"
