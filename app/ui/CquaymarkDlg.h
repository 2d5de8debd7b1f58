#pragma once

#include "config/core/Records.h"
#include "forwarding/core/MappingMonitor.h"
#include "forwarding/ui/ForwardingHost.h"
#include "platform/AppPaths.h"
#include "platform/Message.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

namespace velmora {
class RouterScanController;
} // namespace velmora

class CFormView_Client;
class CFormView_Server;
class CXTTrayIconEx;
class QAction;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class QUrl;
class QToolButton;

// The main window: the router row, the drop-down tool button, the two tabs,
// About/Hide/Exit and the tray icon. Owns the triggering and forwarding lists
// and the settings for the life of the process.
class CquaymarkDlg : public QDialog, public velmora::ForwardingHost
{
    Q_OBJECT
public:
    struct Options
    {
        std::string programDir;          // where config.xml and log/ live; ends in '/'
        bool trayAvailable = true;       // the desktop has a system tray
        bool startRouterScan = true;     // tests of the window alone leave the network alone
        std::string autostartExecutable; // Exec of the autostart entry; empty: this executable
        // Opens a web page; empty: the desktop's browser (tests record the address instead).
        std::function<void(const QUrl&)> openUrl;
        velmora::MonitorOptions monitor; // how often the router's mappings are looked at
        // The program: what the window does not need to be drawn (the tray,
        // config.xml, auto-start entries, the router scan) waits for its first
        // paint. With it, the tray's availability is asked then too.
        bool startAfterFirstPaint = false;
    };

    explicit CquaymarkDlg(Options options, QWidget* parent = nullptr);
    ~CquaymarkDlg() override;

    // The start-up steps; false when the window cannot be built.
    bool OnInitDialog();
    // Whether the steps after the window (tray, config.xml, scan) have run.
    bool started() const { return started_; }

    // ForwardingHost
    bool routerFound() const override;
    velmora::RouterEntryPtr selectedRouter() const override;
    bool saveConfig() override;

    // Exit: saves config.xml, removes the tray icon and ends the program.
    void SaveConfigAndExit();
    // The same on SIGTERM/SIGINT; a failed save is reported on standard error.
    void ExitOnSignal();
    bool exiting() const { return exiting_; }
    void HideToTray();
    void ShowMainWindow();
    void OnOption();
    void OnAbout();
    static QUrl PortTesterUrl();
    void OnPortTester();         // command 32781
    void OnViewIP();             // command 32780
    void OnRouterManagement();   // command 32784
    void OnViewOftenUsedPorts(); // command 32777

    const AppSettings& settings() const { return settings_; }
    std::vector<TriggeringEntry>& triggerings() { return triggerings_; }
    std::vector<ForwardingEntry>& forwardings() { return forwardings_; }
    std::string configPath() const { return paths_.config; }
    const velmora::AppPaths& paths() const { return paths_; }
    CFormView_Server* serverView() const { return server_; }
    CFormView_Client* clientView() const { return client_; }
    CXTTrayIconEx* trayIcon() const { return tray_; }
    velmora::RouterScanController* scanController() const { return scan_; }
    QProgressBar* progressBar() const { return progress_; }

signals:
    void exitStarting();  // Exit has begun: nothing should reach this instance any more
    void exitRequested(); // config.xml is saved: the process should end now

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override; // Escape
    void accept() override; // the dialog's default OK action

private:
    void buildRouterRow();
    void buildToolButton();
    void buildTabs();
    void buildBottomRow();
    void startServices();
    void loadConfig();
    void onProgressTimer();
    void exitProgram(bool tellUser);
    bool writeConfig(velmora::Message* reason);
    void reportSaveFailure(const velmora::Message& reason);
    void writeActivity(const QStringList& lines, const QString& balloon);

    Options options_;
    velmora::AppPaths paths_;
    std::vector<TriggeringEntry> triggerings_;
    std::vector<ForwardingEntry> forwardings_;
    AppSettings settings_{};

    QLabel* routerLabel_ = nullptr;
    QComboBox* routerBox_ = nullptr;
    QPushButton* info_ = nullptr;
    QPushButton* rescan_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* routerName_ = nullptr;
    QToolButton* toolButton_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    CFormView_Server* server_ = nullptr;
    CFormView_Client* client_ = nullptr;
    QPushButton* about_ = nullptr;
    QPushButton* hide_ = nullptr;
    QPushButton* exit_ = nullptr;
    CXTTrayIconEx* tray_ = nullptr;
    velmora::RouterScanController* scan_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    bool exiting_ = false;
    bool started_ = false;
};
