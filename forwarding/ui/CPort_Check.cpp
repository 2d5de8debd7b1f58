#include "forwarding/ui/CPort_Check.h"

#include "forwarding/ui/ForwardingTexts.h"
#include "platform/ui/DialogWorker.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

namespace {
constexpr char kLegend[] = QT_TRANSLATE_NOOP(
    "velmora",
    "1.open: port is opened\n\n2.closed: port is closed\n\n3.filtered: port is blocked by "
    "firewall or router\n\n4.unfiltered: port is not blocked, but not sure if it is "
    "opened\n\n5.open|filtered: port is opened or filtered\n\n6.closed|filtered: port is closed "
    "or filtered");
// Past the check's own deadline, a router request still running (miniupnpc
// has no deadline of its own) is given up.
constexpr std::chrono::milliseconds kDeadlineGrace{1000};
} // namespace

CPort_Check::CPort_Check(QWidget* parent) : QDialog(parent)
{
    setObjectName("CPort_Check");
    setWindowTitle(tr("Port Check"));
    report_ = new QPlainTextEdit(this);
    report_->setObjectName("reportEdit");
    report_->setReadOnly(true);
    report_->setLineWrapMode(QPlainTextEdit::NoWrap);
    report_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    report_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    report_->setMinimumSize(560, 240);
    auto* reportLabel = new QLabel(tr("Check Report: "), this);
    reportLabel->setBuddy(report_);
    report_->setAccessibleName(tr("Check Report:"));
    auto* stateLabel = new QLabel(tr("Port State: "), this);
    auto* legend = new QLabel(velmora::Tr(kLegend), this);
    legend->setObjectName("legendLabel");
    stateLabel->setBuddy(legend);

    auto* buttons = MakeOkButtonBox(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reportLabel);
    layout->addWidget(report_, 1);
    layout->addWidget(stateLabel);
    layout->addWidget(legend);
    layout->addWidget(buttons);

    deadline_ = new QTimer(this);
    deadline_->setSingleShot(true);
}

CPort_Check::~CPort_Check() = default;

void CPort_Check::startCheck(const velmora::RouterEndpoint& router,
                             const velmora::PortCheckTarget& target,
                             const velmora::PortCheckOptions& options)
{
    finished_ = false;
    report_->setPlainText(velmora::Tr(velmora::forwarding_texts::kChecking));
    worker_ = std::make_unique<velmora::DialogWorker>(
        this, [this, router, target, options](velmora::GuiRelay& relay, const std::atomic<bool>&) {
            velmora::MessageList report =
                velmora::PortCheckReport(velmora::RunPortCheck(router, target, options));
            relay.post([this, report = std::move(report)] { showReport(report); });
        });
    deadline_->disconnect();
    connect(deadline_, &QTimer::timeout, this, [this, target] {
        worker_->stop(); // its late findings are dropped
        velmora::PortCheckFindings findings;
        findings.target = target;
        findings.probedClient = target.internalClient;
        findings.probedPort = target.externalPort;
        findings.outOfTime = true;
        showReport(velmora::PortCheckReport(findings));
    });
    deadline_->start(options.deadline + kDeadlineGrace);
}

void CPort_Check::showReport(const velmora::MessageList& report)
{
    deadline_->stop();
    report_->setPlainText(velmora::Words(report));
    finished_ = true;
}

QString CPort_Check::report() const
{
    return report_->toPlainText();
}

void CPort_Check::done(int result)
{
    deadline_->stop();
    if (worker_)
        worker_->stop();
    QDialog::done(result);
}

} // namespace velmora
