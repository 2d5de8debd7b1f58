#include "forwarding/ui/RouterInstallTask.h"

#include "platform/ui/DialogWorker.h"

namespace velmora {

namespace {

// The latest progress count; at most one update waits in the GUI queue.
struct ProgressMailbox
{
    std::atomic<size_t> done{0};
    std::atomic<bool> queued{false};
};

} // namespace

RouterInstallTask::RouterInstallTask(std::unique_ptr<velmora::MappingWriter> writer,
                                     velmora::MappingPlan plan, QObject* parent)
    : QObject(parent), writer_(std::move(writer)), plan_(std::move(plan)),
      totalSteps_(static_cast<qint64>(plan_.requests.size()) * 2)
{
}

RouterInstallTask::~RouterInstallTask() = default;

void RouterInstallTask::cancel()
{
    if (worker_)
        worker_->cancel();
}

void RouterInstallTask::start(const velmora::InstallOptions& options)
{
    struct Work
    {
        std::unique_ptr<velmora::MappingWriter> writer;
        velmora::MappingPlan plan;
        Preparation preparation;
    };
    auto work = std::make_shared<Work>(Work{std::move(writer_), std::move(plan_), preparation_});
    worker_ = std::make_unique<velmora::DialogWorker>(
        this, [this, work, options](velmora::GuiRelay& relay, const std::atomic<bool>& cancel) {
            if (work->preparation)
                work->preparation(work->plan, work->writer);
            auto mailbox = std::make_shared<ProgressMailbox>();
            auto progress = [this, &relay, mailbox](size_t done, size_t total) {
                mailbox->done = done;
                if (mailbox->queued.exchange(true))
                    return;
                relay.post([this, mailbox, total] {
                    mailbox->queued = false;
                    emit progressed(qint64(mailbox->done.load()), qint64(total));
                });
            };
            const auto result =
                velmora::InstallMappings(work->plan, *work->writer, cancel, progress, options);
            relay.post([this, result] { emit finished(result); });
        });
}

} // namespace velmora
