#pragma once

namespace velmora {

// Most trigger workers the whole program runs at once, over all entries: each
// is a thread, and entries that start together (auto start) must not exhaust
// the process's threads. An entry is started whole or not at all.
inline constexpr int kMaxTriggerWorkers = 4096;

// Takes `count` workers from the program's allowance, all of them or none;
// false when they do not fit beside the workers already running.
bool ReserveTriggerWorkers(int count);

// Gives one ended (or never started) worker back.
void ReleaseTriggerWorker();

// Workers running or reserved now.
int TriggerWorkersInUse();

// Tests use a smaller allowance; 0 restores kMaxTriggerWorkers.
void SetTriggerWorkerCapForTesting(int cap);

} // namespace velmora
