#pragma once

#include "triggering/core/TriggeringRun.h"

#include <functional>
#include <memory>
#include <mutex>

class QObject;

// Carries the workers' end reports from their threads to the GUI thread as
// queued calls on a target object. Workers hold only the shared state below,
// which outlives them; once the target detaches (its destructor), reports
// are dropped instead of reaching a freed object.
class WorkerEndRelay final
{
public:
    using Handler = std::function<void(const std::shared_ptr<TriggeringRun>& run)>;

    explicit WorkerEndRelay(QObject* target);
    ~WorkerEndRelay();
    WorkerEndRelay(const WorkerEndRelay&) = delete;
    WorkerEndRelay& operator=(const WorkerEndRelay&) = delete;

    // A callback for StartTriggeringEntry that runs `handler` on the target's
    // thread while the target lives.
    WorkerEndedFn callback(Handler handler) const;

    // From now on nothing more is posted. Call from the target's thread.
    void detach();

private:
    struct Shared
    {
        std::mutex mutex;
        QObject* target = nullptr; // guarded by mutex
    };
    std::shared_ptr<Shared> shared_;
};
