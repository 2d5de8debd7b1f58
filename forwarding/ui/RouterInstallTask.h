#pragma once

#include "forwarding/core/MappingInstaller.h"

#include <QObject>
#include <atomic>
#include <memory>
#include <thread>

// One "Add into Router" run: installs a plan with a writer on a worker thread
// and reports progress and the result on the GUI thread. The task outlives
// its thread: the destructor cancels and joins it (the request in flight has
// its own deadline).
class RouterInstallTask final : public QObject
{
    Q_OBJECT
public:
    RouterInstallTask(std::unique_ptr<velmora::MappingWriter> writer, velmora::MappingPlan plan,
                      QObject* parent = nullptr);
    ~RouterInstallTask() override;

    void start(const velmora::InstallOptions& options = {});
    // Stops after the request in flight; finished() still follows.
    void cancel() { cancel_ = true; }
    qint64 totalSteps() const { return static_cast<qint64>(plan_.requests.size()) * 2; }

signals:
    void progressed(qint64 done, qint64 total);
    void finished(const velmora::InstallResult& result);

private:
    std::unique_ptr<velmora::MappingWriter> writer_;
    velmora::MappingPlan plan_;
    std::atomic<bool> cancel_{false};
    std::atomic<size_t> done_{0};
    std::atomic<bool> updateQueued_{false};
    std::thread thread_;
};
