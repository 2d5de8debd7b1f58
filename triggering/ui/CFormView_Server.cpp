#include "triggering/ui/CFormView_Server.h"

#include "platform/ControlText.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/ListPage.h"
#include "platform/ui/ReportList.h"
#include "platform/ui/StoredWords.h"
#include "triggering/core/TriggerWorkerCap.h"
#include "triggering/core/Triggering.h"
#include "triggering/ui/CAddPort.h"
#include "triggering/ui/CStart.h"
#include "triggering/ui/ModalBox.h"

#include <QGroupBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>

namespace {

QString FromField(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The eight columns of an entry's row with the given status.
QStringList RowCells(const TriggeringEntry& entry, const char* status)
{
    return {FromField(velmora::Field(entry.name)),
            velmora::StoredWords(status),
            velmora::StoredWords(velmora::Field(entry.auto_start)),
            velmora::StoredWords(velmora::Field(entry.protocol)),
            FromField(velmora::Field(entry.trigger_address)),
            FromField(velmora::Field(entry.trigger_port)),
            FromField(velmora::Field(entry.trigger_port_end)),
            FromField(velmora::Field(entry.frequence))};
}

// An entry's name as a message shows it: control characters written out.
QString EntryName(const TriggeringEntry& entry)
{
    return QString::fromStdString(velmora::EscapeControlCharacters(velmora::Field(entry.name)));
}

TriggeringEntry EntryFrom(const CAddPort::Texts& texts)
{
    auto entry = velmora::ZeroedRecord<TriggeringEntry>();
    velmora::SetField(entry.name, texts.name);
    velmora::SetField(entry.status, "stop");
    velmora::SetField(entry.auto_start, texts.auto_start);
    velmora::SetField(entry.protocol, texts.protocol);
    velmora::SetField(entry.trigger_address, texts.trigger_address);
    velmora::SetField(entry.trigger_port, texts.trigger_port);
    velmora::SetField(entry.trigger_port_end, texts.trigger_port_end);
    velmora::SetField(entry.frequence, texts.frequence);
    return entry;
}

} // namespace

CFormView_Server::CFormView_Server(std::vector<TriggeringEntry>& entries, QWidget* parent)
    : QWidget(parent), entries_(entries), relay_(velmora::GuiRelay::create(this)),
      noticeMilliseconds_(CStart::kDefaultMilliseconds)
{
    setObjectName("CFormView_Server");
    page_ = velmora::BuildListPage(this, {{{tr("Name"), 130},
                                           {tr("Status"), 70},
                                           {tr("Auto Start"), 70},
                                           {tr("Protocol"), 80},
                                           {tr("Trigger Address"), 110},
                                           {tr("Trigger Port(Start)"), 110},
                                           {tr("Trigger Port(End)"), 110},
                                           {tr("Frequence(ms)"), 100}},
                                          tr("Port Triggering entries"),
                                          "triggeringList",
                                          175,
                                          215});
    start_ = velmora::MakeFormButton(tr("Start"), "startButton", page_.operation);
    stop_ = velmora::MakeFormButton(tr("Stop"), "stopButton", page_.operation);
    velmora::LayOutButtonRow(page_.operation, {start_, stop_}, velmora::ButtonSpacing::Spread);

    setButtons(false, false, false, false);
    velmora::ConnectMaintenance(page_, this, &CFormView_Server::addEntry,
                                &CFormView_Server::editEntry, &CFormView_Server::deleteEntry);
    connect(start_, &QPushButton::clicked, this, &CFormView_Server::startSelected);
    connect(stop_, &QPushButton::clicked, this, &CFormView_Server::stopSelected);
    connect(page_.list, &QTableWidget::itemSelectionChanged, this,
            &CFormView_Server::updateButtons);
    connect(page_.list, &QTableWidget::itemChanged, this, &CFormView_Server::updateButtons);
}

CFormView_Server::~CFormView_Server()
{
    // Running workers go on (they end with the process); their reports stop here.
    relay_->cut();
}

void CFormView_Server::reloadRows()
{
    for (auto& run : runs_)
        RequestTriggeringStop(run); // rows of old runs are gone: do not leave them unstoppable
    runs_.assign(entries_.size(), nullptr);
    page_.list->setRowCount(0);
    for (const auto& entry : entries_)
        page_.list->appendRow(RowCells(entry, "stop"));
}

void CFormView_Server::startAutoStartEntries()
{
    QStringList notStarted;
    for (int row = 0; validRow(row); ++row) {
        if (velmora::Field(entries_[row].auto_start) == "Y" && !isRunning(row) && !startRow(row))
            notStarted << EntryName(entries_[row]);
    }
    reportNotStarted(notStarted);
}

std::shared_ptr<velmora::TriggeringRun> CFormView_Server::runAt(int row) const
{
    return row >= 0 && row < static_cast<int>(runs_.size()) ? runs_[row] : nullptr;
}

void CFormView_Server::setTimingForTesting(std::chrono::milliseconds grace, int noticeMilliseconds)
{
    timing_.grace = grace;
    timing_.lowestPause = std::chrono::milliseconds(1);
    noticeMilliseconds_ = noticeMilliseconds;
}

void CFormView_Server::addEntry()
{
    QPointer<CAddPort> dialog = new CAddPort(entries_, nullptr, this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return; // the page went away while the dialog was open
    const TriggeringEntry entry = EntryFrom(dialog->texts());
    delete dialog.data();
    if (!accepted)
        return;
    entries_.push_back(entry);
    runs_.resize(entries_.size());
    page_.list->appendRow(RowCells(entry, "stop"));
    entriesChanged();
}

void CFormView_Server::editEntry()
{
    const int row = page_.list->firstSelectedRow();
    if (!validRow(row) || isRunning(row))
        return; // a running entry is never edited: its workers would lose their row
    QPointer<CAddPort> dialog = new CAddPort(entries_, &entries_[row], this);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return;
    const TriggeringEntry entry = EntryFrom(dialog->texts());
    delete dialog.data();
    if (!accepted || !validRow(row))
        return;
    page_.list->setRowCells(row, RowCells(entry, "stop"));
    entries_[row] = entry;
    entriesChanged();
}

void CFormView_Server::deleteEntry()
{
    const int row = page_.list->firstSelectedRow();
    if (!validRow(row) || isRunning(row))
        return;
    entries_.erase(entries_.begin() + row);
    if (row < static_cast<int>(runs_.size()))
        runs_.erase(runs_.begin() + row);
    page_.list->removeRow(row);
    updateButtons();
    entriesChanged();
}

void CFormView_Server::entriesChanged()
{
    if (saveConfig_)
        saveConfig_();
}

void CFormView_Server::startSelected()
{
    QPointer<CFormView_Server> self(this);
    QStringList notStarted;
    for (int row : page_.list->selectedRowsAscending()) {
        if (!validRow(row) || isRunning(row))
            continue; // already running: a second Start would leave workers no Stop reaches
        if (!startRow(row)) {
            notStarted << EntryName(entries_[row]);
            continue;
        }
        showNotice();
        if (!self)
            return;
        setButtons(false, false, false, true);
    }
    reportNotStarted(notStarted);
}

void CFormView_Server::stopSelected()
{
    QPointer<CFormView_Server> self(this);
    for (int row : page_.list->selectedRowsAscending()) {
        if (!validRow(row) || !isRunning(row))
            continue;
        RequestTriggeringStop(runAt(row));
        showNotice();
        if (!self)
            return;
        setButtons(true, true, true, false);
        if (validRow(row))
            setStatus(row, "stop");
    }
}

void CFormView_Server::workerEnded(const std::shared_ptr<velmora::TriggeringRun>& run)
{
    // Only the row whose latest Start this was: a Start made after the Stop
    // keeps its row at "running".
    for (int row = 0; validRow(row); ++row) {
        if (runAt(row) == run) {
            setStatus(row, "stop");
            break;
        }
    }
    updateButtons();
}

bool CFormView_Server::startRow(int row)
{
    runs_.resize(entries_.size());
    auto started = StartTriggeringEntry(
        entries_[row],
        // Runs on a worker's thread on its way out: only posts.
        [this, relay = relay_](const std::shared_ptr<velmora::TriggeringRun>& run,
                               const TriggeringEntry&) {
            relay->post([this, run] { workerEnded(run); });
        },
        timing_);
    if (!started)
        return false;
    runs_[row] = std::move(started);
    setStatus(row, "running");
    return true;
}

void CFormView_Server::reportNotStarted(const QStringList& names)
{
    if (names.isEmpty())
        return;
    velmora::ShowModalBox(
        this, QMessageBox::Warning, tr("Warning"),
        tr("Velmora runs at most %1 trigger workers at once, one for each trigger port of a "
           "running entry. These entries were not started: %2")
            .arg(velmora::kMaxTriggerWorkers)
            .arg(names.join(", ")));
}

void CFormView_Server::showNotice()
{
    QPointer<CStart> notice = new CStart(noticeMilliseconds_, this);
    notice->exec();
    delete notice.data();
}

void CFormView_Server::setStatus(int row, const char* status)
{
    Q_ASSERT(QThread::currentThread() == thread()); // the list has no other guard
    velmora::SetField(entries_[row].status, status);
    page_.list->setCell(row, 1, velmora::StoredWords(status));
}

bool CFormView_Server::isRunning(int row) const
{
    return page_.list->cell(row, 1) == velmora::StoredWords("running");
}

bool CFormView_Server::validRow(int row) const
{
    return row >= 0 && row < static_cast<int>(entries_.size()) && row < page_.list->rowCount();
}

void CFormView_Server::updateButtons()
{
    const int row = page_.list->firstSelectedRow();
    if (row < 0)
        setButtons(false, false, false, false);
    else if (isRunning(row))
        setButtons(false, false, false, true);
    else
        setButtons(true, true, true, false);
}

void CFormView_Server::setButtons(bool edit, bool remove, bool start, bool stop)
{
    page_.edit->setEnabled(edit);
    page_.remove->setEnabled(remove);
    start_->setEnabled(start);
    stop_->setEnabled(stop);
}
