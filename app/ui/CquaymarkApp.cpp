#include "app/ui/CquaymarkApp.h"

#include "app/ui/AppTexts.h"
#include "app/ui/CquaymarkDlg.h"
#include "app/ui/SingleInstance.h"

#include <QSystemTrayIcon>

CquaymarkApp::CquaymarkApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(velmora::texts::kCaption);
    setApplicationVersion(velmora::kProductVersion);
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
    connect(&instance, &SingleInstance::activationRequested, &dialog,
            &CquaymarkDlg::ShowMainWindow);
    connect(&dialog, &CquaymarkDlg::exitRequested, this, &QCoreApplication::quit,
            Qt::QueuedConnection);
    if (!dialog.OnInitDialog())
        return 1;
    dialog.show();
    return exec();
}
