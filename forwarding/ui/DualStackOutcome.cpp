#include "forwarding/ui/DualStackOutcome.h"

#include "forwarding/core/PinholePlan.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"

#include <QCoreApplication>

namespace velmora {
namespace {

QString Because(const Message& problem)
{
    return problem.empty() ? QString()
                           : " " + Tr(QT_TRANSLATE_NOOP("velmora", "(%1)")).arg(Words(problem));
}

} // namespace

QString DualStackOutcomeText(const InstallResult& result)
{
    const FamilyCounts held = CountFamilies(result.held);
    const size_t mappings = result.requested - result.pinholesRequested;
    const QString address = QString::fromStdString(result.pinholeAddress);
    QStringList lines;
    if (mappings > 0) {
        lines << Tr(QT_TRANSLATE_NOOP("velmora",
                                      "IPv4: %1 of %2 port mappings added into the router."))
                         .arg(held.ipv4)
                         .arg(mappings) +
                     (held.ipv4 < mappings ? Because(result.mappingProblem) : QString());
    }
    lines << Tr(QT_TRANSLATE_NOOP("velmora", "IPv6: %1 of %2 pinholes opened for %3."))
                     .arg(held.ipv6)
                     .arg(result.pinholesRequested)
                     .arg(address) +
                 (held.ipv6 < result.pinholesRequested ? Because(result.pinholeProblem)
                                                       : QString());
    if (held.ipv6 > 0)
        lines << Tr(QT_TRANSLATE_NOOP(
                        "velmora",
                        "Over IPv6 a program on this computer is reachable at [%1]:port."))
                     .arg(address);
    if (result.cancelled)
        lines << Tr(QT_TRANSLATE_NOOP("velmora", "Cancelled before the end."));
    return lines.join("\n");
}

} // namespace velmora
