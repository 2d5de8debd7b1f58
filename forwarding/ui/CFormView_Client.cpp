#include "forwarding/ui/CFormView_Client.h"

#include "forwarding/core/AutoAdd.h"
#include "forwarding/core/DualStackInstall.h"
#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MappingWriterFor.h"
#include "forwarding/core/MonitorTexts.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"
#include "forwarding/core/NatPmpMappingWriter.h"
#include "forwarding/core/PinholePlan.h"
#include "forwarding/core/PortList.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/CRouter_Add_Port.h"
#include "forwarding/ui/DualStackOutcome.h"
#include "forwarding/ui/ForwardingHost.h"
#include "forwarding/ui/ForwardingTexts.h"
#include "forwarding/ui/Ports_List.h"
#include "forwarding/ui/RouterInstallTask.h"
#include "forwarding/ui/RouterMonitor.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/ListPage.h"
#include "platform/ui/ReportList.h"
#include "platform/ui/StoredWords.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"
#include "router/core/RouterOffer.h"

#include <QGroupBox>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>

namespace texts = velmora::forwarding_texts;

CFormView_Client::CFormView_Client(std::vector<ForwardingEntry>& entries,
                                   velmora::ForwardingHost& host, QWidget* parent)
    : QWidget(parent), entries_(entries), host_(host),
      leases_(std::make_shared<velmora::NatPmpLeaseKeeper>()),
      leaseBook_(std::make_shared<velmora::LeaseBook>()),
      natPmpLifetime_(velmora::NatPmpMappingWriter::kLifetime)
{
    setObjectName("CFormView_Client");
    page_ = velmora::BuildListPage(
        this,
        {{{tr("Name"), 150}, {tr("Protocol"), 100}, {tr("Port"), 140}, {tr("Internal IP"), 140}},
         tr("Port Forwarding entries"),
         "forwardingList"});
    addIntoRouter_ =
        velmora::MakeFormButton(tr("Add into Router"), "addIntoRouterButton", page_.operation);
    portsList_ = velmora::MakeFormButton(tr("Ports List"), "portsListButton", page_.operation);
    portCheck_ = velmora::MakeFormButton(tr("Port Check"), "portCheckButton", page_.operation);
    velmora::LayOutButtonRow(page_.operation, {addIntoRouter_, portsList_, portCheck_},
                             velmora::ButtonSpacing::Packed);
    portCheck_->hide();

    for (auto* button : {page_.edit, page_.remove, addIntoRouter_, portsList_, portCheck_})
        button->setEnabled(false);

    connect(page_.list, &QTableWidget::itemSelectionChanged, this,
            &CFormView_Client::updateButtons);
    velmora::ConnectMaintenance(page_, this, &CFormView_Client::addEntry,
                                &CFormView_Client::editEntry, &CFormView_Client::deleteEntry);
    connect(portsList_, &QPushButton::clicked, this, &CFormView_Client::showPortsList);
    connect(addIntoRouter_, &QPushButton::clicked, this, &CFormView_Client::addIntoRouter);
    connect(portCheck_, &QPushButton::clicked, this, &CFormView_Client::portCheck);

    monitor_ = new velmora::RouterMonitor(*leases_, this);
    monitor_->setLeaseBook(leaseBook_);
    connect(monitor_, &velmora::RouterMonitor::reported, this, &CFormView_Client::activity);
}

CFormView_Client::~CFormView_Client()
{
    // A run still going stops after its request in flight, unreported (its
    // writer shares the lease keeper); the monitor joins its thread.
    delete task_;
    task_ = nullptr;
    delete autoTask_;
    autoTask_ = nullptr;
    delete monitor_;
    monitor_ = nullptr;
}

void CFormView_Client::reloadRows()
{
    page_.list->setRowCount(0);
    for (const auto& entry : entries_)
        setRow(page_.list->appendRow({}), entry);
    refreshWatch();
}

void CFormView_Client::setRow(int row, const ForwardingEntry& entry)
{
    page_.list->setRowCells(row, {QString::fromUtf8(velmora::Field(entry.name)),
                                  velmora::StoredWords(velmora::Field(entry.protocol)),
                                  QString::fromUtf8(velmora::Field(entry.listen_port)),
                                  QString::fromUtf8(velmora::Field(entry.destination_ip))});
}

void CFormView_Client::onScanStarted()
{
    addIntoRouter_->setEnabled(false);
    portsList_->setEnabled(false);
    monitor_->setRouter(nullptr, natPmpLifetime_);
}

void CFormView_Client::onRoutersFound()
{
    portsList_->setEnabled(true);
    updateButtons();
    velmora::RouterEntryPtr router = host_.selectedRouter();
    monitor_->setRouter(router, natPmpLifetime_);
    if (router)
        autoAdd(router);
}

void CFormView_Client::setMonitoring(bool on)
{
    monitor_->setEnabled(on);
}

void CFormView_Client::refreshWatch()
{
    monitor_->setMappings(
        velmora::WithPinholes(velmora::WatchList(entries_, installed_, deletedByUser_), entries_,
                              pinholeAddress_, velmora::IsThisComputer, deletedByUser_));
}

void CFormView_Client::mappingDeletedByUser(const std::string& protocol, uint16_t port)
{
    deletedByUser_.insert(velmora::KeyOfMapping(protocol, port));
    refreshWatch();
}

void CFormView_Client::startTask(velmora::RouterInstallTask* task,
                                 const velmora::RouterEntryPtr& router,
                                 const std::vector<ForwardingEntry>& entries,
                                 const std::set<velmora::MappingKey>& skip)
{
    // Tests that write through writers of their own have no router to ask.
    if (!writerFactory_) {
        task->setPreparation(
            [router, entries, skip, book = leaseBook_, lease = natPmpLifetime_](
                velmora::MappingPlan& plan, std::unique_ptr<velmora::MappingWriter>& writer) {
                velmora::PreparePinholes(*router, entries, book, lease, plan, writer, skip);
            });
    }
    task->start(installOptions_);
}

void CFormView_Client::takeOffer(const velmora::RouterEntryPtr& router)
{
    const std::optional<velmora::RouterOffer> offer =
        router ? velmora::KnownOfferOf(*router) : std::nullopt;
    const std::string address = offer && offer->pinholes ? offer->pinholeAddress : std::string();
    if (address != pinholeAddress_) {
        pinholeAddress_ = address;
        refreshWatch();
    }
    // The monitor takes the pinholes in once per router.
    if (offer && offer->pinholes && offerRouter_.lock() != router) {
        offerRouter_ = router;
        monitor_->offerKnown();
    }
}

void CFormView_Client::installed(const velmora::InstallResult& result)
{
    installed_.insert(installed_.end(), result.held.begin(), result.held.end());
    refreshWatch();
}

void CFormView_Client::autoAdd(const velmora::RouterEntryPtr& router)
{
    const std::vector<ForwardingEntry> automatic = velmora::AutoAddEntries(entries_);
    if (automatic.empty())
        return;
    delete autoTask_; // a run of an earlier scan: cancelled, unreported
    velmora::MappingPlan plan = velmora::PlanMappings(automatic);
    // What the user deleted during this run stays deleted until the next start.
    std::erase_if(plan.requests, [this](const velmora::MappingRequest& request) {
        return deletedByUser_.count(velmora::KeyOfRequest(request)) > 0;
    });
    if (plan.requests.empty() && plan.invalidPorts == 0)
        return;
    autoTask_ = new velmora::RouterInstallTask(makeWriter(*router), plan, this);
    connect(autoTask_, &velmora::RouterInstallTask::finished, this,
            [this, plan, router](const velmora::InstallResult& result) {
                autoAddFinished(plan, result);
                takeOffer(router);
            });
    startTask(autoTask_, router, automatic, deletedByUser_);
}

void CFormView_Client::autoAddFinished(const velmora::MappingPlan& plan,
                                       const velmora::InstallResult& result)
{
    autoTask_->deleteLater();
    autoTask_ = nullptr;
    installed(result);
    const velmora::MonitorReport report = velmora::AutoAddReport(plan, result);
    QStringList lines;
    for (const auto& line : report.lines)
        lines << QString::fromStdString(line);
    QString balloon = velmora::Words(report.balloon);
    // The log in English, the balloon in the user's language.
    if (const velmora::Message pinholes = velmora::AutoAddPinholeLine(result); !pinholes.empty()) {
        lines << QString::fromStdString(velmora::English(pinholes));
        if (velmora::CountFamilies(result.held).ipv6 < result.pinholesRequested)
            balloon += (balloon.isEmpty() ? "" : "\n") + velmora::Words(pinholes);
    }
    emit activity(lines, balloon);
}

int CFormView_Client::selectedEntryRow() const
{
    const int row = page_.list->firstSelectedRow();
    return row < static_cast<int>(entries_.size()) ? row : -1;
}

void CFormView_Client::updateButtons()
{
    const bool selected = page_.list->firstSelectedRow() >= 0;
    page_.edit->setEnabled(selected);
    page_.remove->setEnabled(selected);
    portCheck_->setEnabled(selected);
    addIntoRouter_->setEnabled(selected && host_.routerFound() && !task_);
}

void CFormView_Client::addEntry()
{
    runAddDialog(nullptr, this);
}

void CFormView_Client::addEntryFrom(const CRouter_Add_Port::Prefill& values, QWidget* dialogParent)
{
    runAddDialog(&values, dialogParent ? dialogParent : this);
}

void CFormView_Client::runAddDialog(const CRouter_Add_Port::Prefill* values, QWidget* dialogParent)
{
    CRouter_Add_Port dialog(entries_, nullptr, dialogParent);
    if (values)
        dialog.prefill(*values);
    if (dialog.exec() != QDialog::Accepted)
        return;
    entries_.push_back(dialog.entry());
    setRow(page_.list->appendRow({}), entries_.back());
    entriesChanged();
}

void CFormView_Client::entriesChanged()
{
    refreshWatch();
    host_.saveConfig();
}

void CFormView_Client::editEntry()
{
    const int row = selectedEntryRow();
    if (row < 0)
        return;
    auto& entry = entries_[static_cast<size_t>(row)];
    CRouter_Add_Port dialog(entries_, &entry, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    velmora::ForgetInstalled(installed_, entry, &dialog.entry());
    entry = dialog.entry();
    setRow(row, entry);
    entriesChanged();
}

void CFormView_Client::deleteEntry()
{
    const int row = selectedEntryRow();
    if (row < 0)
        return;
    velmora::ForgetInstalled(installed_, entries_[static_cast<size_t>(row)], nullptr);
    entries_.erase(entries_.begin() + row);
    page_.list->removeRow(row);
    entriesChanged();
}

void CFormView_Client::showPortsList()
{
    if (!host_.routerFound())
        return;
    velmora::RouterEntryPtr router = host_.selectedRouter();
    if (!router)
        return;
    if (router->is_apple && !router->speaks_pcp) {
        QMessageBox::warning(this, texts::kAppCaption, velmora::Tr(texts::kAppleNoPortsList));
        return;
    }
    Ports_List dialog(router, this);
    dialog.setLeaseBook(leaseBook_);
    dialog.setPortCheckOptions(checkOptions_);
    dialog.setDeletionListener([this](const std::string& protocol, uint16_t port) {
        mappingDeletedByUser(protocol, port);
    });
    dialog.exec();
}

std::unique_ptr<velmora::MappingWriter> CFormView_Client::makeWriter(RouterEntry& router)
{
    if (writerFactory_)
        return writerFactory_(router);
    return velmora::MappingWriterFor(router, leases_, natPmpLifetime_, leaseBook_);
}

void CFormView_Client::addIntoRouter()
{
    if (task_ || !host_.routerFound())
        return;
    velmora::RouterEntryPtr router = host_.selectedRouter();
    const auto rows = page_.list->selectedRowsAscending();
    if (!router || rows.empty())
        return;
    std::vector<ForwardingEntry> selected;
    for (int row : rows) {
        if (row < static_cast<int>(entries_.size()))
            selected.push_back(entries_[static_cast<size_t>(row)]);
    }

    velmora::MappingPlan plan = velmora::PlanMappings(selected);
    if (plan.requests.size() > kAskAboveMappings) {
        const auto answer = QMessageBox::question(
            this, texts::kAppCaption,
            velmora::Tr(texts::kManyMappings).arg(static_cast<qulonglong>(plan.requests.size())));
        if (answer != QMessageBox::Yes)
            return;
    }

    taskRouter_ = router;
    task_ = new velmora::RouterInstallTask(makeWriter(*router), std::move(plan), this);
    connect(task_, &velmora::RouterInstallTask::finished, this, &CFormView_Client::installFinished);
    const qint64 total = task_->totalSteps();
    progress_ = new QProgressDialog(velmora::Tr(texts::kAdding), tr("Cancel"), 0,
                                    static_cast<int>(total), this);
    progress_->setObjectName("addIntoRouterProgress");
    progress_->setWindowTitle(tr("Add into Router"));
    progress_->setWindowModality(Qt::WindowModal);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    progress_->setMinimumDuration(500); // a few ports are done before it would show
    connect(progress_, &QProgressDialog::canceled, this, &CFormView_Client::cancelInstall);
    connect(task_, &velmora::RouterInstallTask::progressed, progress_,
            [progress = progress_](qint64 done, qint64 steps) {
                progress->setMaximum(static_cast<int>(steps)); // pinholes may have joined
                progress->setValue(static_cast<int>(done));
            });
    progress_->setValue(0);
    updateButtons();
    startTask(task_, router, selected);
}

void CFormView_Client::cancelInstall()
{
    if (task_)
        task_->cancel(); // nothing more is sent; the request in flight ends on its own
    if (progress_) {
        progress_->close();
        progress_->deleteLater();
    }
}

void CFormView_Client::installFinished(const velmora::InstallResult& result)
{
    if (progress_) {
        progress_->close();
        progress_->deleteLater();
    }
    task_->deleteLater();
    task_ = nullptr;
    // What was installed is looked after in the router it went to, also what
    // the user had deleted before.
    const velmora::RouterEntryPtr router = std::move(taskRouter_);
    monitor_->setRouter(router, natPmpLifetime_);
    takeOffer(router);
    for (const auto& request : result.held)
        deletedByUser_.erase(velmora::KeyOfRequest(request));
    installed(result);
    updateButtons();
    if (result.cancelled) {
        const QString line = QString(texts::kAddCancelled)
                                 .arg(static_cast<qulonglong>(result.accepted))
                                 .arg(static_cast<qulonglong>(result.requested));
        emit activity({line}, {});
    } else if (result.pinholesRequested > 0) {
        // One message for both: what was opened over IPv4 and over IPv6.
        QMessageBox box(result.failed > 0 ? QMessageBox::Warning : QMessageBox::Information,
                        texts::kAppCaption, velmora::DualStackOutcomeText(result), QMessageBox::Ok,
                        this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    } else if (result.failed > 0) {
        QMessageBox::warning(this, texts::kAppCaption, velmora::Tr(texts::kAddFailed));
    }
}

void CFormView_Client::portCheck()
{
    const int row = selectedEntryRow();
    velmora::RouterEntryPtr router = host_.selectedRouter();
    if (row < 0 || !router || router->is_apple)
        return;
    const auto& entry = entries_[static_cast<size_t>(row)];
    const auto ports = velmora::ExpandPortList(velmora::Field(entry.listen_port)).ports;
    if (ports.empty())
        return;
    velmora::PortCheckTarget target;
    target.description = std::string(velmora::Field(entry.name));
    target.protocol = velmora::ProtocolsOf(velmora::Field(entry.protocol)).front();
    target.externalPort = ports.front();
    target.internalClient = std::string(velmora::Field(entry.destination_ip));
    velmora::CPort_Check dialog(this);
    dialog.startCheck(velmora::EndpointOf(*router), target, checkOptions_);
    dialog.exec();
}
