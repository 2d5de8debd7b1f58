#include "app/ui/CquaymarkApp.h"

#include "app/ui/AppIcons.h"
#include "app/ui/AppTexts.h"
#include "app/ui/CquaymarkDlg.h"
#include "app/ui/SingleInstance.h"
#include "app/ui/TerminationWatcher.h"

#include <QSystemTrayIcon>

CquaymarkApp::CquaymarkApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(velmora::texts::kCaption);
    setApplicationVersion(velmora::kProductVersion);
    setWindowIcon(velmora::AppIcon()); // every window and dialog carries the mark
    setDesktopFileName("velmora");     // the desktop entry that names and draws the program
    setQuitOnLastWindowClosed(false);  // hiding to the tray must not end the program
}

int CquaymarkApp::InitInstance()
{
    SingleInstance instance(velmora::texts::kSingleInstanceName);
    if (!instance.claim())
        return 0; // the running instance has been brought forward

    CquaymarkDlg::Options options;
    options.trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    CquaymarkDlg dialog(options);
    connect(&instance, &SingleInstance::activationRequested, &dialog,
            &CquaymarkDlg::ShowMainWindow);
    connect(&dialog, &CquaymarkDlg::exitRequested, this, &QCoreApplication::quit,
            Qt::QueuedConnection);

    // A request to end from outside (log-out, Ctrl+C) ends the program as Exit
    // does, even while a start-up message box waits for an answer.
    TerminationWatcher termination;
    bool terminated = false;
    connect(&termination, &TerminationWatcher::terminationRequested, &dialog, [&] {
        terminated = true;
        dialog.SaveConfigAndExit();
        QCoreApplication::exit(0); // leaves every running event loop, message boxes' too
    });
    if (!dialog.OnInitDialog())
        return 1;
    if (terminated)
        return 0;
    dialog.show();
    return exec();
}
