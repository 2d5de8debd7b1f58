#pragma once

#include "config/core/Records.h"

#include <QWidget>

#include <vector>

class ForwardingHost;
class QPushButton;
class ReportList;

// The "Port Forwarding" page: the forwarding list as a table (row i shows
// entry i of the main window's list), Add/Edit/Delete, "Add into Router"
// and "Ports List".
class CFormView_Client : public QWidget
{
    Q_OBJECT
public:
    // `entries` is the main window's forwarding list; it and `host` outlive the view.
    CFormView_Client(std::vector<ForwardingEntry>& entries, ForwardingHost& host,
                     QWidget* parent = nullptr);
    ~CFormView_Client() override;

    // Rebuilds the rows from the list after loading.
    void reloadRows();
    // A scan begins: "Add into Router" and "Ports List" are disabled.
    void onScanStarted();
    // A scan found routers: "Ports List" is enabled, "Add into Router" follows the selection.
    void onRoutersFound();

    ReportList* list() const { return list_; }

private:
    std::vector<ForwardingEntry>& entries_;
    ForwardingHost& host_;
    ReportList* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* addIntoRouter_ = nullptr;
    QPushButton* portsList_ = nullptr;
    QPushButton* portCheck_ = nullptr;
};
