#include "forwarding/core/DualStackInstall.h"

#include "forwarding/core/LeaseWriter.h"
#include "forwarding/core/PinholePlan.h"
#include "router/core/RouterOffer.h"

namespace velmora {

void PreparePinholes(RouterEntry& router, const std::vector<ForwardingEntry>& entries,
                     std::shared_ptr<LeaseBook> book, uint32_t lease, MappingPlan& plan,
                     std::unique_ptr<MappingWriter>& writer, const std::set<MappingKey>& skip)
{
    const RouterOffer offer = CachedOfferOf(router);
    if (!offer.pinholes || !book)
        return;
    const size_t before = plan.requests.size();
    AddPinholeRequests(plan, entries, offer.pinholeAddress, IsThisComputer);
    std::erase_if(plan.requests, [&](const MappingRequest& request) {
        return IsPinholeRequest(request) && skip.count(KeyOfRequest(request)) > 0;
    });
    if (plan.requests.size() == before)
        return;
    writer = std::make_unique<DualStackWriter>(
        std::move(writer), std::make_unique<LeaseWriter>(offer.pinholes, std::move(book), lease));
}

} // namespace velmora
