// Walks every window and dialog of the program and fails on an interactive
// control without an accessible name, a control the keyboard cannot reach,
// a tab order that jumps back up the window, or a text cut short. Run in a
// language of its own (LANG), it also fails on a text still in English. A new
// dialog joins the walk with one row in Windows().

#include "app/ui/CAboutDlg.h"
#include "app/ui/COption.h"
#include "app/ui/CquaymarkDlg.h"
#include "app/ui/Translations.h"
#include "catalogue/ui/CAdd_Often_Port.h"
#include "catalogue/ui/COften_used_ports.h"
#include "catalogue/ui/CSearch_Ports.h"
#include "forwarding/core/MonitorFindings.h"
#include "forwarding/core/PinholePlan.h"
#include "forwarding/core/PortCheck.h"
#include "forwarding/core/PortList.h"
#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "forwarding/ui/CRouter_Management.h"
#include "forwarding/ui/Ports_List.h"
#include "platform/Version.h"
#include "platform/ui/Words.h"
#include "router/core/ProblemTexts.h"
#include "router/core/RouterInfoReport.h"
#include "router/ui/Error.h"
#include "tests/app/LanguageChecks.h"
#include "tests/support/IsolatedNetwork.h"
#include "tests/support/TempDir.h"
#include "triggering/ui/CAddPort.h"
#include "triggering/ui/CStart.h"
#include "upnp/core/ExternalAddressLookup.h"
#include "upnp/ui/CView_IP.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>

using velmora::test::TempDir;

namespace {

using Factory = std::function<std::unique_ptr<QWidget>(const TempDir&)>;

// The catalogue of the language the walk runs in; empty in English.
velmora::test::Catalogue g_catalogue;

struct Window
{
    const char* name;
    Factory make;
};

const char kConfig[] = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
                       "<mappings auto_startup=\"0\" monitor_router=\"0\" >\r\n"
                       "<triggerings>\r\n<trigger name=\"T1\" auto_start=\"N\" "
                       "protocol=\"TCP and UDP\" trigger_address=\"11.22.33.100\" "
                       "trigger_port=\"6000\" trigger_port_end=\"6002\" frequence=\"1000\" >"
                       "\r\n</trigger>\r\n</triggerings>\r\n"
                       "<forwardings>\r\n<forwarding name=\"F1\" protocol=\"Both\" "
                       "listen_port=\"80,443\" destination_ip=\"192.168.77.2\" type=\"N\" >"
                       "\r\n</forwarding>\r\n</forwardings>\r\n"
                       "</mappings>\r\n";

// A router whose control point nobody answers on loopback.
velmora::RouterEntryPtr SilentRouter()
{
    auto router = std::make_shared<RouterEntry>();
    router->urls.controlURL = strdup("http://127.0.0.1:9/ctl");
    std::strncpy(router->data.first.servicetype, "urn:schemas-upnp-org:service:WANIPConnection:1",
                 sizeof router->data.first.servicetype - 1);
    return router;
}

// A box with the core's reports and messages as the window words them.
std::unique_ptr<QWidget> CoreMessages()
{
    velmora::RouterInfoValues info;
    info.bitRates = velmora::RouterInfoValues::BitRates{12500000, 1500};
    velmora::PortCheckFindings check;
    check.target = {"F1", "TCP", 80, "192.168.77.2"};
    check.mappingCode = 714;
    check.externalCode = 0;
    check.externalAddress = "100.64.0.1";
    velmora::MonitorFindings findings;
    findings.add(velmora::MonitorFindings::Kind::Gone, {80, "TCP", "192.168.77.2", "F1"});
    findings.add(velmora::MonitorFindings::Kind::Gone, {80, "UDP", "192.168.77.2", "F1"});
    velmora::MessageList all = velmora::RouterInfoReportText(info);
    for (const auto& more : {velmora::PortCheckReport(check), findings.report().balloon})
        all.insert(all.end(), more.begin(), more.end());
    all.push_back(*velmora::ExternalAddressStepMessage(velmora::ExternalAddressStep::NoRouter));
    all.push_back(velmora::BadRangeMessage("90-80"));
    velmora::InstallResult pinholes; // and why a request failed, within a line of its own
    pinholes.pinholesRequested = 1;
    pinholes.pinholeAddress = "2001:db8::2";
    pinholes.pinholeProblem =
        velmora::Message(velmora::problem_texts::kGatewaySentOther,
                         {velmora::Message(velmora::problem_texts::kOtherNonce)});
    all.push_back(velmora::AutoAddPinholeLine(pinholes));
    return std::make_unique<QMessageBox>(QMessageBox::Warning, velmora::kProductName,
                                         velmora::Words(all), QMessageBox::Ok);
}

const std::vector<TriggeringEntry> kNoTriggerings;
const std::vector<ForwardingEntry> kNoForwardings;

// Every window and dialog of the program, built as the program builds it.
std::vector<Window> Windows()
{
    return {
        {"main window",
         [](const TempDir& dir) -> std::unique_ptr<QWidget> {
             dir.write("config.xml", kConfig);
             CquaymarkDlg::Options options;
             options.programDir = dir.path();
             options.startRouterScan = false; // no network here
             auto window = std::make_unique<CquaymarkDlg>(options);
             window->OnInitDialog();
             return window;
         }},
        {"About", [](const TempDir&) { return std::make_unique<velmora::CAboutDlg>(); }},
        {"Option", [](const TempDir&) { return std::make_unique<COption>(1, 0); }},
        {"router not found", [](const TempDir&) { return std::make_unique<Error>(); }},
        {"reports and messages", [](const TempDir&) { return CoreMessages(); }},
        {"Operating", [](const TempDir&) { return std::make_unique<CStart>(60000); }},
        {"Add Port Triggering",
         [](const TempDir&) { return std::make_unique<CAddPort>(kNoTriggerings, nullptr); }},
        {"Add Port Forwarding",
         [](const TempDir&) {
             return std::make_unique<CRouter_Add_Port>(kNoForwardings, nullptr);
         }},
        {"Ports list in router",
         [](const TempDir&) { return std::make_unique<Ports_List>(SilentRouter()); }},
        {"Port Check", [](const TempDir&) { return std::make_unique<velmora::CPort_Check>(); }},
        {"Often Used Ports",
         [](const TempDir& dir) {
             dir.write("ports_list.txt", "Web server|80,443| \n");
             return std::make_unique<COften_used_ports>(dir.file("ports_list.txt"));
         }},
        {"Search Application", [](const TempDir&) { return std::make_unique<CSearch_Ports>(); }},
        {"Add Often Used Ports",
         [](const TempDir&) { return std::make_unique<CAdd_Often_Port>(); }},
        {"Router Management",
         [](const TempDir&) {
             return std::make_unique<CRouter_Management>(false, nullptr, [] {});
         }},
        {"View IP", [](const TempDir&) { return std::make_unique<CView_IP>(); }},
    };
}

// Qt's own parts of composite controls (a combo box's line edit, scroll bars,
// a tab widget's bar, a spin box's editor, a table's corner button) are named
// through their owner.
bool IsInnerPart(const QWidget* widget)
{
    if (widget->objectName().startsWith("qt_"))
        return true;
    if (qobject_cast<const QScrollBar*>(widget) || qobject_cast<const QHeaderView*>(widget))
        return true;
    for (QWidget* up = widget->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<QComboBox*>(up) || qobject_cast<QAbstractSpinBox*>(up) ||
            qobject_cast<QTabBar*>(up) || qobject_cast<QAbstractItemView*>(up))
            return true;
    return false;
}

bool IsInteractive(const QWidget* widget)
{
    if (IsInnerPart(widget))
        return false;
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->textInteractionFlags() & Qt::LinksAccessibleByMouse;
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
           qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QAbstractItemView*>(widget) || qobject_cast<const QSlider*>(widget) ||
           qobject_cast<const QTextEdit*>(widget) || qobject_cast<const QPlainTextEdit*>(widget);
}

QString Describe(const QWidget* widget)
{
    return QString("%1 \"%2\"").arg(widget->metaObject()->className(), widget->objectName());
}

QString AccessibleName(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

QList<QWidget*> Controls(QWidget* window)
{
    QList<QWidget*> out;
    for (QWidget* widget : window->findChildren<QWidget*>())
        if (IsInteractive(widget))
            out << widget;
    return out;
}

// Controls the user can reach now, in the order Tab visits them.
QList<QWidget*> TabChain(QWidget* window)
{
    QList<QWidget*> chain;
    QWidget* widget = window;
    for (int guard = 0; guard < 1000; ++guard) {
        widget = widget->nextInFocusChain();
        if (widget == window)
            break;
        if (IsInteractive(widget) && widget->isVisibleTo(window) && widget->isEnabled() &&
            (widget->focusPolicy() & Qt::TabFocus))
            chain << widget;
    }
    return chain;
}

QRect Place(QWidget* widget, QWidget* window)
{
    return QRect(widget->mapTo(window, QPoint(0, 0)), widget->size());
}

// Tab goes through a window as one reads it: down the rows, and left to right
// within a row. A control may be followed by one that starts higher only when
// the two share a row (they overlap vertically) and the next lies to the right.
QStringList OrderFaults(QWidget* window)
{
    QStringList faults;
    QList<QWidget*> chain = TabChain(window);
    for (int i = 1; i < chain.size(); ++i) {
        QRect before = Place(chain[i - 1], window);
        QRect next = Place(chain[i], window);
        bool sameRow = next.top() < before.bottom() && before.top() < next.bottom();
        bool backwards = sameRow ? next.left() < before.left() : next.top() < before.top();
        if (backwards)
            faults << QString("%1 after %2").arg(Describe(chain[i]), Describe(chain[i - 1]));
    }
    return faults;
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void walk_data()
    {
        QTest::addColumn<int>("index");
        int index = 0;
        for (const Window& window : Windows())
            QTest::newRow(window.name) << index++;
    }

    void walk()
    {
        QFETCH(int, index);
        const std::vector<Window> windows = Windows();
        const Window& entry = windows[static_cast<size_t>(index)];
        TempDir dir;
        std::filesystem::create_directory(dir.path() + "log");
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(dir.path() + "xdg"));
        std::unique_ptr<QWidget> window = entry.make(dir);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(!window->windowTitle().isEmpty());

        QStringList faults;
        for (QWidget* control : Controls(window.get())) {
            if (AccessibleName(control).isEmpty())
                faults << "no accessible name: " + Describe(control);
            if (!(control->focusPolicy() & Qt::TabFocus) && !qobject_cast<QLabel*>(control))
                faults << "not reachable by Tab: " + Describe(control);
        }
        for (QTabBar* bar : window->findChildren<QTabBar*>())
            for (int tab = 0; tab < bar->count(); ++tab)
                if (bar->tabText(tab).remove('&').trimmed().isEmpty())
                    faults << QString("tab %1 has no text").arg(tab);
        for (QMenu* menu : window->findChildren<QMenu*>())
            for (QAction* action : menu->actions())
                if (!action->isSeparator() && action->text().remove('&').trimmed().isEmpty())
                    faults << "menu entry without text in " + menu->objectName();

        // The order of every page of every tab widget.
        QList<QTabWidget*> tabWidgets = window->findChildren<QTabWidget*>();
        faults << OrderFaults(window.get()) << velmora::test::ClippedTexts(window.get());
        for (QTabWidget* tabs : tabWidgets)
            for (int page = 1; page < tabs->count(); ++page) {
                tabs->setCurrentIndex(page);
                faults << OrderFaults(window.get()) << velmora::test::ClippedTexts(window.get());
            }
        if (!g_catalogue.englishOnlyWords.isEmpty()) // and the language's catalogue sound
            faults << velmora::test::EnglishTexts(window.get(), g_catalogue) << g_catalogue.faults;
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join("\n")));
    }
};

int main(int argc, char** argv)
{
    // Before any thread exists: an empty network namespace of its own, where
    // the windows that search the network as they open reach nothing.
    if (!velmora::test::EnterIsolatedNetwork(false))
        return velmora::test::kSkipExitCode;
    QApplication app(argc, argv);
    // The language the walk runs in (LC_ALL), from the build's translations.
    const QString language = qEnvironmentVariable("LC_ALL").section('.', 0, 0);
    g_catalogue = velmora::test::ReadCatalogue(VELMORA_TS_DIR "velmora_" + language + ".ts");
    if (!velmora::InstallTranslations(app, VELMORA_PROGRAM_DIR) &&
        !g_catalogue.englishOnlyWords.isEmpty()) {
        std::fprintf(stderr, "no translation for %s\n", qPrintable(language));
        return 1;
    }
    AccessibilityTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "AccessibilityTest.moc"
