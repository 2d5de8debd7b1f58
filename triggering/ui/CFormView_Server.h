#pragma once

#include "config/core/Records.h"

#include <QWidget>

#include <vector>

class QPushButton;
class ReportList;

// The "Port Triggering" page: the triggering list as a table (row i shows
// entry i of the main window's list), Add/Edit/Delete and Start/Stop.
class CFormView_Server : public QWidget
{
    Q_OBJECT
public:
    // `entries` is the main window's triggering list; it outlives the view.
    explicit CFormView_Server(std::vector<TriggeringEntry>& entries, QWidget* parent = nullptr);
    ~CFormView_Server() override;

    // Rebuilds the rows from the list after loading, every row at "stop".
    void reloadRows();
    // Start-up: starts every entry whose auto start is exactly "Y".
    void startAutoStartEntries();

    ReportList* list() const { return list_; }

private:
    std::vector<TriggeringEntry>& entries_;
    ReportList* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
};
