#pragma once

#include "forwarding/core/LeaseBook.h"
#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <cstdint>
#include <memory>

struct RouterEntry;

namespace velmora {

// The writer that installs mappings in `router`: NAT-PMP for an AirPort
// gateway (its granted leases go to `leases`, asked for `natPmpLifetime`
// seconds), or PCP where that gateway speaks it (the grants go to `book`),
// the program's own UPnP client otherwise.
std::unique_ptr<MappingWriter> MappingWriterFor(RouterEntry& router,
                                                std::shared_ptr<NatPmpLeaseKeeper> leases,
                                                uint32_t natPmpLifetime,
                                                std::shared_ptr<LeaseBook> book = nullptr);

} // namespace velmora
