#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <mutex>

namespace velmora {

// Carries calls from a worker thread to an object on the GUI thread, for as
// long as that object wants them. Once cut (on the GUI thread, when a dialog
// closes), posting does nothing and calls already queued are dropped, so a
// worker that outlives its dialog can never reach it. Shared by the two sides.
class GuiRelay final : public std::enable_shared_from_this<GuiRelay>
{
public:
    static std::shared_ptr<GuiRelay> create(QObject* receiver)
    {
        return std::shared_ptr<GuiRelay>(new GuiRelay(receiver));
    }

    // Any thread: queues `call` to run on the receiver's thread.
    void post(std::function<void()> call)
    {
        std::lock_guard lock(mutex_);
        if (!receiver_)
            return;
        QMetaObject::invokeMethod(
            receiver_,
            [self = shared_from_this(), call = std::move(call)] {
                if (self->connected())
                    call();
            },
            Qt::QueuedConnection);
    }

    // GUI thread, before the receiver closes or goes away.
    void cut()
    {
        std::lock_guard lock(mutex_);
        receiver_ = nullptr;
    }

    bool connected()
    {
        std::lock_guard lock(mutex_);
        return receiver_ != nullptr;
    }

private:
    explicit GuiRelay(QObject* receiver) : receiver_(receiver) {}

    std::mutex mutex_; // guards receiver_
    QObject* receiver_ = nullptr;
};

} // namespace velmora
