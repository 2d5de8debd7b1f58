#include "router/core/ScanBoard.h"

#include <cstdio>

namespace velmora {

ScanBoard::ScanBoard(size_t rounds, Changed changed) : rounds_(rounds), changed_(std::move(changed))
{
}

size_t ScanBoard::beginRead()
{
    std::lock_guard lock(mutex_);
    reads_.emplace_back();
    return reads_.size() - 1;
}

void ScanBoard::endRead(size_t read, RouterEntryPtr router, std::string lines)
{
    std::lock_guard lock(mutex_);
    if (read >= reads_.size())
        return;
    reads_[read] = Read{true, std::move(router), std::move(lines)};
    changedLocked();
}

void ScanBoard::addDevice(size_t round, std::string lines, size_t read)
{
    std::lock_guard lock(mutex_);
    if (round >= rounds_.size())
        return;
    rounds_[round].answered = true;
    rounds_[round].devices.push_back(Device{std::move(lines), read});
    changedLocked();
}

void ScanBoard::addRound(size_t round, const UpnpRound& seen)
{
    std::lock_guard lock(mutex_);
    if (round >= rounds_.size())
        return;
    rounds_[round].answered = seen.answered;
    for (const UpnpRound::Device& device : seen.devices) {
        size_t read = kNoRead;
        if (device.router) {
            reads_.push_back(Read{true, device.router, {}});
            read = reads_.size() - 1;
        }
        rounds_[round].devices.push_back(Device{device.diagnostics, read});
    }
    changedLocked();
}

void ScanBoard::setNatPmp(RouterEntryPtr gateway)
{
    std::lock_guard lock(mutex_);
    natPmp_ = std::move(gateway);
    changedLocked();
}

UpnpRound ScanBoard::roundLocked(size_t round) const
{
    UpnpRound seen;
    seen.answered = rounds_[round].answered;
    for (const Device& device : rounds_[round].devices) {
        UpnpRound::Device entry{device.lines, nullptr};
        if (device.read != kNoRead) {
            const Read& read = reads_[device.read];
            if (!read.done)
                continue; // not known yet: neither listed nor written
            entry.diagnostics += read.lines;
            entry.router = read.router;
        }
        seen.devices.push_back(std::move(entry));
    }
    return seen;
}

RouterList ScanBoard::listLocked() const
{
    RouterList list;
    std::string unused;
    for (size_t round = 0; round < rounds_.size(); ++round)
        MergeUpnpRound(list, roundLocked(round), unused);
    if (natPmp_)
        list.push_back(natPmp_);
    return list;
}

void ScanBoard::changedLocked()
{
    RouterList now = listLocked();
    if (now == shown_)
        return;
    shown_ = now;
    if (changed_)
        changed_(shown_);
}

RouterList ScanBoard::list() const
{
    std::lock_guard lock(mutex_);
    return listLocked();
}

std::string ScanBoard::diagnostics(const std::vector<std::string>& localAddresses) const
{
    std::lock_guard lock(mutex_);
    RouterList list;
    std::string lines;
    for (size_t round = 0; round < rounds_.size(); ++round) {
        if (round > 0 && round - 1 < localAddresses.size()) {
            char heading[32] = {};
            std::snprintf(heading, sizeof heading, "Address %zu : ", round - 1);
            lines += heading + localAddresses[round - 1] + "\n";
        }
        MergeUpnpRound(list, roundLocked(round), lines);
    }
    return lines;
}

} // namespace velmora
