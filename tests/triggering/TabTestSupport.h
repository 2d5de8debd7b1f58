#pragma once

// Shared pieces of the Port Triggering tab tests: quiet entries, the buttons,
// selection, the Add dialog filled in, and a page with its list and runs.
#include "platform/ui/ReportList.h"
#include "tests/support/ModalCatcher.h"
#include "tests/triggering/TriggeringTestSupport.h"
#include "triggering/core/Triggering.h"
#include "triggering/ui/CFormView_Server.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <vector>

namespace velmora::test {

inline constexpr auto kGrace = std::chrono::milliseconds(40);
inline constexpr auto kLongGrace = std::chrono::milliseconds(1500);
inline constexpr int kNoticeMs = 30;

// Entries that send nothing anywhere ("ICMP" only pauses).
inline TriggeringEntry Quiet(const std::string& name, int firstPort, int lastPort)
{
    return MakeTriggeringEntry(name, "ICMP", "127.0.0.1", firstPort, lastPort, 5);
}

struct Buttons
{
    explicit Buttons(CFormView_Server& view)
        : add(view.findChild<QPushButton*>("addButton")),
          edit(view.findChild<QPushButton*>("editButton")),
          remove(view.findChild<QPushButton*>("deleteButton")),
          start(view.findChild<QPushButton*>("startButton")),
          stop(view.findChild<QPushButton*>("stopButton"))
    {
    }
    // Enabled state of Edit, Delete, Start, Stop as "1"/"0".
    QString states() const
    {
        QString out;
        for (auto* button : {edit, remove, start, stop})
            out += button->isEnabled() ? '1' : '0';
        return out;
    }
    QPushButton* add;
    QPushButton* edit;
    QPushButton* remove;
    QPushButton* start;
    QPushButton* stop;
};

inline void Select(ReportList* list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int row : rows)
        list->selectionModel()->select(list->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

// Fills the Add Port Triggering dialog and presses OK.
inline std::function<void(QWidget*)> FillDialog(const QString& name, const QString& start,
                                                const QString& end, bool autoStart)
{
    return [=](QWidget* modal) {
        if (modal->objectName() != "CAddPort") {
            static_cast<QDialog*>(modal)->accept();
            return;
        }
        modal->findChild<QLineEdit*>("nameEdit")->setText(name);
        modal->findChild<QLineEdit*>("startPortEdit")->setText(start);
        modal->findChild<QLineEdit*>("endPortEdit")->setText(end);
        modal->findChild<QLineEdit*>("frequencyEdit")->setText("250");
        modal->findChild<QCheckBox*>("autoStartCheck")->setChecked(autoStart);
        modal->findChild<QPushButton*>("okButton")->click();
    };
}

inline bool Finished(const std::shared_ptr<TriggeringRun>& run)
{
    return run && WaitFor([&] { return run->finished(); }, 20000);
}

// Holds the page under test, its triggering list and every run it started;
// stop() ends them all so that no worker outlives its test.
class TabTestBase : public QObject
{
protected:
    void begin() { log_ = std::make_unique<LogCapture>(); }
    void end()
    {
        for (int row = 0; view_ && row < view_->list()->rowCount(); ++row)
            runs_.push_back(view_->runAt(row));
        for (auto& run : runs_) {
            RequestTriggeringStop(run);
            if (run)
                run->waitUntilFinished(std::chrono::seconds(20));
        }
        runs_.clear();
        view_.reset();
        log_.reset();
    }
    CFormView_Server& makeView(std::vector<TriggeringEntry> entries)
    {
        entries_ = std::move(entries);
        view_ = std::make_unique<CFormView_Server>(entries_);
        view_->setTimingForTesting(kGrace, kNoticeMs);
        view_->reloadRows();
        view_->show();
        return *view_;
    }
    QString status(int row) const { return view_->list()->cell(row, 1); }
    std::shared_ptr<TriggeringRun> keep(std::shared_ptr<TriggeringRun> run)
    {
        runs_.push_back(run);
        return run;
    }

    std::unique_ptr<LogCapture> log_;
    std::vector<TriggeringEntry> entries_;
    std::unique_ptr<CFormView_Server> view_;
    std::vector<std::shared_ptr<TriggeringRun>> runs_;
};

} // namespace velmora::test
