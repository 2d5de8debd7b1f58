#pragma once

#include "forwarding/core/MappingInstaller.h"

#include <QObject>
#include <functional>
#include <memory>

namespace velmora {

class DialogWorker;

// One "Add into Router" run: installs a plan with a writer on a
// velmora::DialogWorker and reports progress and the result on the GUI
// thread. The worker owns the writer and the plan; once the task is gone,
// the run stops after the request in flight (it has its own deadline) and
// nothing more is reported.
class RouterInstallTask final : public QObject
{
    Q_OBJECT
public:
    RouterInstallTask(std::unique_ptr<velmora::MappingWriter> writer, velmora::MappingPlan plan,
                      QObject* parent = nullptr);
    ~RouterInstallTask() override;

    // Runs on the worker before the plan is installed and may add to it and
    // replace the writer (finding what a router offers may take a question).
    using Preparation = std::function<void(velmora::MappingPlan& plan,
                                           std::unique_ptr<velmora::MappingWriter>& writer)>;
    void setPreparation(Preparation preparation) { preparation_ = std::move(preparation); }

    void start(const velmora::InstallOptions& options = {});
    // Stops after the request in flight; finished() still follows.
    void cancel();
    qint64 totalSteps() const { return totalSteps_; }

signals:
    void progressed(qint64 done, qint64 total);
    void finished(const velmora::InstallResult& result);

private:
    std::unique_ptr<velmora::MappingWriter> writer_; // handed to the worker by start()
    velmora::MappingPlan plan_;                      // the same
    qint64 totalSteps_;
    Preparation preparation_;
    std::unique_ptr<velmora::DialogWorker> worker_;
};

} // namespace velmora
