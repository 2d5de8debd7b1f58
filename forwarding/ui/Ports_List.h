#pragma once

#include "forwarding/core/PortCheck.h"
#include "router/core/RouterEntry.h"

#include <QDialog>
#include <memory>

namespace velmora {
class DialogWorker;
}
class QPushButton;
class ReportList;

// "Ports list in router": the mappings a UPnP router holds, read on a worker
// thread while the dialog shows; deletes the selected ones and checks one.
class Ports_List final : public QDialog
{
    Q_OBJECT
public:
    Ports_List(RouterEntryPtr router, QWidget* parent = nullptr);
    ~Ports_List() override;

    bool listingFinished() const { return finished_; }
    ReportList* list() const { return list_; }
    // Options for the checks this dialog runs (tests shorten them).
    void setPortCheckOptions(const velmora::PortCheckOptions& options) { checkOptions_ = options; }

    // Ends the dialog at once, also while the listing still runs.
    void done(int result) override;

private:
    void startListing();
    void updateButtons();
    void deleteSelected();
    void checkSelected();

    RouterEntryPtr router_;
    velmora::RouterEndpoint endpoint_;
    velmora::PortCheckOptions checkOptions_;
    ReportList* list_ = nullptr;
    QPushButton* portCheck_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::unique_ptr<velmora::DialogWorker> listing_;
    bool finished_ = false;
};
