#pragma once

#include "config/core/Records.h"
#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/PortCheck.h"
#include "forwarding/ui/CRouter_Add_Port.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

class ForwardingHost;
class QProgressDialog;
class QPushButton;
class ReportList;
class RouterInstallTask;
struct RouterEntry;

namespace velmora {
class NatPmpLeaseKeeper;
}

// The "Port Forwarding" page: the forwarding list as a table (row i shows
// entry i of the main window's list), Add/Edit/Delete, "Add into Router"
// and "Ports List".
class CFormView_Client : public QWidget
{
    Q_OBJECT
public:
    // Makes the writer that installs mappings in a router (tests replace it).
    using WriterFactory =
        std::function<std::unique_ptr<velmora::MappingWriter>(const RouterEntry& router)>;

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

    // The Add button's road with a dialog that opens filled from `values`,
    // over `dialogParent` (this page when null).
    void addEntryFrom(const CRouter_Add_Port::Prefill& values, QWidget* dialogParent = nullptr);

    ReportList* list() const { return list_; }

    // Lifetime asked for NAT-PMP mappings, in seconds (7200 unless a test shortens it).
    void setNatPmpLifetime(uint32_t seconds) { natPmpLifetime_ = seconds; }
    void setWriterFactory(WriterFactory factory) { writerFactory_ = std::move(factory); }
    void setInstallOptions(const velmora::InstallOptions& options) { installOptions_ = options; }
    void setPortCheckOptions(const velmora::PortCheckOptions& options) { checkOptions_ = options; }
    // Whether an "Add into Router" run is still going.
    bool installing() const { return task_ != nullptr; }
    const velmora::NatPmpLeaseKeeper& natPmpLeases() const { return *leases_; }

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
    std::unique_ptr<velmora::MappingWriter> makeWriter(RouterEntry& router);
    void setRow(int row, const ForwardingEntry& entry);

    std::vector<ForwardingEntry>& entries_;
    ForwardingHost& host_;
    ReportList* list_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* edit_ = nullptr;
    QPushButton* delete_ = nullptr;
    QPushButton* addIntoRouter_ = nullptr;
    QPushButton* portsList_ = nullptr;
    QPushButton* portCheck_ = nullptr;

    std::unique_ptr<velmora::NatPmpLeaseKeeper> leases_;
    uint32_t natPmpLifetime_;
    WriterFactory writerFactory_;
    velmora::InstallOptions installOptions_;
    velmora::PortCheckOptions checkOptions_;
    RouterInstallTask* task_ = nullptr;
    QPointer<QProgressDialog> progress_;
};
