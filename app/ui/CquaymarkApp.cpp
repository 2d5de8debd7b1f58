#include "app/ui/CquaymarkApp.h"

#include "app/ui/AppTexts.h"
#include "app/ui/CquaymarkDlg.h"
#include "app/ui/ExitSignals.h"
#include "app/ui/SingleInstance.h"
#include "platform/ProcessEnd.h"

#include <QSystemTrayIcon>

namespace {
// How long Exit lets a worker finish the request it is waiting for.
constexpr std::chrono::milliseconds kWorkerGrace{300};
} // namespace

CquaymarkApp::CquaymarkApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(velmora::texts::kCaption);
    setApplicationVersion("2.6.0");
    setWindowIcon(QIcon(":/velmora/velmora.png"));
    setQuitOnLastWindowClosed(false); // hiding to the tray must not end the program
}

int CquaymarkApp::InitInstance()
{
    SingleInstance instance(velmora::texts::kSingleInstanceName);
    if (!instance.claim())
        return 0; // the running instance has been brought forward

    CquaymarkDlg::Options options;
    options.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    CquaymarkDlg dialog(options);
    connect(&instance, &SingleInstance::activationRequested, &dialog, &CquaymarkDlg::ShowMainWindow);
    // A start during shutdown must start a program of its own, not poke this one.
    connect(&dialog, &CquaymarkDlg::exitStarting, &instance, &SingleInstance::release);
    connect(&dialog, &CquaymarkDlg::exitRequested, this, &QCoreApplication::quit, Qt::QueuedConnection);
    ExitSignals exitSignals;
    exitSignals.install();
    connect(&exitSignals, &ExitSignals::exitRequested, &dialog, &CquaymarkDlg::ExitOnSignal);
    if (!dialog.OnInitDialog())
        return 1;
    int status = 0;
    if (!dialog.exiting()) { // a signal may have come while the start-up showed a message
        dialog.show();
        status = exec();
    }
    // config.xml is saved and no event loop runs: workers still waiting for a
    // router must not hold the process, nor see anything torn down under them.
    velmora::EndProcess(status, kWorkerGrace);
}
