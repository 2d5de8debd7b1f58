#include "forwarding/ui/RouterInstallTask.h"

#include <chrono>

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
        using Clock = std::chrono::steady_clock;
        auto lastPost = Clock::time_point{};
        auto progress = [&](size_t done, size_t total) {
            // A few updates a second are enough for a progress bar.
            const auto now = Clock::now();
            if (done != total && now - lastPost < std::chrono::milliseconds(50))
                return;
            lastPost = now;
            QMetaObject::invokeMethod(
                this, [this, done, total] { emit progressed(qint64(done), qint64(total)); },
                Qt::QueuedConnection);
        };
        const auto result = velmora::InstallMappings(plan_, *writer_, cancel_, progress, options);
        // `this` lives until this thread is joined; a call still queued when
        // it goes is dropped with it.
        QMetaObject::invokeMethod(
            this, [this, result] { emit finished(result); }, Qt::QueuedConnection);
    });
}
