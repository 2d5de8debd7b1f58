#pragma once

#include "forwarding/ui/GuiRelay.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

// A dialog's worker thread: runs a job that waits for the router and posts
// its results back through a relay. stop() (or the destructor) returns at
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

private:
    std::shared_ptr<GuiRelay> relay_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    std::shared_ptr<std::atomic<bool>> finished_;
    std::thread thread_;
};
