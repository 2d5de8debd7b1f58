#include "forwarding/ui/CRouter_Management.h"

#include "forwarding/core/PortList.h"
#include "forwarding/core/ProgramUpnpClient.h"
#include "forwarding/ui/ForwardingTexts.h"
#include "forwarding/ui/LeaseRows.h"
#include "platform/ui/DialogWorker.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/ReportList.h"
#include "platform/ui/Tr.h"
#include "upnp/core/PortMappingList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QVBoxLayout>
#include <span>

namespace texts = velmora::forwarding_texts;

namespace {
constexpr char kListLabel[] =
    QT_TRANSLATE_NOOP("velmora", "Current port forwarding entry in router:");
constexpr char kListingFailed[] =
    QT_TRANSLATE_NOOP("velmora", "Failed to get router's port mappings!");

QStringList RowOf(const MappingRecord& record)
{
    return {QString::fromStdString(record.mapping_desc), QString::fromStdString(record.protocol),
            QString::fromStdString(record.external_port),
            QString::fromStdString(record.internal_client)};
}
} // namespace

CRouter_Management::CRouter_Management(bool routerFound, velmora::RouterEntryPtr router,
                                       std::function<void()> openPortTester, QWidget* parent,
                                       int listingLimit)
    : QDialog(parent), routerFound_(routerFound), router_(std::move(router)),
      openPortTester_(std::move(openPortTester)), listingLimit_(listingLimit)
{
    setObjectName("CRouter_Management");
    setWindowTitle(tr("Router Management"));
    if (router_)
        endpoint_ = velmora::EndpointOf(*router_);

    auto* label = new QLabel(velmora::Tr(kListLabel), this);
    list_ = new velmora::ReportList(
        {{tr("Name"), 130}, {tr("Protocol"), 80}, {tr("Port"), 80}, {tr("Internal IP"), 100}},
        velmora::Tr(kListLabel), this);
    list_->setObjectName("mappingList");
    label->setBuddy(list_);
    test_ = velmora::MakeFormButton(tr("Test"), "testButton", this);
    delete_ = velmora::MakeFormButton(tr("Delete"), "deleteButton", this);
    close_ = velmora::MakeFormButton(tr("Close"), "closeButton", this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(test_);
    buttons->addStretch(1);
    buttons->addWidget(delete_);
    buttons->addWidget(close_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(460, 320);

    connect(test_, &QPushButton::clicked, this, [this] {
        if (openPortTester_)
            openPortTester_();
    });
    connect(delete_, &QPushButton::clicked, this, &CRouter_Management::deleteFirstSelected);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    startListing();
}

CRouter_Management::~CRouter_Management() = default;

void CRouter_Management::startListing()
{
    if (!routerFound_ || !router_) {
        listingFinished_ = true; // nothing to list, and nothing to say
        return;
    }
    if (router_->is_apple && router_->speaks_pcp) {
        // PCP cannot list a gateway's mappings: only what this program holds there.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (book_)
                    velmora::AppendLeaseRows(*list_, *book_, *router_);
                listingFinished_ = true;
            },
            Qt::QueuedConnection);
        return;
    }
    if (router_->is_apple) {
        listingFinished_ = true;
        // Over the open dialog.
        QMetaObject::invokeMethod(
            this,
            [this] {
                QMessageBox::warning(this, texts::kAppCaption,
                                     velmora::Tr(texts::kAppleNoPortsList));
            },
            Qt::QueuedConnection);
        return;
    }
    const velmora::RouterEndpoint endpoint = endpoint_;
    listing_ = std::make_unique<velmora::DialogWorker>(
        this, [this, endpoint, limit = listingLimit_](velmora::GuiRelay& relay,
                                                      const std::atomic<bool>& cancel) {
            auto end = UpnpClient::ListingEnd::Complete;
            const bool read = velmora::ProgramUpnpClient::instance().run(
                endpoint, cancel, [this, &relay, &end, limit](UpnpClient& client) {
                    client.max_listed = limit;
                    // One queued call per router answer, however many rows it holds.
                    client.mappings_added = [this, &relay](std::span<const MappingRecord> records) {
                        QList<QStringList> rows;
                        rows.reserve(static_cast<qsizetype>(records.size()));
                        for (const MappingRecord& record : records)
                            rows.push_back(RowOf(record));
                        relay.post([this, rows = std::move(rows)] { list_->appendRows(rows); });
                    };
                    const bool ok = velmora::ReadMappingTable(client);
                    end = client.listing_end;
                    return ok;
                });
            // Queued after every row.
            relay.post([this, read, end, limit] { listingDone(read, end, limit); });
        });
}

void CRouter_Management::listingDone(bool read, UpnpClient::ListingEnd end, int limit)
{
    listingFinished_ = true;
    if (read && book_)
        velmora::AppendLeaseRows(*list_, *book_, *router_);
    if (!read) {
        list_->setRowCount(0); // a failed listing shows no rows
        QMessageBox::warning(this, texts::kAppCaption, velmora::Tr(kListingFailed));
    } else if (end != UpnpClient::ListingEnd::Complete) {
        // The rows shown are not the whole table: say so rather than let them pass for it.
        const QString text = end == UpnpClient::ListingEnd::Capped
                                 ? velmora::Tr(texts::kListingCapped).arg(limit)
                                 : velmora::Tr(texts::kListingStalled);
        QMessageBox::warning(this, texts::kAppCaption, text);
    }
}

void CRouter_Management::deleteFirstSelected()
{
    if (!routerFound_ || !router_)
        return;
    const int row = list_->firstSelectedRow();
    if (row < 0)
        return;
    const std::string leaseKey = velmora::LeaseKeyOfRow(*list_, row);
    if (router_->is_apple && leaseKey.empty())
        return;
    const std::string protocol = list_->cell(row, 1).toStdString();
    const int number = velmora::AtoiLike(list_->cell(row, 2).toStdString());
    const auto port = static_cast<uint16_t>(number);
    if (deleted_)
        deleted_(leaseKey.empty() ? protocol : velmora::LeaseWatchProtocol(leaseKey), port);
    // The row is found again by this index when the answer comes: rows added
    // or removed meanwhile move it.
    const int id = nextDeletion_++;
    pendingRows_.emplace(id, QPersistentModelIndex(list_->model()->index(row, 0)));
    const velmora::RouterEndpoint endpoint = endpoint_;
    deletions_.push_back(std::make_unique<velmora::DialogWorker>(
        this, [this, endpoint, port, protocol, id, leaseKey,
               book = book_](velmora::GuiRelay& relay, const std::atomic<bool>& cancel) {
            const bool deleted = !leaseKey.empty()
                                     ? book && velmora::CloseLease(*book, leaseKey)
                                     : velmora::ProgramUpnpClient::instance().run(
                                           endpoint, cancel, [&](UpnpClient& client) {
                                               return client.DeletePortMapping(port, protocol);
                                           });
            relay.post([this, deleted, id] {
                ++deletionsAnswered_;
                const QPersistentModelIndex key = pendingRows_.at(id);
                pendingRows_.erase(id);
                if (deleted && key.isValid())
                    list_->removeRow(key.row()); // a refusal leaves the row, without a word
            });
        }));
}

void CRouter_Management::done(int result)
{
    if (listing_)
        listing_->stop();
    // A deletion the user asked for is carried out all the same; only its
    // answer is no longer shown.
    for (auto& deletion : deletions_)
        deletion->release();
    QDialog::done(result);
}
