#include "app/ui/AppTexts.h"
#include "app/ui/COption.h"
#include "app/ui/CXTTrayIconEx.h"
#include "app/ui/CquaymarkDlg.h"
#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/RouterMonitor.h"
#include "platform/ui/ReportList.h"
#include "tests/support/ModalCatcher.h"
#include "tests/support/TempDir.h"
#include "triggering/ui/CFormView_Server.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <memory>

using velmora::test::ModalCatcher;
using velmora::test::TempDir;

namespace {

const char kConfig[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
    "<mappings auto_startup=\"0\" monitor_router=\"1\" >\r\n"
    "<triggerings>\r\n"
    "<trigger name=\"Game lobby\" auto_start=\"N\" protocol=\"TCP and UDP\" "
    "trigger_address=\"192.0.2.10\" trigger_port=\"6000\" trigger_port_end=\"5999\" "
    "frequence=\"1000\" >\r\n"
    "</trigger>\r\n"
    "</triggerings>\r\n"
    "<forwardings>\r\n"
    "<forwarding name=\"Web\" protocol=\"TCP\" listen_port=\"80,443-447\" "
    "destination_ip=\"192.168.77.2\" type=\"N\" >\r\n"
    "</forwarding>\r\n"
    "</forwardings>\r\n"
    "</mappings>\r\n";

QStringList Headings(velmora::ReportList* table)
{
    QStringList out;
    for (int i = 0; i < table->columnCount(); ++i)
        out << table->model()->headerData(i, Qt::Horizontal).toString();
    return out;
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TempDir> dir_;

    std::unique_ptr<CquaymarkDlg> makeWindow(bool tray = true,
                                             std::function<void(const QUrl&)> openUrl = {})
    {
        CquaymarkDlg::Options options;
        options.openUrl = std::move(openUrl);
        options.programDir = dir_->path();
        options.trayAvailable = tray;
        options.startRouterScan = false; // no network in these tests
        options.autostartExecutable = "/opt/velmora app/velmora";
        auto window = std::make_unique<CquaymarkDlg>(options);
        window->OnInitDialog();
        window->show();
        return window;
    }

private slots:
    void init()
    {
        dir_ = std::make_unique<TempDir>();
        std::filesystem::create_directory(dir_->path() + "log");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir_->path() + "xdg"));
    }
    void cleanup() { dir_.reset(); }

    void balloonsShowControlCharactersWrittenOut()
    {
        CXTTrayIconEx tray;
        QSignalSpy balloons(&tray, &CXTTrayIconEx::balloonRequested);
        tray.showBalloon("Velmora\n", "\"a\tb\" is gone.\nsecond\x1b[2J", 1000);
        QCOMPARE(balloons.at(0).at(0).toString(), QString("Velmora\\n"));
        QCOMPARE(balloons.at(0).at(1).toString(), QString("\"a\\tb\" is gone.\nsecond\\x1B[2J"));
    }

    void layoutAtStartUp()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        QCOMPARE(window->windowTitle(), QString("Velmora"));

        auto* tabs = window->findChild<QTabWidget*>("tabs");
        QVERIFY(tabs);
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QString("Port Triggering"));
        QCOMPARE(tabs->tabText(1), QString("Port Forwarding"));

        auto* triggering = window->findChild<velmora::ReportList*>("triggeringList");
        QCOMPARE(Headings(triggering),
                 QStringList({"Name", "Status", "Auto Start", "Protocol", "Trigger Address",
                              "Trigger Port(Start)", "Trigger Port(End)", "Frequence(ms)"}));
        QCOMPARE(triggering->rowCount(), 1);
        QCOMPARE(triggering->cell(0, 1), QString("stop"));
        QCOMPARE(triggering->cell(0, 3), QString("TCP and UDP"));
        auto* forwarding = window->findChild<velmora::ReportList*>("forwardingList");
        QCOMPARE(Headings(forwarding), QStringList({"Name", "Protocol", "Port", "Internal IP"}));
        QCOMPARE(forwarding->cell(0, 2), QString("80,443-447"));

        // The router row while the first scan runs.
        auto* label = window->findChild<QLabel*>();
        QVERIFY(label);
        QCOMPARE(label->text(), QString("Router: "));
        QCOMPARE(label->buddy(), window->findChild<QComboBox*>("routerBox"));
        QVERIFY(!window->findChild<QComboBox*>("routerBox")->isVisible());
        QVERIFY(!window->findChild<QPushButton*>("infoButton")->isVisible());
        QVERIFY(!window->findChild<QPushButton*>("rescanButton")->isVisible());
        QVERIFY(!window->findChild<QLabel*>("routerNameLabel")->isVisible());
        QVERIFY(window->findChild<QProgressBar*>("scanProgress")->isVisible());
        for (const char* name : {"aboutButton", "hideButton", "exitButton"})
            QVERIFY2(window->findChild<QPushButton*>(name)->isVisible(), name);
    }

    void theProgramsStartUpWaitsForTheFirstPaintAndAnExitBeforeItKeepsTheFile()
    {
        dir_->write("config.xml", kConfig);
        for (bool paintFirst : {true, false}) {
            CquaymarkDlg::Options options;
            options.programDir = dir_->path();
            options.startRouterScan = false;
            options.startAfterFirstPaint = true;
            CquaymarkDlg window(options);
            QVERIFY(window.OnInitDialog());
            QVERIFY(!window.started() && !window.trayIcon());
            QCOMPARE(window.findChild<velmora::ReportList*>("triggeringList")->rowCount(), 0);
            if (paintFirst) {
                window.show();
                QVERIFY(QTest::qWaitFor([&] { return window.started(); }, 5000));
                QCOMPARE(window.findChild<velmora::ReportList*>("triggeringList")->rowCount(), 1);
                QVERIFY(window.trayIcon());
            } else {
                window.ExitOnSignal(); // before config.xml was read: it stays as it is
                QCOMPARE(QString::fromStdString(dir_->read("config.xml")), QString(kConfig));
                QTest::qWait(50);
                QVERIFY(!window.started());
            }
        }
    }

    void progressBarMovesWhileNoRouterIsKnown()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        auto* bar = window->progressBar();
        int first = bar->value();
        QVERIFY(velmora::test::WaitFor([&] { return bar->value() != first; }, 2000));
    }

    void toolMenuAndCommands()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        auto* tool = window->findChild<QToolButton*>("toolButton");
        QVERIFY(tool && tool->menu());
        QStringList texts;
        for (QAction* action : tool->menu()->actions())
            texts << (action->isSeparator() ? QString("-") : action->text());
        QCOMPARE(texts,
                 QStringList({"Fetch Port Forwarding Entry in Router", "Port Forwarding Tester",
                              "View IP", "View Often Used Ports", "-", "Option"}));
        for (const char* id :
             {"command32784", "command32781", "command32780", "command32777", "command32778"})
            QVERIFY2(tool->menu()->findChild<QAction*>(id), id);
    }

    void portTesterOpensThePageAndRouterManagementWithoutRouterIsEmpty()
    {
        dir_->write("config.xml", kConfig);
        QList<QUrl> opened;
        auto window = makeWindow(true, [&](const QUrl& url) { opened << url; });
        auto* menu = window->findChild<QToolButton*>("toolButton")->menu();
        menu->findChild<QAction*>("command32781")->trigger();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.front().path(), QString("/port_tester.pl"));
        QCOMPARE(opened.front().host(), QUrl(velmora::texts::kHomePage).host());

        // No router is known (no scan in these tests): an empty list and no
        // message; Delete does nothing; Test opens the page; Close ends it.
        ModalCatcher catcher;
        int rows = -1;
        catcher.answer = [&](QWidget* modal) {
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (!dialog || dialog->objectName() != "CRouter_Management") {
                if (dialog)
                    dialog->reject();
                return;
            }
            QCOMPARE(dialog->windowTitle(), QString("Router Management"));
            auto* list = dialog->findChild<velmora::ReportList*>("mappingList");
            rows = list->rowCount();
            QCOMPARE(Headings(list), QStringList({"Name", "Protocol", "Port", "Internal IP"}));
            dialog->findChild<QPushButton*>("deleteButton")->click();
            dialog->findChild<QPushButton*>("testButton")->click();
            dialog->findChild<QPushButton*>("closeButton")->click();
        };
        menu->findChild<QAction*>("command32784")->trigger();
        QCOMPARE(rows, 0);
        QCOMPARE(catcher.texts(), QStringList({""}));
        QCOMPARE(opened.size(), 2);
    }

    void missingConfigSaysSoOnceAndStartsEmpty()
    {
        ModalCatcher catcher;
        auto window = makeWindow();
        QCOMPARE(catcher.texts(), QStringList({"invalid config file!"}));
        QCOMPARE(catcher.seen().front().title, QString("ERROR!"));
        QCOMPARE(window->settings().auto_startup[0], '\0');
        QCOMPARE(window->settings().monitor_router[0], '\0');
        QVERIFY(window->triggerings().empty());
    }

    void escapeSavesTheConfigAndExits()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        std::filesystem::remove(dir_->file("config.xml"));
        QSignalSpy exits(window.get(), &CquaymarkDlg::exitRequested);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QCOMPARE(exits.count(), 1);
        QCOMPARE(QString::fromStdString(dir_->read("config.xml")), QString(kConfig));
        QVERIFY(!window->isVisible());
    }

    void exitWithNoConfigWritesEmptySettings()
    {
        ModalCatcher catcher;
        auto window = makeWindow();
        window->findChild<QPushButton*>("exitButton")->click();
        std::string text = dir_->read("config.xml");
        QVERIFY(text.find("<mappings auto_startup=\"\" monitor_router=\"\" >\r\n") !=
                std::string::npos);
    }

    void enterDoesNothing()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        std::filesystem::remove(dir_->file("config.xml"));
        QSignalSpy exits(window.get(), &CquaymarkDlg::exitRequested);
        window->findChild<QPushButton*>("hideButton")->setFocus();
        QTest::keyClick(window.get(), Qt::Key_Return);
        QTest::keyClick(window.get(), Qt::Key_Enter);
        QCOMPARE(exits.count(), 0);
        QVERIFY(window->isVisible());
        QVERIFY(!std::filesystem::exists(dir_->file("config.xml")));
    }

    void closeHidesToTheTrayAndSavesNothing()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow(/*tray=*/true);
        std::filesystem::remove(dir_->file("config.xml"));
        window->close();
        QVERIFY(!window->isVisible());
        QVERIFY(!std::filesystem::exists(dir_->file("config.xml")));
        emit window->trayIcon()->openRequested(); // double click or "&Open Velmora"
        QVERIFY(window->isVisible());
        QCOMPARE(window->trayIcon()->menu()->defaultAction()->text(), QString("&Open Velmora"));
        QCOMPARE(window->trayIcon()->menu()->actions().first()->text(), QString("&Exit"));
    }

    void trayClicksThatOpenTheWindow()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow(/*tray=*/true);
        auto* icon = window->trayIcon()->findChild<QSystemTrayIcon*>();
        QVERIFY(icon);
        QVERIFY(!icon->icon().isNull());
        QVERIFY(icon->icon().availableSizes().contains(QSize(16, 16)));
        QVERIFY(icon->icon().availableSizes().contains(QSize(22, 22)));
        struct
        {
            QSystemTrayIcon::ActivationReason reason;
            bool opens;
        } cases[] = {
            {QSystemTrayIcon::Trigger, true}, // the only click a StatusNotifierItem tray reports
            {QSystemTrayIcon::DoubleClick, true},
            {QSystemTrayIcon::Context, false}, // the menu
            {QSystemTrayIcon::MiddleClick, false},
        };
        for (const auto& c : cases) {
            window->hide();
            emit icon->activated(c.reason);
            QCOMPARE(window->isVisible(), c.opens);
        }
    }

    void withoutATrayHideMinimises()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow(/*tray=*/false);
        window->findChild<QPushButton*>("hideButton")->click();
        QVERIFY(window->isVisible());
        QVERIFY(window->isMinimized());
    }

    void trayExitSaves()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        std::filesystem::remove(dir_->file("config.xml"));
        QSignalSpy exits(window.get(), &CquaymarkDlg::exitRequested);
        window->trayIcon()->exitAction()->trigger();
        QCOMPARE(exits.count(), 1);
        QVERIFY(std::filesystem::exists(dir_->file("config.xml")));
    }

    void optionWritesAndRemovesTheAutostartEntry()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        const std::string entry = dir_->path() + "xdg/autostart/velmora.desktop";

        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            auto* option = qobject_cast<COption*>(modal);
            QVERIFY(option);
            QVERIFY(!option->findChild<QCheckBox*>("autostartCheck")->isChecked());
            QVERIFY(option->findChild<QCheckBox*>("monitorCheck")->isVisible());
            QVERIFY(option->findChild<QCheckBox*>("monitorCheck")->isChecked());
            option->findChild<QCheckBox*>("autostartCheck")->setChecked(true);
            option->accept();
        };
        window->OnOption();
        QCOMPARE(QByteArray(window->settings().auto_startup), QByteArray("1"));
        QCOMPARE(QByteArray(window->settings().monitor_router), QByteArray("1"));
        QVERIFY(dir_->read("xdg/autostart/velmora.desktop")
                    .find("Exec=\"/opt/velmora app/velmora\"\n") != std::string::npos);

        catcher.answer = [](QWidget* modal) {
            auto* option = qobject_cast<COption*>(modal);
            QVERIFY(option->findChild<QCheckBox*>("autostartCheck")->isChecked());
            option->findChild<QCheckBox*>("autostartCheck")->setChecked(false);
            option->accept();
        };
        window->OnOption();
        QCOMPARE(QByteArray(window->settings().auto_startup), QByteArray("0"));
        QVERIFY(!std::filesystem::exists(entry));

        catcher.answer = [](QWidget* modal) {
            auto* option = qobject_cast<COption*>(modal);
            option->findChild<QCheckBox*>("autostartCheck")->setChecked(true);
            option->reject();
        };
        window->OnOption();
        QCOMPARE(QByteArray(window->settings().auto_startup), QByteArray("0"));
        QVERIFY(!std::filesystem::exists(entry));
    }

    void optionReportsAutostartFailuresAndKeepsTheSettingTrue()
    {
        struct Case
        {
            const char* what;
            bool check;          // the box as the user leaves it
            const char* message; // start of the message shown
            const char* reason;  // part of the message naming the reason
            const char* setting; // auto_startup afterwards
        };
        const Case cases[] = {
            {"config folder is a file", true, "Could not write ", "Not a directory", "0"},
            {"no HOME", true, "Could not write ~/.config/autostart/velmora.desktop",
             "neither XDG_CONFIG_HOME nor HOME", "0"},
            {"own path unknown", true, "Could not write ", "own path is unknown", "0"},
            {"entry cannot be removed", false, "Could not remove ", "Is a directory", "1"},
        };
        for (const Case& c : cases) {
            dir_->write("config.xml", kConfig);
            const QByteArray home = qgetenv("HOME");
            const std::string xdg = dir_->path() + "xdg";
            std::filesystem::remove_all(xdg);
            CquaymarkDlg::Options options;
            options.programDir = dir_->path();
            options.startRouterScan = false;
            options.autostartExecutable = "/opt/velmora/velmora";
            if (std::string(c.what) == "config folder is a file") {
                dir_->write("xdg", "not a folder");
            } else if (std::string(c.what) == "no HOME") {
                qunsetenv("XDG_CONFIG_HOME");
                qunsetenv("HOME");
            } else if (std::string(c.what) == "own path unknown") {
                options.autostartExecutable = "velmora";
            } else {
                // Something the user put where the entry goes: it cannot be unlinked.
                std::filesystem::create_directories(xdg + "/autostart/velmora.desktop/x");
            }
            CquaymarkDlg window(options);
            window.OnInitDialog();
            std::filesystem::remove(dir_->file("config.xml"));
            ModalCatcher catcher;
            catcher.answer = [&](QWidget* modal) {
                if (auto* option = qobject_cast<COption*>(modal)) {
                    option->findChild<QCheckBox*>("autostartCheck")->setChecked(c.check);
                    option->accept();
                } else {
                    static_cast<QDialog*>(modal)->accept();
                }
            };
            window.OnOption();
            qputenv("HOME", home);
            qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(xdg));
            QCOMPARE(catcher.seen().size(), 2);
            const QString message = catcher.seen()[1].text;
            QVERIFY2(message.startsWith(c.message), qPrintable(c.what + (": " + message)));
            QVERIFY2(message.contains(c.reason), qPrintable(message));
            QCOMPARE(QByteArray(window.settings().auto_startup), QByteArray(c.setting));
            // The setting as it really is reaches config.xml at once.
            QVERIFY(
                dir_->read("config.xml").find(std::string("auto_startup=\"") + c.setting + "\"") !=
                std::string::npos);
            std::filesystem::remove_all(xdg);
        }
    }

    void triggeringChangesReachTheFileAtOnce()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        std::filesystem::remove(dir_->file("config.xml"));
        ModalCatcher catcher;
        catcher.answer = [](QWidget* modal) {
            modal->findChild<QLineEdit*>("nameEdit")->setText("Voice");
            modal->findChild<QLineEdit*>("startPortEdit")->setText("7000");
            modal->findChild<QLineEdit*>("frequencyEdit")->setText("500");
            static_cast<QDialog*>(modal)->accept();
        };
        window->serverView()->addEntry();
        QVERIFY(dir_->read("config.xml").find("<trigger name=\"Voice\" ") != std::string::npos);

        std::filesystem::remove(dir_->file("config.xml"));
        window->serverView()->list()->selectRow(0);
        window->serverView()->deleteEntry();
        const std::string text = dir_->read("config.xml");
        QVERIFY(text.find("Game lobby") == std::string::npos);
        QVERIFY(text.find("<trigger name=\"Voice\" ") != std::string::npos);
    }

    void exitLetsGoOfTheInstanceBeforeSavingAndSavesBeforeEnding()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        std::filesystem::remove(dir_->file("config.xml"));
        QStringList steps;
        connect(window.get(), &CquaymarkDlg::exitStarting, this, [&] {
            steps << (std::filesystem::exists(dir_->file("config.xml")) ? "saved" : "starting");
        });
        connect(window.get(), &CquaymarkDlg::exitRequested, this, [&] {
            steps << (std::filesystem::exists(dir_->file("config.xml")) ? "saved" : "lost");
        });
        window->ExitOnSignal();
        window->SaveConfigAndExit(); // a second request changes nothing
        QCOMPARE(steps, (QStringList{"starting", "saved"}));
        QVERIFY(!window->isVisible());
        QVERIFY(window->exiting());
    }

    // The monitor follows the setting read at start-up and every OK in Option.
    void optionSwitchesTheMonitor()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        velmora::RouterMonitor* monitor = window->clientView()->monitor();
        QVERIFY(monitor->enabled());
        ModalCatcher catcher;
        QString name;
        catcher.answer = [&name](QWidget* modal) {
            auto* box = modal->findChild<QCheckBox*>("monitorCheck");
            name = box->accessibleName();
            box->setChecked(false);
            qobject_cast<COption*>(modal)->accept();
        };
        window->OnOption();
        QCOMPARE(name, QString("Monitor port forwarding entry change in router"));
        QCOMPARE(QByteArray(window->settings().monitor_router), QByteArray("0"));
        QVERIFY(!monitor->enabled());
        catcher.answer = [](QWidget* modal) {
            modal->findChild<QCheckBox*>("monitorCheck")->setChecked(true);
            qobject_cast<COption*>(modal)->reject();
        };
        window->OnOption();
        QVERIFY(!monitor->enabled());
    }

    void aboutShowsTheVersion()
    {
        dir_->write("config.xml", kConfig);
        auto window = makeWindow();
        ModalCatcher catcher;
        QString version;
        catcher.answer = [&](QWidget* modal) {
            version = modal->findChild<QLabel*>("versionLabel")->text();
            static_cast<QDialog*>(modal)->accept();
        };
        window->findChild<QPushButton*>("aboutButton")->click();
        QCOMPARE(catcher.seen().front().title, QString("About"));
        QCOMPARE(version, QString("Version 2.6.0 Build on 14-1-2016"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
