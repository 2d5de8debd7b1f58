#pragma once

#include "forwarding/core/MappingInstaller.h"
#include "forwarding/core/NatPmpLeaseKeeper.h"

#include <cstdint>
#include <memory>

struct RouterEntry;

namespace velmora {

// The writer that installs mappings in `router`: NAT-PMP for an AirPort
// gateway (its granted leases go to `leases`, asked for `natPmpLifetime`
// seconds), the program's own UPnP client otherwise.
std::unique_ptr<MappingWriter> MappingWriterFor(RouterEntry& router,
                                                std::shared_ptr<NatPmpLeaseKeeper> leases,
                                                uint32_t natPmpLifetime);

} // namespace velmora
