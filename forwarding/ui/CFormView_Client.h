#pragma once

#include "config/core/Records.h"
#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/MappingMonitor.h"
#include "forwarding/core/PortCheck.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "platform/ui/ListPage.h"
#include "router/core/RouterEntry.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QProgressDialog;
class QPushButton;

namespace velmora {
class ForwardingHost;
class RouterInstallTask;
class RouterMonitor;
class NatPmpLeaseKeeper;
class LeaseBook;
} // namespace velmora

// The "Port Forwarding" page: the forwarding list as a table (row i shows
// entry i of the main window's list), Add/Edit/Delete, "Add into Router"
// and "Ports List". When a scan finds routers it installs the entries whose
// type is "Y" without a dialog, and its monitor looks after those and every
// mapping installed during the run while monitoring is on.
class CFormView_Client : public QWidget
{
    Q_OBJECT
public:
    // Makes the writer that installs mappings in a router (tests replace it).
    using WriterFactory =
        std::function<std::unique_ptr<velmora::MappingWriter>(const RouterEntry& router)>;

    // `entries` is the main window's forwarding list; it and `host` outlive the view.
    CFormView_Client(std::vector<ForwardingEntry>& entries, velmora::ForwardingHost& host,
                     QWidget* parent = nullptr);
    ~CFormView_Client() override;

    // Rebuilds the rows from the list after loading.
    void reloadRows();
    // A scan begins: "Add into Router" and "Ports List" are disabled.
    void onScanStarted();
    // A scan found routers: "Ports List" is enabled, "Add into Router" follows the
    // selection, the "Y" entries are installed in the selected router and the
    // monitor watches it.
    void onRoutersFound();
    // The monitor setting: on, the mappings are looked after; off, nothing is watched.
    void setMonitoring(bool on);
    velmora::RouterMonitor* monitor() const { return monitor_; }
    // Whether the start-up install of the "Y" entries is still going.
    bool autoAdding() const { return autoTask_ != nullptr; }

    // The Add button's road with a dialog that opens filled from `values`,
    // over `dialogParent` (this page when null).
    void addEntryFrom(const CRouter_Add_Port::Prefill& values, QWidget* dialogParent = nullptr);

    velmora::ReportList* list() const { return page_.list; }

    // Lifetime asked for NAT-PMP mappings, in seconds (7200 unless a test shortens it).
    void setNatPmpLifetime(uint32_t seconds) { natPmpLifetime_ = seconds; }
    void setWriterFactory(WriterFactory factory) { writerFactory_ = std::move(factory); }
    void setInstallOptions(const velmora::InstallOptions& options) { installOptions_ = options; }
    void setPortCheckOptions(const velmora::PortCheckOptions& options) { checkOptions_ = options; }
    // Whether an "Add into Router" run is still going.
    bool installing() const { return task_ != nullptr; }
    // The user deleted this mapping from the router (Router Management, the
    // ports list): it is no longer looked after until Add into Router
    // installs it again.
    void mappingDeletedByUser(const std::string& protocol, uint16_t port);
    // An Add into Router run larger than this asks first.
    static constexpr size_t kAskAboveMappings = 1000;
    const velmora::NatPmpLeaseKeeper& natPmpLeases() const { return *leases_; }
    // The IPv6 pinholes and PCP mappings this program holds.
    std::shared_ptr<velmora::LeaseBook> leaseBook() const { return leaseBook_; }

signals:
    // Lines for the activity log and, when something went wrong or changed,
    // the text of one tray balloon (empty: none).
    void activity(const QStringList& lines, const QString& balloon);

private:
    void updateButtons();
    void addEntry();
    void runAddDialog(const CRouter_Add_Port::Prefill* values, QWidget* dialogParent);
    void editEntry();
    void deleteEntry();
    void showPortsList();
    void addIntoRouter();
    void portCheck();
    void installFinished(const velmora::InstallResult& result);
    // Cancel on the progress: it closes at once; the run ends in the background.
    void cancelInstall();
    void autoAdd(const velmora::RouterEntryPtr& router);
    void autoAddFinished(const velmora::MappingPlan& plan, const velmora::InstallResult& result);
    void installed(const velmora::InstallResult& result);
    void refreshWatch();
    // After Add, Edit or Delete: the monitor's list follows and the file is saved.
    void entriesChanged();
    std::unique_ptr<velmora::MappingWriter> makeWriter(RouterEntry& router);
    // Starts a run; pinholes join it where the router offers them.
    // Pinholes in `skip` are left out (the user deleted them).
    void startTask(velmora::RouterInstallTask* task, const velmora::RouterEntryPtr& router,
                   const std::vector<ForwardingEntry>& entries,
                   const std::set<velmora::MappingKey>& skip = {});
    // The router's offer became known during a run: the monitor and the
    // watch list take its pinholes in.
    void takeOffer(const velmora::RouterEntryPtr& router);
    void setRow(int row, const ForwardingEntry& entry);
    // The first selected row when it shows an entry, or -1.
    int selectedEntryRow() const;

    std::vector<ForwardingEntry>& entries_;
    velmora::ForwardingHost& host_;
    velmora::ListPage page_;
    QPushButton* addIntoRouter_ = nullptr;
    QPushButton* portsList_ = nullptr;
    QPushButton* portCheck_ = nullptr;

    std::shared_ptr<velmora::NatPmpLeaseKeeper> leases_;
    std::shared_ptr<velmora::LeaseBook> leaseBook_;
    // The computer's address the pinholes of "Y" entries lead to ("": none).
    std::string pinholeAddress_;
    std::weak_ptr<RouterEntry> offerRouter_; // the router whose pinholes the monitor watches
    uint32_t natPmpLifetime_;
    WriterFactory writerFactory_;
    velmora::InstallOptions installOptions_;
    velmora::PortCheckOptions checkOptions_;
    velmora::RouterInstallTask* task_ = nullptr;
    velmora::RouterEntryPtr taskRouter_;
    velmora::RouterInstallTask* autoTask_ = nullptr;
    QPointer<QProgressDialog> progress_;
    velmora::RouterMonitor* monitor_ = nullptr;
    // Mappings installed and read back during this run.
    std::vector<velmora::MappingRequest> installed_;
    // Mappings the user deleted from the router during this run.
    std::set<velmora::MappingKey> deletedByUser_;
};
