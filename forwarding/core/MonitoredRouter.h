#pragma once

#include "forwarding/core/MappingPlan.h"

#include <cstdint>
#include <string>

namespace velmora {

// What the router says about one mapping this program installed.
struct MappingLookup
{
    enum class State
    {
        Held,    // there, leading where it should
        Missing, // gone
        Taken,   // the external port now leads somewhere else
        Unknown, // the router answered with an error other than "no such entry"
        NoAnswer // the router did not answer the question
    };
    State state = State::NoAnswer;
    std::string holder;        // Taken: "address:port" the port now leads to
    int error = 0;             // Unknown: the router's UPnP error code
    uint32_t leaseSeconds = 0; // Held: seconds left, 0 for a mapping without end
};

// The cheap question asked between checks.
struct RouterProbe
{
    bool answered = false;
    std::string externalAddress; // empty when the router did not tell
    bool lostState = false;      // the router itself says it has forgotten its mappings
};

// A router as the mapping monitor sees it. Every call blocks until the
// router answers or a deadline of a few seconds passes; all of them are made
// from the monitor's one thread.
class MonitoredRouter
{
public:
    virtual ~MonitoredRouter() = default;

    virtual RouterProbe probe() = 0;
    virtual MappingLookup lookup(const MappingRequest& request) = 0;
    // Installs the mapping again as "Add into Router" does; true when the
    // router holds it afterwards.
    virtual bool reinstall(const MappingRequest& request) = 0;
    // Whether this program holds a lease on every mapping it installed there,
    // so that each one lost is requested again, whatever its entry's type.
    virtual bool keepsLeases() const { return false; }
};

} // namespace velmora
