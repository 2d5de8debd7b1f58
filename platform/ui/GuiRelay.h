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
        // The queued call is built under the hand-off lock, and runs only once
        // it has passed that lock: the hand-off is ordered by our own lock, not
        // only by Qt's event queue, which ThreadSanitizer cannot see into.
        std::lock_guard handOff(HandOff());
        QMetaObject::invokeMethod(
            receiver_,
            [self = shared_from_this(), call = std::move(call)] {
                {
                    std::lock_guard passed(HandOff());
                }
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

    static std::mutex& HandOff()
    {
        static std::mutex handOff;
        return handOff;
    }

    std::mutex mutex_; // guards receiver_
    QObject* receiver_ = nullptr;
};

} // namespace velmora
