#include "app/ui/CquaymarkDlg.h"

#include "app/ui/AppIcons.h"
#include "app/ui/AppTexts.h"
#include "app/ui/CAboutDlg.h"
#include "app/ui/COption.h"
#include "app/ui/CXTTrayIconEx.h"
#include "catalogue/ui/COften_used_ports.h"
#include "config/core/ConfigStore.h"
#include "forwarding/ui/CFormView_Client.h"
#include "forwarding/ui/CRouter_Management.h"
#include "forwarding/ui/RouterMonitor.h"
#include "platform/Autostart.h"
#include "platform/ExecutableDir.h"
#include "platform/Log.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"
#include "router/core/RouterOffer.h"
#include "router/ui/RouterScanController.h"
#include "triggering/ui/CFormView_Server.h"
#include "upnp/ui/CView_IP.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr int kProgressPeriodMs = 10;
// The steps after the window run by then at the latest, painted or not.
constexpr int kStartWithoutPaintMs = 1000;
constexpr int kBalloonTimeoutMs = 10000;

// Appends a menu command, named and numbered by its command id, run by `handler`.
template <typename Handler>
void AddCommand(QMenu* menu, const QString& text, int id, CquaymarkDlg* owner, Handler handler)
{
    auto* action = new QAction(text, menu);
    action->setObjectName(QString("command%1").arg(id));
    action->setData(id);
    menu->addAction(action);
    QObject::connect(action, &QAction::triggered, owner, handler);
}
} // namespace

CquaymarkDlg::CquaymarkDlg(Options options, QWidget* parent)
    : QDialog(parent), options_(std::move(options))
{
    setObjectName("CquaymarkDlg");
    setWindowTitle(velmora::texts::kCaption);
    // The program's own icon when it has one: one set of pictures, decoded once.
    setWindowIcon(qApp->windowIcon().isNull() ? velmora::AppIcon() : qApp->windowIcon());
    // An application window of its own, with minimise and close boxes.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    if (options_.programDir.empty())
        options_.programDir = velmora::ExecutableDir();
    paths_ = velmora::AppPathsFor(options_.programDir);

    auto* page = new QVBoxLayout(this);
    buildRouterRow();
    auto* top = new QHBoxLayout;
    top->addWidget(routerLabel_);
    top->addWidget(routerBox_, 1);
    top->addWidget(info_);
    top->addWidget(rescan_);
    top->addWidget(progress_, 1);
    top->addWidget(routerName_);
    buildToolButton();
    top->addWidget(toolButton_);
    page->addLayout(top);

    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("tabs");
    tabs_->setAccessibleName(tr("Tabs"));
    tabs_->setUsesScrollButtons(false);
    page->addWidget(tabs_, 1);

    buildBottomRow();
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(about_);
    bottom->addStretch();
    bottom->addWidget(hide_);
    bottom->addWidget(exit_);
    page->addLayout(bottom);
    resize(860, 440);
}

CquaymarkDlg::~CquaymarkDlg() = default;

void CquaymarkDlg::buildRouterRow()
{
    routerLabel_ = new QLabel(tr("Router: "), this);
    routerBox_ = new QComboBox(this);
    routerBox_->setObjectName("routerBox");
    routerBox_->setAccessibleName(tr("Router: "));
    routerLabel_->setBuddy(routerBox_);
    info_ = velmora::MakeFormButton(tr("Info"), "infoButton", this);
    rescan_ = velmora::MakeFormButton(tr("Rescan"), "rescanButton", this);
    progress_ = new QProgressBar(this);
    progress_->setObjectName("scanProgress");
    progress_->setAccessibleName(tr("Searching for your router"));
    progress_->setRange(0, 100);
    progress_->setTextVisible(false);
    routerName_ = new QLabel(tr("router name"), this);
    routerName_->setObjectName("routerNameLabel");
}

void CquaymarkDlg::buildToolButton()
{
    toolButton_ = new QToolButton(this);
    toolButton_->setObjectName("toolButton");
    toolButton_->setAccessibleName(tr("Tools"));
    toolButton_->setIcon(QIcon(":/velmora/tools.png"));
    toolButton_->setIconSize(QSize(32, 32));
    toolButton_->setAutoRaise(true);
    toolButton_->setPopupMode(QToolButton::MenuButtonPopup); // the body's command has no handler

    auto* menu = new QMenu(tr("Menu"), toolButton_);
    menu->setObjectName("toolMenu");
    AddCommand(menu, tr("Fetch Port Forwarding Entry in Router"), 32784, this,
               &CquaymarkDlg::OnRouterManagement);
    AddCommand(menu, tr("Port Forwarding Tester"), 32781, this, &CquaymarkDlg::OnPortTester);
    AddCommand(menu, tr("View IP"), 32780, this, &CquaymarkDlg::OnViewIP);
    AddCommand(menu, tr("View Often Used Ports"), 32777, this, &CquaymarkDlg::OnViewOftenUsedPorts);
    menu->addSeparator();
    AddCommand(menu, tr("Option"), 32778, this, &CquaymarkDlg::OnOption);
    toolButton_->setMenu(menu);
}

void CquaymarkDlg::buildBottomRow()
{
    about_ = velmora::MakeFormButton(tr("About"), "aboutButton", this);
    hide_ = velmora::MakeFormButton(tr("Hide"), "hideButton", this);
    exit_ = velmora::MakeFormButton(tr("Exit"), "exitButton", this);
    connect(about_, &QPushButton::clicked, this, &CquaymarkDlg::OnAbout);
    connect(hide_, &QPushButton::clicked, this, &CquaymarkDlg::HideToTray);
    connect(exit_, &QPushButton::clicked, this, &CquaymarkDlg::SaveConfigAndExit);
}

bool CquaymarkDlg::OnInitDialog()
{
    routerName_->hide();
    routerBox_->hide();
    info_->hide();
    rescan_->hide();

    std::string reason;
    if (!velmora::PrepareAppPaths(paths_, &reason))
        std::printf("%s\n", reason.c_str());
    OpenLog(paths_.log.c_str());

    server_ = new CFormView_Server(triggerings_, tabs_);
    server_->setSaveConfig([this] { saveConfig(); });
    client_ = new CFormView_Client(forwardings_, *this, tabs_);
    client_->monitor()->setOptions(options_.monitor);
    connect(client_, &CFormView_Client::activity, this, &CquaymarkDlg::writeActivity);
    tabs_->addTab(server_, tr("Port Triggering"));
    tabs_->addTab(client_, tr("Port Forwarding"));
    // The pages are made after the bottom row: Tab reaches them before it.
    QWidget* previous = tabs_->findChild<QTabBar*>();
    for (QWidget* page : {static_cast<QWidget*>(server_), static_cast<QWidget*>(client_)})
        for (QWidget* control : page->findChildren<QWidget*>())
            if (control->focusPolicy() & Qt::TabFocus) {
                setTabOrder(previous, control);
                previous = control;
            }
    setTabOrder(previous, about_);
    settings_ = velmora::ZeroedRecord<AppSettings>(); // both settings empty until the file is read
    progress_->setValue(1);

    if (!options_.startAfterFirstPaint) {
        startServices();
        return true;
    }
    // After the first paint, or soon anyway should the window not be drawn.
    installEventFilter(this);
    QTimer::singleShot(kStartWithoutPaintMs, this, &CquaymarkDlg::startServices);
    return true;
}

bool CquaymarkDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && event->type() == QEvent::Paint && !started_) {
        removeEventFilter(this);
        // Queued: the paint finishes first.
        QTimer::singleShot(0, this, &CquaymarkDlg::startServices);
    }
    return QDialog::eventFilter(watched, event);
}

void CquaymarkDlg::startServices()
{
    if (started_ || exiting_)
        return;
    started_ = true;
    removeEventFilter(this);
    const bool trayAvailable = options_.startAfterFirstPaint
                                   ? QSystemTrayIcon::isSystemTrayAvailable()
                                   : options_.trayAvailable;
    tray_ = new CXTTrayIconEx(this);
    tray_->create(velmora::texts::kCaption, velmora::TrayIcon(), trayAvailable);
    connect(tray_, &CXTTrayIconEx::openRequested, this, &CquaymarkDlg::ShowMainWindow);
    connect(tray_, &CXTTrayIconEx::exitRequested, this, [this] {
        tray_->remove();
        SaveConfigAndExit();
    });

    loadConfig();
    client_->setMonitoring(std::atoi(settings_.monitor_router) != 0);
    server_->startAutoStartEntries();

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(kProgressPeriodMs);
    connect(progressTimer_, &QTimer::timeout, this, &CquaymarkDlg::onProgressTimer);
    progressTimer_->start();

    // A drop-down with an edit field. Made so only now: the box stays hidden
    // until a router is found, and its edit field and list cost the first
    // paint several milliseconds.
    routerBox_->setEditable(true);
    scan_ = new velmora::RouterScanController({routerBox_, info_, rescan_, progress_, this}, this);
    connect(scan_, &velmora::RouterScanController::scanStarted, client_,
            &CFormView_Client::onScanStarted);
    connect(scan_, &velmora::RouterScanController::routersFound, client_,
            &CFormView_Client::onRoutersFound);
    // The bar only moves while no router is known: stop waking up once one is.
    connect(scan_, &velmora::RouterScanController::scanStarted, progressTimer_,
            qOverload<>(&QTimer::start));
    connect(scan_, &velmora::RouterScanController::routerListed, progressTimer_, &QTimer::stop);
    connect(scan_, &velmora::RouterScanController::routersFound, progressTimer_, &QTimer::stop);
    connect(info_, &QPushButton::clicked, scan_, &velmora::RouterScanController::showInfo);
    connect(rescan_, &QPushButton::clicked, scan_, &velmora::RouterScanController::rescan);
    if (options_.startRouterScan)
        scan_->startScan();
}

void CquaymarkDlg::loadConfig()
{
    velmora::LoadedConfig loaded = velmora::LoadConfig(configPath());
    settings_ = loaded.settings;
    triggerings_ = std::move(loaded.triggerings);
    forwardings_ = std::move(loaded.forwardings);
    server_->reloadRows();
    client_->reloadRows();
    if (loaded.invalid)
        QMessageBox::critical(this, velmora::Words(velmora::kInvalidConfigCaptionText),
                              velmora::Words(velmora::kInvalidConfigText));
}

void CquaymarkDlg::onProgressTimer()
{
    if (routerFound())
        return;
    if (scan_ && scan_->scanErrorShown()) {
        progress_->setValue(0);
        return;
    }
    int next = progress_->value() + 1;
    progress_->setValue(next > progress_->maximum() ? progress_->minimum() : next);
}

void CquaymarkDlg::writeActivity(const QStringList& lines, const QString& balloon)
{
    for (const QString& line : lines)
        WriteLog("%s\n", line.toUtf8().constData());
    if (!balloon.isEmpty() && tray_)
        tray_->showBalloon(velmora::texts::kCaption, balloon, kBalloonTimeoutMs);
}

bool CquaymarkDlg::routerFound() const
{
    return scan_ && scan_->routerFound();
}

velmora::RouterEntryPtr CquaymarkDlg::selectedRouter() const
{
    return scan_ ? scan_->selectedRouter() : nullptr;
}

bool CquaymarkDlg::writeConfig(velmora::Message* reason)
{
    return ::SaveConfig(configPath(), settings_, triggerings_, forwardings_, reason);
}

void CquaymarkDlg::reportSaveFailure(const velmora::Message& reason)
{
    QMessageBox::critical(
        this, velmora::Words(velmora::kInvalidConfigCaptionText),
        velmora::Words(velmora::Message(velmora::kConfigNotSaved, {configPath(), reason})));
}

bool CquaymarkDlg::saveConfig()
{
    velmora::Message reason;
    if (writeConfig(&reason))
        return true;
    reportSaveFailure(reason);
    return false;
}

void CquaymarkDlg::SaveConfigAndExit()
{
    exitProgram(true);
}

void CquaymarkDlg::ExitOnSignal()
{
    exitProgram(false);
}

void CquaymarkDlg::exitProgram(bool tellUser)
{
    if (exiting_)
        return;
    exiting_ = true;
    emit exitStarting();
    velmora::Message reason;
    // Before config.xml was read, there is nothing of it to save: writing
    // would empty it.
    if (started_ && !writeConfig(&reason)) {
        if (tellUser)
            reportSaveFailure(reason);
        else
            std::fprintf(
                stderr, "%s\n",
                velmora::English(velmora::Message(velmora::kConfigNotSaved, {configPath(), reason}))
                    .c_str());
    }
    if (tray_)
        tray_->remove();
    hide();
    QDialog::done(QDialog::Accepted);
    emit exitRequested();
}

void CquaymarkDlg::HideToTray()
{
    if (!tray_ || !tray_->available()) {
        // No system tray to come back from: keep the window on the taskbar.
        showMinimized();
        return;
    }
    tray_->showBalloon(velmora::Tr(velmora::texts::kBalloonTitle),
                       velmora::Tr(velmora::texts::kBalloonText), kBalloonTimeoutMs);
    hide();
}

void CquaymarkDlg::ShowMainWindow()
{
    showNormal();
    raise();
    activateWindow();
}

void CquaymarkDlg::OnOption()
{
    COption dialog(std::atoi(settings_.auto_startup), std::atoi(settings_.monitor_router), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    velmora::SetField(settings_.monitor_router, dialog.monitorFlag() ? "1" : "0");
    client_->setMonitoring(dialog.monitorFlag() != 0);
    velmora::Message reason;
    bool done = false;
    if (dialog.autostartFlag()) {
        std::string executable = options_.autostartExecutable.empty()
                                     ? velmora::ExecutablePath()
                                     : options_.autostartExecutable;
        done = velmora::WriteAutostartEntry(executable, &reason);
    } else {
        done = velmora::RemoveAutostartEntry(&reason);
    }
    // The setting says what the session will do, whatever was asked for.
    velmora::SetField(settings_.auto_startup, velmora::AutostartEntryPresent() ? "1" : "0");
    if (!done) {
        const std::string path = velmora::AutostartEntryPath();
        QMessageBox::critical(
            this, velmora::Words(velmora::kInvalidConfigCaptionText),
            (dialog.autostartFlag() ? tr("Could not write %1: %2") : tr("Could not remove %1: %2"))
                .arg(QString::fromStdString(path.empty() ? "~/.config/autostart/velmora.desktop"
                                                         : path),
                     velmora::Words(reason)));
    }
    saveConfig();
}

void CquaymarkDlg::OnAbout()
{
    velmora::CAboutDlg about(this);
    about.exec();
}

QUrl CquaymarkDlg::PortTesterUrl()
{
    QUrl page(velmora::texts::kHomePage);
    page.setPath(velmora::texts::kPortTesterPath);
    return page;
}

void CquaymarkDlg::OnPortTester()
{
    if (options_.openUrl)
        options_.openUrl(PortTesterUrl());
    else
        QDesktopServices::openUrl(PortTesterUrl());
}

void CquaymarkDlg::OnViewIP()
{
    // Where the router in use opens IPv6 pinholes, View IP says how to be
    // reached over IPv6 when IPv4 goes through another NAT.
    CView_IP dialog(this, [router = routerFound() ? selectedRouter() : nullptr] {
        if (!router)
            return std::string();
        const velmora::RouterOffer offer = velmora::CachedOfferOf(*router);
        return offer.pinholes ? offer.pinholeAddress : std::string();
    });
    dialog.exec();
}

void CquaymarkDlg::OnRouterManagement()
{
    CRouter_Management dialog(
        routerFound(), selectedRouter(), [this] { OnPortTester(); }, this);
    if (client_)
        dialog.setLeaseBook(client_->leaseBook());
    dialog.setDeletionListener([this](const std::string& protocol, uint16_t port) {
        if (client_)
            client_->mappingDeletedByUser(protocol, port);
    });
    dialog.exec();
}

void CquaymarkDlg::OnViewOftenUsedPorts()
{
    // A new window each time; it deletes itself when closed.
    COften_used_ports::Forwarding forwarding;
    forwarding.entries = &forwardings_;
    forwarding.add = [this](const CRouter_Add_Port::Prefill& values, QWidget* over) {
        if (client_)
            client_->addEntryFrom(values, over);
    };
    auto* window = new COften_used_ports(paths_.catalogue, std::move(forwarding), this);
    window->show();
}

void CquaymarkDlg::closeEvent(QCloseEvent* event)
{
    if (exiting_) {
        event->accept();
        return;
    }
    event->ignore();
    HideToTray();
}

void CquaymarkDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // no default action in the main window
        return;
    }
    QDialog::keyPressEvent(event);
}

void CquaymarkDlg::reject()
{
    SaveConfigAndExit();
}

void CquaymarkDlg::accept() {}
