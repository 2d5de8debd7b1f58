// Takes a picture of each window and dialog of the program, the way a user
// meets them: the main window searches the network, so this runs inside the
// router lab only (scripts/screenshot.sh starts it in the lab's LAN
// namespace). The program folder it is given holds a config.xml with sample
// entries and translations/; the windows speak the language LANG names.
//   window_pictures PROGRAM_DIR OUTPUT_DIR
// A new window joins with one step in TakePictures().

#include "app/ui/CAboutDlg.h"
#include "app/ui/COption.h"
#include "app/ui/CquaymarkDlg.h"
#include "app/ui/Translations.h"
#include "catalogue/ui/CAdd_Often_Port.h"
#include "catalogue/ui/COften_used_ports.h"
#include "catalogue/ui/CSearch_Ports.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "forwarding/ui/CRouter_Management.h"
#include "forwarding/ui/Ports_List.h"
#include "router/ui/RouterScanController.h"
#include "triggering/ui/CAddPort.h"
#include "upnp/ui/CView_IP.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

QString g_output;
int g_failures = 0;

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done() && !deadline.hasExpired()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return done();
}

void Save(QWidget* window, const char* name)
{
    QApplication::processEvents();
    QString file = QDir(g_output).filePath(QString(name) + ".png");
    if (window->grab().save(file)) {
        std::printf("wrote %s\n", qPrintable(file));
    } else {
        std::printf("could not write %s\n", qPrintable(file));
        ++g_failures;
    }
}

// A window shown the way the program shows it, pictured once it settled.
void Picture(QWidget& window, const char* name, const std::function<bool()>& ready = {})
{
    window.show();
    WaitFor([] { return false; }, 300);
    if (ready && !WaitFor(ready, 15000))
        std::printf("%s: not ready after 15 s, pictured as it is\n", name);
    Save(&window, name);
    window.hide();
}

// A dialog that the program runs modally from `open`: pictured while it runs.
void PictureModal(const char* name, const std::function<void()>& open)
{
    QTimer::singleShot(800, [name] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            Save(modal, name);
            modal->close();
        } else {
            std::printf("%s: no dialog opened\n", name);
            ++g_failures;
        }
    });
    open();
}

void TakePictures(const std::string& programDir)
{
    CquaymarkDlg::Options options;
    options.programDir = programDir;
    options.trayAvailable = false;
    CquaymarkDlg main(options);
    main.OnInitDialog();
    main.show();
    if (!WaitFor([&] { return main.routerFound(); }, 20000))
        std::printf("no router found in 20 s\n");
    WaitFor([] { return false; }, 500);
    Save(&main, "main-window");
    auto* tabs = main.findChild<QTabWidget*>("tabs");
    tabs->setCurrentIndex(1);
    Save(&main, "main-window-forwarding");
    tabs->setCurrentIndex(0);

    if (main.routerFound())
        PictureModal("router-info", [&] { main.scanController()->showInfo(); });

    CRouter_Add_Port addForwarding(main.forwardings(), nullptr, &main);
    Picture(addForwarding, "add-port-forwarding");

    velmora::RouterEntryPtr router = main.selectedRouter();
    if (router && !router->is_apple) {
        Ports_List ports(router, &main);
        Picture(ports, "ports-list-in-router", [&] { return ports.listingFinished(); });

        velmora::CPort_Check check(&main);
        velmora::PortCheckTarget target{"Web server", "TCP", 80, "192.168.77.2"};
        check.startCheck(velmora::EndpointOf(*router), target);
        Picture(check, "port-check", [&] { return check.checkFinished(); });
    }

    CRouter_Management management(
        main.routerFound(), router, [] {}, &main);
    Picture(management, "router-management", [&] { return management.listingFinished(); });

    CView_IP viewIp(&main);
    Picture(viewIp, "view-ip", [&] { return viewIp.lookupFinished(); });

    // The catalogue window deletes itself when it closes.
    auto* oftenUsed = new COften_used_ports(main.paths().catalogue, {}, &main);
    oftenUsed->resize(640, 480);
    Picture(*oftenUsed, "often-used-ports");
    oftenUsed->close();
    CSearch_Ports search(&main);
    Picture(search, "search-application");
    CAdd_Often_Port addOften(&main);
    Picture(addOften, "add-often-used-ports");

    CAddPort addTriggering(main.triggerings(), nullptr, &main);
    Picture(addTriggering, "add-port-triggering");

    COption option(1, 0, &main);
    Picture(option, "option");

    velmora::CAboutDlg about(&main);
    Picture(about, "about");

    main.SaveConfigAndExit();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    g_output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(g_output);
    std::string programDir = argv[1];
    if (programDir.back() != '/')
        programDir += '/';
    velmora::InstallTranslations(app, programDir);
    TakePictures(programDir);
    return g_failures == 0 ? 0 : 1;
}
