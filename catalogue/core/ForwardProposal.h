#pragma once

#include "catalogue/core/CatalogueRecord.h"
#include "config/core/Records.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Turning a catalogue row into forwarding entries for the user to confirm.

namespace velmora {

// What one "Add Port Forwarding" dialog is opened with.
struct ForwardProposal
{
    std::string name;     // before it is made unique against the forwarding list
    std::string protocol; // "TCP", "UDP" or "Both"
    std::string ports;    // fits ForwardingEntry::listen_port
    std::string suffix;   // " TCP" or " UDP" after the name, when the row gives both

    bool operator==(const ForwardProposal&) const = default;
};

// The dialogs for one row, in order. Blank port fields (spaces, the line end)
// do not count. The same list for TCP and UDP gives one "Both" entry; only one
// list gives a "TCP" or "UDP" entry; two different lists give "<name>" with
// the suffix " TCP", then with " UDP". A list longer than `portsWidth` bytes is split at ","
// into lists that fit, one dialog each. Both blank: one dialog with the name.
std::vector<ForwardProposal> ProposeForwarding(const CatalogueRecord& record, size_t portsWidth);

// The non-empty items of a port list packed, in order, into lists of at most
// `width` bytes. An item longer than `width` on its own is kept whole, alone.
std::vector<std::string> SplitPortListToWidth(std::string_view list, size_t width);

// `wanted` then `suffix`, within what an entry's name keeps; when an entry of
// `entries` already has that name, " (2)", " (3)"... is appended until it is
// free. Only `wanted` is cut to make room: the suffix and the number stay.
std::string UniqueEntryName(std::string_view wanted, const std::vector<ForwardingEntry>& entries,
                            std::string_view suffix = {});

} // namespace velmora
