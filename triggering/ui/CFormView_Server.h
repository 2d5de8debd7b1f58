#pragma once

#include "config/core/Records.h"
#include "platform/ui/GuiRelay.h"
#include "platform/ui/ListPage.h"
#include "triggering/core/TriggeringRun.h"

#include <QStringList>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <vector>

class QPushButton;

// The "Port Triggering" page: the triggering list as a table (row i shows
// entry i of the main window's list), Add/Edit/Delete and Start/Stop.
// Everything here runs on the GUI thread, the only thread that touches the
// list; workers report their end through queued calls.
class CFormView_Server : public QWidget
{
    Q_OBJECT
public:
    // `entries` is the main window's triggering list; it outlives the view.
    explicit CFormView_Server(std::vector<TriggeringEntry>& entries, QWidget* parent = nullptr);
    ~CFormView_Server() override;

    // Rebuilds the rows from the list after loading, every row at "stop".
    void reloadRows();
    // Start-up: starts every entry whose auto start is exactly "Y"; one message
    // names those that the program-wide allowance of workers kept back.
    void startAutoStartEntries();

    velmora::ReportList* list() const { return page_.list; }

    // The button handlers (also reached through the buttons).
    void addEntry();
    void editEntry();
    void deleteEntry();
    void startSelected();
    void stopSelected();

    // The run of the latest Start of row `row`, or null.
    std::shared_ptr<velmora::TriggeringRun> runAt(int row) const;

    // Called after every add, edit and delete, so that config.xml follows at once.
    void setSaveConfig(std::function<void()> save) { saveConfig_ = std::move(save); }

    // Shorter waits for tests: the workers' grace pause and the notice time
    // (and no lowest pause between rounds).
    void setTimingForTesting(std::chrono::milliseconds grace, int noticeMilliseconds);

private:
    void updateButtons();
    void setButtons(bool edit, bool remove, bool start, bool stop);
    void setStatus(int row, const char* status);
    bool isRunning(int row) const;
    bool validRow(int row) const;
    // False, with the row left at "stop", when the program-wide allowance of
    // workers has no room for the entry's.
    bool startRow(int row);
    // Names the entries that the allowance kept from starting, if any.
    void reportNotStarted(const QStringList& names);
    void showNotice();
    void workerEnded(const std::shared_ptr<velmora::TriggeringRun>& run);
    void entriesChanged();

    std::vector<TriggeringEntry>& entries_;
    std::function<void()> saveConfig_;
    // runs_[i] belongs to row i: the workers of its latest Start.
    std::vector<std::shared_ptr<velmora::TriggeringRun>> runs_;
    // Carries the workers' end reports to this page; cut when the page goes.
    std::shared_ptr<velmora::GuiRelay> relay_;
    velmora::TriggeringTiming timing_;
    int noticeMilliseconds_;

    velmora::ListPage page_;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
};
