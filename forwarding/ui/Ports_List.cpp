#include "forwarding/ui/Ports_List.h"

#include "forwarding/core/PortList.h"
#include "forwarding/core/RouterMappings.h"
#include "forwarding/ui/CPort_Check.h"
#include "forwarding/ui/ForwardingTexts.h"
#include "forwarding/ui/LeaseRows.h"
#include "platform/DeadlineScale.h"
#include "platform/ui/DialogWorker.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/ReportList.h"
#include "platform/ui/Tr.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

Ports_List::Ports_List(velmora::RouterEntryPtr router, QWidget* parent, int listingLimit)
    : QDialog(parent), router_(std::move(router)), listingLimit_(listingLimit)
{
    setObjectName("Ports_List");
    setWindowTitle(tr("Ports list in router"));
    if (router_)
        endpoint_ = velmora::EndpointOf(*router_);

    list_ = new velmora::ReportList(
        {{tr("Name"), 120}, {tr("Protocol"), 80}, {tr("Port"), 120}, {tr("Internal IP"), 120}},
        tr("Ports list in router"), this);
    list_->setObjectName("portsList");
    portCheck_ = velmora::MakeFormButton(tr("Port Check"), "portCheckButton", this);
    delete_ = velmora::MakeFormButton(tr("Delete from router"), "deleteFromRouterButton", this);
    cancel_ = velmora::MakeFormButton(tr("Cancel"), "cancelButton", this);
    cancel_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(portCheck_);
    buttons->addWidget(delete_);
    buttons->addStretch(1);
    buttons->addWidget(cancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(500, 360);

    connect(list_, &QTableWidget::itemSelectionChanged, this, &Ports_List::updateButtons);
    connect(delete_, &QPushButton::clicked, this, &Ports_List::deleteSelected);
    connect(portCheck_, &QPushButton::clicked, this, &Ports_List::checkSelected);
    connect(cancel_, &QPushButton::clicked, this, &Ports_List::reject);

    stall_ = new QTimer(this);
    stall_->setSingleShot(true);
    stall_->setInterval(velmora::ScaledDeadline(std::chrono::milliseconds(kDefaultStallLimitMs)));
    connect(stall_, &QTimer::timeout, this, &Ports_List::giveUpListing);

    portCheck_->setEnabled(false);
    delete_->setEnabled(false);
    startListing();
}

Ports_List::~Ports_List() = default;

void Ports_List::setStallLimit(int milliseconds)
{
    stall_->setInterval(milliseconds);
    if (stall_->isActive())
        stall_->start();
}

void Ports_List::startListing()
{
    finished_ = false;
    stalled_ = false;
    stall_->start();
    const velmora::RouterEndpoint endpoint = endpoint_;
    const velmora::RouterEntryPtr keepAlive = router_; // its URLs stay valid while the thread runs
    const bool upnp = router_ && !router_->is_apple;
    listing_ = std::make_unique<velmora::DialogWorker>(
        this, [this, endpoint, keepAlive, upnp,
               limit = listingLimit_](velmora::GuiRelay& relay, const std::atomic<bool>& cancel) {
            const auto onRow = [&](const velmora::PortMappingRow& row) {
                relay.post([this, row] {
                    stall_->start();
                    list_->appendRow({QString::fromStdString(row.description),
                                      QString::fromStdString(row.protocol),
                                      QString::fromStdString(row.externalPort),
                                      QString::fromStdString(row.internalClient)});
                });
            };
            // A NAT-PMP gateway that speaks PCP has no list to read: only ours.
            const int rows = upnp ? velmora::ListPortMappings(endpoint, cancel, onRow, limit) : 0;
            // Queued after every row, so the flag is set once they are all in.
            relay.post([this, capped = upnp && rows >= limit] { listingEnded(capped); });
        });
}

void Ports_List::listingEnded(bool capped)
{
    stall_->stop();
    if (book_ && router_)
        velmora::AppendLeaseRows(*list_, *book_, *router_);
    finished_ = true;
    updateButtons();
    if (!capped)
        return;
    auto* box =
        new QMessageBox(QMessageBox::Warning, velmora::forwarding_texts::kAppCaption,
                        velmora::Tr(velmora::forwarding_texts::kListingCapped).arg(listingLimit_),
                        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Ports_List::giveUpListing()
{
    if (finished_)
        return;
    listing_->stop(); // its request in flight ends in the background
    if (book_ && router_)
        velmora::AppendLeaseRows(*list_, *book_, *router_);
    finished_ = true;
    stalled_ = true;
    updateButtons();
    // Shown without a nested event loop: the timer that got here must not be
    // held up, and closing the list closes the message with it.
    auto* box = new QMessageBox(QMessageBox::Warning, velmora::forwarding_texts::kAppCaption,
                                velmora::Tr(velmora::forwarding_texts::kListingStalled),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void Ports_List::updateButtons()
{
    const bool selected = list_->firstSelectedRow() >= 0;
    if (!selected) {
        portCheck_->setEnabled(false);
        delete_->setEnabled(false);
    } else if (finished_) {
        // The check asks the router about an IPv4 mapping.
        portCheck_->setEnabled(velmora::LeaseKeyOfRow(*list_, list_->firstSelectedRow()).empty());
        delete_->setEnabled(true);
    }
}

void Ports_List::deleteSelected()
{
    // Each selected row is marked and its request queued; one worker sends
    // the requests one after another and each row goes when its answer comes.
    for (int row : list_->selectedRowsAscending()) {
        QTableWidgetItem* first = list_->item(row, 0);
        if (!first || first->data(kDeletionRole).isValid())
            continue; // already on its way out
        const qint64 token = ++lastDeletionToken_;
        first->setData(kDeletionRole, token);
        queuedDeletions_.push_back({token, list_->cell(row, 2).toStdString(),
                                    list_->cell(row, 1).toStdString(),
                                    velmora::LeaseKeyOfRow(*list_, row)});
        if (deleted_) {
            const Deletion& deletion = queuedDeletions_.back();
            const int port = velmora::AtoiLike(deletion.port);
            if (port > 0 && port <= 65535)
                deleted_(deletion.leaseKey.empty() ? deletion.protocol
                                                   : velmora::LeaseWatchProtocol(deletion.leaseKey),
                         static_cast<uint16_t>(port));
        }
    }
    list_->clearSelection();
    if (!deleting_)
        startDeletions();
}

void Ports_List::startDeletions(bool released)
{
    if (queuedDeletions_.empty())
        return;
    deleting_ = true;
    auto worker = std::make_unique<velmora::DialogWorker>(
        this, [this, batch = std::move(queuedDeletions_), endpoint = endpoint_, keepAlive = router_,
               book = book_](velmora::GuiRelay& relay, const std::atomic<bool>&) {
            // Not cancelled when the dialog closes: the user asked for each of these.
            for (const Deletion& deletion : batch) {
                // The router's answer is not looked at: the row goes either way.
                if (!deletion.leaseKey.empty() && book)
                    velmora::CloseLease(*book, deletion.leaseKey);
                else
                    velmora::DeletePortMapping(endpoint, deletion.port, deletion.protocol);
                relay.post([this, token = deletion.token] { removeDeletedRow(token); });
            }
            relay.post([this] {
                deleting_ = false;
                startDeletions(); // rows chosen while these were on their way
            });
        });
    queuedDeletions_.clear();
    if (released)
        worker->release();
    else
        deletion_ = std::move(worker);
}

void Ports_List::removeDeletedRow(qint64 token)
{
    for (int row = 0; row < list_->rowCount(); ++row) {
        QTableWidgetItem* first = list_->item(row, 0);
        if (first && first->data(kDeletionRole).toLongLong() == token) {
            list_->removeRow(row);
            break;
        }
    }
    ++deletionsAnswered_;
    updateButtons();
}

void Ports_List::checkSelected()
{
    const int row = list_->firstSelectedRow();
    if (row < 0 || !velmora::LeaseKeyOfRow(*list_, row).empty())
        return;
    velmora::PortCheckTarget target;
    target.description = list_->cell(row, 0).toStdString();
    target.protocol = list_->cell(row, 1).toStdString();
    const int port = velmora::AtoiLike(list_->cell(row, 2).toStdString());
    target.externalPort = static_cast<uint16_t>(port >= 0 && port <= 65535 ? port : 0);
    target.internalClient = list_->cell(row, 3).toStdString();
    velmora::CPort_Check report(this);
    report.startCheck(endpoint_, target, checkOptions_);
    report.exec();
}

void Ports_List::done(int result)
{
    stall_->stop();
    if (listing_)
        listing_->stop();
    // Deletions asked for go out all the same, unwatched: the batch on its
    // way runs to its end and the rows queued behind it follow on their own.
    if (deletion_)
        deletion_->release();
    startDeletions(true);
    QDialog::done(result);
}
