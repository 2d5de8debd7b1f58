#include "forwarding/ui/RouterInstallTask.h"

RouterInstallTask::RouterInstallTask(std::unique_ptr<velmora::MappingWriter> writer,
                                     velmora::MappingPlan plan, QObject* parent)
    : QObject(parent), writer_(std::move(writer)), plan_(std::move(plan))
{
}

RouterInstallTask::~RouterInstallTask()
{
    cancel_ = true;
    if (thread_.joinable())
        thread_.join();
}

void RouterInstallTask::start(const velmora::InstallOptions& options)
{
    thread_ = std::thread([this, options] {
        // At most one progress update waits in the queue; it shows the latest count.
        auto progress = [this](size_t done, size_t total) {
            done_ = done;
            if (updateQueued_.exchange(true))
                return;
            QMetaObject::invokeMethod(
                this,
                [this, total] {
                    updateQueued_ = false;
                    emit progressed(qint64(done_.load()), qint64(total));
                },
                Qt::QueuedConnection);
        };
        const auto result = velmora::InstallMappings(plan_, *writer_, cancel_, progress, options);
        // `this` lives until this thread is joined; a call still queued when
        // it goes is dropped with it.
        QMetaObject::invokeMethod(
            this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
    });
}
