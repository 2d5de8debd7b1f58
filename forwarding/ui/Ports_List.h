#pragma once

#include "forwarding/core/PortCheck.h"
#include "forwarding/core/RouterMappings.h"
#include "router/core/RouterEntry.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPushButton;
class QTimer;

namespace velmora {
class DialogWorker;
class LeaseBook;
class ReportList;
} // namespace velmora

// "Ports list in router": the mappings a UPnP router holds, read on a worker
// thread while the dialog shows, then the pinholes and PCP mappings this
// program holds there; deletes the selected ones and checks one. A NAT-PMP
// gateway that speaks PCP lists only what this program holds.
class Ports_List final : public QDialog
{
    Q_OBJECT
public:
    // `listingLimit`: rows a listing reads at most (tests lower it).
    Ports_List(velmora::RouterEntryPtr router, QWidget* parent = nullptr,
               int listingLimit = velmora::kMaxListedMappings);
    ~Ports_List() override;

    bool listingFinished() const { return finished_; }
    // Deletion requests the router has answered so far.
    int deletionsAnswered() const { return deletionsAnswered_; }
    velmora::ReportList* list() const { return list_; }
    // The pinholes and PCP mappings this program holds (listed after the router's own).
    void setLeaseBook(std::shared_ptr<velmora::LeaseBook> book) { book_ = std::move(book); }
    // Options for the checks this dialog runs (tests shorten them).
    void setPortCheckOptions(const velmora::PortCheckOptions& options) { checkOptions_ = options; }

    // How long the listing may go without a new row before it is given up
    // (tests shorten it).
    void setStallLimit(int milliseconds);
    static constexpr int kDefaultStallLimitMs = 15000;
    bool listingStalled() const { return stalled_; }

    // Told of each mapping the user deletes (as the request is queued).
    using DeletionListener = std::function<void(const std::string& protocol, uint16_t port)>;
    void setDeletionListener(DeletionListener listener) { deleted_ = std::move(listener); }

    // Ends the dialog at once, also while the listing still runs; deletions
    // already asked for are still sent.
    void done(int result) override;

private:
    void startListing();
    void giveUpListing();
    void updateButtons();
    void deleteSelected();
    void checkSelected();
    // Sends the queued deletions on a worker of their own; `released`: the
    // dialog is closing and the worker goes on unwatched.
    void startDeletions(bool released = false);
    void listingEnded(bool capped);
    void removeDeletedRow(qint64 token);

    // A row on its way out: its first cell carries the token.
    static constexpr int kDeletionRole = Qt::UserRole + 1;
    struct Deletion
    {
        qint64 token;
        std::string port;
        std::string protocol;
        std::string leaseKey; // a lease of ours: closed through the book
    };

    velmora::RouterEntryPtr router_;
    velmora::RouterEndpoint endpoint_;
    std::shared_ptr<velmora::LeaseBook> book_;
    velmora::PortCheckOptions checkOptions_;
    DeletionListener deleted_;
    int listingLimit_;
    velmora::ReportList* list_ = nullptr;
    QPushButton* portCheck_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* cancel_ = nullptr;
    std::unique_ptr<velmora::DialogWorker> listing_;
    // Deletions go out one at a time: the worker takes the queue as it stands
    // and the rows chosen meanwhile wait for it to end.
    std::unique_ptr<velmora::DialogWorker> deletion_;
    std::vector<Deletion> queuedDeletions_;
    bool deleting_ = false;
    qint64 lastDeletionToken_ = 0;
    int deletionsAnswered_ = 0;
    // Restarted by every row: a router that trickles or stalls its answers
    // cannot hold the listing open for ever.
    QTimer* stall_ = nullptr;
    bool finished_ = false;
    bool stalled_ = false;
};
