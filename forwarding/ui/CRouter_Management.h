#pragma once

#include "forwarding/core/RouterMappings.h"
#include "router/core/RouterEntry.h"

#include <QDialog>
#include <QPersistentModelIndex>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velmora {
class DialogWorker;
class LeaseBook;
class ReportList;
} // namespace velmora
class QPushButton;

// "Router Management": the port mappings the router selected in the router
// box holds, read through the program's own UPnP client on a worker thread
// (rows appear as they come), then the pinholes and PCP mappings this
// program holds there, deletion of the first selected one, and the port
// tester page. Close returns at once; late results are dropped.
class CRouter_Management final : public QDialog
{
    Q_OBJECT
public:
    // `router` is the router box's selection (null when none is found);
    // `openPortTester` opens the port tester page; `listingLimit`: entries a
    // listing reads at most (tests lower it).
    CRouter_Management(bool routerFound, velmora::RouterEntryPtr router,
                       std::function<void()> openPortTester, QWidget* parent = nullptr,
                       int listingLimit = UpnpClient::kMaxListedMappings);
    ~CRouter_Management() override;

    velmora::ReportList* list() const { return list_; }
    // The pinholes and PCP mappings this program holds (listed after the router's own).
    void setLeaseBook(std::shared_ptr<velmora::LeaseBook> book) { book_ = std::move(book); }
    bool listingFinished() const { return listingFinished_; }
    // Deletions sent and answered so far.
    int deletionsAnswered() const { return deletionsAnswered_; }

    // Told, on the GUI thread, of each mapping the user deletes (as Delete is
    // pressed, whatever the router answers).
    using DeletionListener = std::function<void(const std::string& protocol, uint16_t port)>;
    void setDeletionListener(DeletionListener listener) { deleted_ = std::move(listener); }

    void done(int result) override;

private:
    void startListing();
    void listingDone(bool read, UpnpClient::ListingEnd end, int limit);
    void deleteFirstSelected();

    bool routerFound_ = false;
    velmora::RouterEntryPtr router_;
    velmora::RouterEndpoint endpoint_;
    std::shared_ptr<velmora::LeaseBook> book_;
    std::function<void()> openPortTester_;
    DeletionListener deleted_;
    int listingLimit_;
    velmora::ReportList* list_ = nullptr;
    QPushButton* test_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* close_ = nullptr;
    std::unique_ptr<velmora::DialogWorker> listing_;
    std::vector<std::unique_ptr<velmora::DialogWorker>> deletions_;
    // Rows whose deletion waits for the router's answer, by deletion.
    std::map<int, QPersistentModelIndex> pendingRows_;
    int nextDeletion_ = 0;
    bool listingFinished_ = false;
    int deletionsAnswered_ = 0;
};
