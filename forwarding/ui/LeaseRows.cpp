#include "forwarding/ui/LeaseRows.h"

#include "forwarding/core/LeaseExchange.h"
#include "platform/ui/ReportList.h"
#include "platform/ui/Tr.h"

#include <QCoreApplication>

namespace velmora {
namespace {

constexpr int kLeaseKeyRole = Qt::UserRole + 7;

// "1:59:40"
QString Duration(uint32_t seconds)
{
    return QString("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QChar('0'))
        .arg(seconds % 60, 2, 10, QChar('0'));
}

} // namespace

QStringList LeaseRowCells(const HeldLease& lease, HeldLease::Clock::time_point now)
{
    const QString protocol = QString::fromStdString(lease.request.protocol);
    const QString client = QString::fromStdString(lease.request.internalClient);
    return {QString::fromStdString(lease.request.description),
            lease.ipv6() ? Tr(QT_TRANSLATE_NOOP("velmora", "%1 (IPv6)")).arg(protocol) : protocol,
            QString::number(lease.request.port),
            Tr(QT_TRANSLATE_NOOP("velmora", "%1 (%2 left)"))
                .arg(client, Duration(lease.secondsLeft(now)))};
}

bool LeaseBelongsTo(const HeldLease& lease, const RouterEntry& router)
{
    return router.is_apple ? lease.route.via == LeaseRoute::Via::Pcp : lease.ipv6();
}

void AppendLeaseRows(ReportList& list, const LeaseBook& book, const RouterEntry& router)
{
    const auto now = HeldLease::Clock::now();
    for (const HeldLease& lease : book.leases()) {
        if (!LeaseBelongsTo(lease, router))
            continue;
        const int row = list.appendRow(LeaseRowCells(lease, now));
        list.item(row, 0)->setData(kLeaseKeyRole, QString::fromStdString(LeaseKey(lease.request)));
    }
}

std::string LeaseKeyOfRow(const ReportList& list, int row)
{
    const QTableWidgetItem* first = list.item(row, 0);
    return first ? first->data(kLeaseKeyRole).toString().toStdString() : std::string();
}

std::string LeaseWatchProtocol(const std::string& key)
{
    // "IPv6 TCP 80", "IPv4 TCP 80"
    const std::string protocol = key.substr(0, key.rfind(' '));
    return protocol.rfind("IPv4 ", 0) == 0 ? protocol.substr(5) : protocol;
}

bool CloseLease(LeaseBook& book, const std::string& key)
{
    HeldLease lease;
    if (!book.release(key, &lease))
        return false;
    if (CloseHeldLease(lease))
        return true;
    book.hold(lease);
    return false;
}

} // namespace velmora
