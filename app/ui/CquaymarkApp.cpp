#include "app/ui/CquaymarkApp.h"

#include "app/ui/AppIcons.h"
#include "app/ui/AppTexts.h"
#include "app/ui/CquaymarkDlg.h"
#include "app/ui/ExitSignals.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/Translations.h"
#include "platform/ExecutableDir.h"
#include "platform/ProcessEnd.h"

namespace {
// How long Exit lets a worker finish the request it is waiting for.
constexpr std::chrono::milliseconds kWorkerGrace{300};
} // namespace

CquaymarkApp::CquaymarkApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(velmora::texts::kCaption);
    setApplicationVersion(velmora::kProductVersion);
    setWindowIcon(velmora::AppIcon()); // every window and dialog carries the mark
    setDesktopFileName("velmora");     // the desktop entry that names and draws the program
    setQuitOnLastWindowClosed(false);  // hiding to the tray must not end the program
    velmora::InstallTranslations(*this, velmora::ExecutableDir()); // the desktop's language
}

int CquaymarkApp::InitInstance()
{
    velmora::SingleInstance instance(velmora::texts::kSingleInstanceName);
    if (!instance.claim())
        return 0; // the running instance has been brought forward

    CquaymarkDlg::Options options;
    options.startAfterFirstPaint = true; // the window first, then the rest
    CquaymarkDlg dialog(options);
    connect(&instance, &velmora::SingleInstance::activationRequested, &dialog,
            &CquaymarkDlg::ShowMainWindow);
    // A start during shutdown must start a program of its own, not poke this one.
    connect(&dialog, &CquaymarkDlg::exitStarting, &instance, &velmora::SingleInstance::release);
    // config.xml is saved: end here, whatever loop runs (a message box of the
    // start-up, a dialog, the main loop). Workers still waiting for a router
    // must not hold the process, nor see anything torn down under them.
    connect(&dialog, &CquaymarkDlg::exitRequested, this,
            [] { velmora::EndProcess(0, kWorkerGrace); });
    velmora::ExitSignals exitSignals;
    exitSignals.install();
    connect(&exitSignals, &velmora::ExitSignals::exitRequested, &dialog,
            &CquaymarkDlg::ExitOnSignal);
    if (!dialog.OnInitDialog())
        return 1;
    dialog.show();
    const int status = exec(); // ends only through Exit, which ends the process itself
    velmora::EndProcess(status, kWorkerGrace);
}
