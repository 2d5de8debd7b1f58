#pragma once

#include "platform/ui/GuiRelay.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace velmora {

// The one way work leaves the GUI thread and its results come back: a worker
// thread bound to a context object (a dialog, a page). The job runs off the
// GUI thread and posts its results through the relay; they run as queued
// calls on the context's thread and are dropped once the context has stopped
// the worker or is gone. stop() (or the destructor) returns at
// once: the relay is cut, the job is asked to cancel, and the thread is left
// to BackgroundThreads to finish its pending request and be joined.
class DialogWorker final
{
public:
    using Job = std::function<void(GuiRelay& relay, const std::atomic<bool>& cancel)>;

    // `job` runs on the new thread; it must not touch `receiver` except in
    // calls it posts through the relay.
    DialogWorker(QObject* receiver, Job job);
    ~DialogWorker();
    DialogWorker(const DialogWorker&) = delete;
    DialogWorker& operator=(const DialogWorker&) = delete;

    // GUI thread. Idempotent.
    void stop();
    // GUI thread: lets the job run to its end in the background, uncancelled
    // also when this object goes, with nothing it posts delivered any more (a
    // deletion the user asked for).
    void release();
    // Asks the job to end early (a Cancel button); unlike stop(), what it
    // posts afterwards still arrives.
    void cancel() { *cancel_ = true; }

private:
    std::shared_ptr<GuiRelay> relay_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::shared_ptr<std::atomic<bool>> finished_;
    bool released_ = false;
    std::thread thread_;
};

} // namespace velmora
