#pragma once

#include "platform/DeadlineScale.h"
#include "router/core/RouterEntry.h"
#include "router/core/RouterScan.h"

#include <QObject>
#include <QPointer>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class Error;
class QComboBox;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;

namespace velmora {

struct RouterInfoValues;

class DialogWorker;

// Runs router scans for the main window and owns their result: the router
// list (entry i is line i of the router box) and the flags router_found and
// scan_error_shown. Lives on the GUI thread, which alone touches the list,
// the flags and the widgets; the network work of a scan runs on a
// velmora::DialogWorker whose result comes back as a queued call (dropped
// once the controller is gone). Routers show as soon as the scan confirms
// them and join the box in the scan's order while it still listens; the
// first line stays selected unless the user picks another meanwhile. The
// scan's outcome (router_found, Rescan, routersFound) comes when it has
// ended. One scan at a time: from its start until it ends (including while
// the router-not-found dialog is open), Rescan does nothing.
class RouterScanController : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        QComboBox* routerBox = nullptr;
        QPushButton* info = nullptr;
        QPushButton* rescan = nullptr;
        QProgressBar* progress = nullptr;
        QWidget* dialogParent = nullptr; // owner of the router-not-found and Router Info boxes
    };

    RouterScanController(const Widgets& widgets, QObject* parent = nullptr);
    // Returns at once: a scan still waiting for the network is left to finish
    // on its own, and its result is dropped.
    ~RouterScanController() override;

    bool routerFound() const { return router_found_; }
    bool scanErrorShown() const { return scan_error_shown_; }
    bool scanning() const { return scanning_; }
    const RouterList& routers() const { return routers_; }
    // Entry of the router box's selected line, or null when no line is
    // selected (also when the user has typed over the line's text).
    RouterEntryPtr selectedRouter() const;

    void startScan(); // start-up: one scan on a worker thread
    void rescan();    // the Rescan button
    // The Info button: the router is asked on a worker thread and the report
    // shows when its answers are in, or after the info deadline as the report
    // of a router that answered nothing. Info is disabled meanwhile.
    void showInfo();
    bool infoRunning() const { return infoWorker_ != nullptr; }
    void setInfoDeadline(std::chrono::milliseconds deadline) { infoDeadline_ = deadline; }
    static constexpr std::chrono::milliseconds kInfoDeadline{20000};
    // A scan that has not ended by then (a router that answers its description
    // slowly or not at all) is given up as one that found nothing.
    void setScanDeadline(std::chrono::milliseconds deadline) { scanDeadline_ = deadline; }
    static constexpr std::chrono::milliseconds kScanDeadline{20000};

    // Replaces the network steps and the source of local addresses (tests).
    void setScanSteps(RouterScanSteps steps,
                      std::function<std::vector<std::string>()> localAddresses);

signals:
    void scanStarted();  // the Port Forwarding tab disables "Add into Router" and "Ports List"
    void routerListed(); // the first router of a scan is in the box; the scan goes on
    void
    routersFound(); // the scan ended with routers: the Port Forwarding tab enables "Ports List"
    void routerNotFoundShown(); // the router-not-found dialog has opened

private:
    void beginScan();
    void showListed(const RouterList& listed);
    void showRouters(const RouterList& list);
    void finishScan(RouterList found);
    void showRouterNotFound();
    void onRouterNotFoundClosed();
    void abandonWorker();
    // `offer`: the lines about pinholes and PCP (empty: none; no report of
    // old for a NAT-PMP gateway).
    void showInfoReport(const RouterInfoValues& values, const QString& offer = {},
                        bool natPmp = false);

    QPointer<QComboBox> routerBox_;
    QPointer<QPushButton> info_;
    QPointer<QPushButton> rescan_;
    QPointer<QProgressBar> progress_;
    QPointer<QWidget> dialogParent_;

    RouterList routers_;
    bool router_found_ = false;
    bool scan_error_shown_ = false;
    bool scanning_ = false;
    bool listed_ = false;       // the box shows this scan's routers
    RouterEntryPtr userChoice_; // the line the user picked while the scan ran

    RouterScanSteps steps_;
    std::function<std::vector<std::string>()> localAddresses_;
    std::unique_ptr<velmora::DialogWorker> worker_;
    QTimer* scanTimer_ = nullptr;
    std::chrono::milliseconds scanDeadline_ = ScaledDeadline(kScanDeadline);
    QPointer<Error> notFound_;
    std::unique_ptr<velmora::DialogWorker> infoWorker_;
    QTimer* infoTimer_ = nullptr;
    std::chrono::milliseconds infoDeadline_ = ScaledDeadline(kInfoDeadline);
};

} // namespace velmora
