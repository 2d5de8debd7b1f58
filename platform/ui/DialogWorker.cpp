#include "platform/ui/DialogWorker.h"

#include "platform/BackgroundThreads.h"

namespace velmora {

DialogWorker::DialogWorker(QObject* receiver, Job job)
    : relay_(GuiRelay::create(receiver)), cancel_(std::make_shared<std::atomic<bool>>(false)),
      finished_(std::make_shared<std::atomic<bool>>(false))
{
    thread_ =
        std::thread([relay = relay_, cancel = cancel_, finished = finished_, job = std::move(job)] {
            job(*relay, *cancel);
            *finished = true;
        });
}

DialogWorker::~DialogWorker()
{
    if (!released_)
        stop();
}

void DialogWorker::stop()
{
    *cancel_ = true;
    release();
}

void DialogWorker::release()
{
    released_ = true;
    relay_->cut();
    if (thread_.joinable())
        BackgroundThreads::instance().adopt(std::move(thread_), finished_);
}

} // namespace velmora
