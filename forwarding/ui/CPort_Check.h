#pragma once

#include "forwarding/core/PortCheck.h"

#include <QDialog>
#include <memory>

class QPlainTextEdit;
class QTimer;

namespace velmora {

class DialogWorker;

// The "Port Check" report: what a port check of one mapping found, with the
// legend of the port states it speaks of. The check runs on a worker thread
// while the dialog shows; closing the dialog abandons it, and so does the
// check's deadline, after which the report says what was not learnt in time.
class CPort_Check final : public QDialog
{
    Q_OBJECT
public:
    explicit CPort_Check(QWidget* parent = nullptr);
    ~CPort_Check() override;

    // Starts the check of `target` on `router`; the report fills in when it ends.
    void startCheck(const velmora::RouterEndpoint& router, const velmora::PortCheckTarget& target,
                    const velmora::PortCheckOptions& options = {});

    bool checkFinished() const { return finished_; }
    QString report() const;

    void done(int result) override;

private:
    void showReport(const velmora::MessageList& report);

    QPlainTextEdit* report_ = nullptr;
    QTimer* deadline_ = nullptr;
    std::unique_ptr<velmora::DialogWorker> worker_;
    bool finished_ = false;
};

} // namespace velmora
