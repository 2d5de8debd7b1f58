#pragma once

#include "router/core/RouterEntry.h"

#include <QObject>
#include <QPointer>

class QComboBox;
class QProgressBar;
class QPushButton;
class QWidget;

// Runs router scans for the main window and owns their result: the router
// list (entry i is line i of the router box) and the flags router_found and
// scan_error_shown. Lives on the GUI thread; scans run on worker threads and
// reach the widgets only through queued calls.
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
    ~RouterScanController() override;

    bool routerFound() const { return router_found_; }
    bool scanErrorShown() const { return scan_error_shown_; }
    const RouterList& routers() const { return routers_; }
    // Entry of the router box's selected line, or null when no line is selected.
    RouterEntryPtr selectedRouter() const;

    void startScan(); // start-up: one scan on a worker thread
    void rescan();    // the Rescan button
    void showInfo();  // the Info button

signals:
    void scanStarted();  // the Port Forwarding tab disables "Add into Router" and "Ports List"
    void routersFound(); // the Port Forwarding tab enables "Ports List"

private:
    Widgets widgets_;
    RouterList routers_;
    bool router_found_ = false;
    bool scan_error_shown_ = false;
};
