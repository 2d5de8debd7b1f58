#include "forwarding/ui/DialogWorker.h"

#include "forwarding/core/BackgroundThreads.h"

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
    stop();
}

void DialogWorker::stop()
{
    relay_->cut();
    *cancel_ = true;
    if (thread_.joinable())
        velmora::BackgroundThreads::instance().adopt(std::move(thread_), finished_);
}
