#include "triggering/ui/WorkerEndRelay.h"

#include <QMetaObject>
#include <QObject>

WorkerEndRelay::WorkerEndRelay(QObject* target) : shared_(std::make_shared<Shared>())
{
    shared_->target = target;
}

WorkerEndRelay::~WorkerEndRelay()
{
    detach();
}

WorkerEndedFn WorkerEndRelay::callback(Handler handler) const
{
    return [shared = shared_, handler = std::move(handler)](
               const std::shared_ptr<TriggeringRun>& run, const TriggeringEntry&) {
        // Holding the lock while posting keeps the target alive for the call;
        // events still queued when it is destroyed are discarded by Qt.
        std::lock_guard lock(shared->mutex);
        if (shared->target == nullptr)
            return;
        QMetaObject::invokeMethod(
            shared->target, [handler, run] { handler(run); }, Qt::QueuedConnection);
    };
}

void WorkerEndRelay::detach()
{
    std::lock_guard lock(shared_->mutex);
    shared_->target = nullptr;
}
