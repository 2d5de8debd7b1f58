#include "upnp/ui/CView_IP.h"

#include "platform/NetworkInterfaces.h"
#include "platform/Version.h"
#include "platform/ui/DialogWorker.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"
#include "upnp/core/DoubleNat.h"
#include "upnp/core/ExternalAddressLookup.h"
#include "upnp/core/UpnpClient.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr auto& kAppCaption = velmora::kProductName;
constexpr char kNotFound[] = QT_TRANSLATE_NOOP("velmora", "Fail to Find");
constexpr char kReachableOverIPv6[] = QT_TRANSLATE_NOOP(
    "velmora", "Over IPv6 this router opens pinholes: after Add into Router a program on this "
               "computer is reachable from the internet at [%1]:port.");

std::vector<std::string> LocalAddresses()
{
    std::vector<std::string> addresses = velmora::LocalIPv4Addresses();
    for (const auto& global : velmora::GlobalIPv6Addresses())
        addresses.push_back(global.address);
    return addresses;
}

// A warning that may quote the router: shown as plain text, never as rich text.
void WarnPlain(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, kAppCaption, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}
} // namespace

CView_IP::CView_IP(QWidget* parent, PinholeAddressFinder pinholes)
    : QDialog(parent), pinholes_(std::move(pinholes))
{
    setObjectName("CView_IP");
    setWindowTitle(tr("View IP"));

    auto* localLabel = new QLabel(tr("Local IP:"), this);
    localIp_ = new QComboBox(this);
    localIp_->setObjectName("localIpBox");
    localIp_->setAccessibleName(tr("Local IP:"));
    localLabel->setBuddy(localIp_);
    auto* externalLabel = new QLabel(tr("External IP: "), this);
    externalIp_ = new QLineEdit(this);
    externalIp_->setObjectName("externalIpEdit");
    externalIp_->setAccessibleName(tr("External IP: "));
    externalLabel->setBuddy(externalIp_);

    ok_ = new QPushButton(tr("OK"), this);
    ok_->setObjectName("okButton");
    ok_->setAccessibleName(tr("OK"));
    ok_->setDefault(true);
    cancel_ = new QPushButton(tr("Cancel"), this);
    cancel_->setObjectName("cancelButton");
    cancel_->setAccessibleName(tr("Cancel"));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QGridLayout;
    fields->addWidget(localLabel, 0, 0);
    fields->addWidget(localIp_, 0, 1);
    fields->addWidget(externalLabel, 1, 0);
    fields->addWidget(externalIp_, 1, 1);
    fields->setColumnStretch(1, 1);
    fields->setVerticalSpacing(16);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    resize(365, 165);

    setLocalAddresses(LocalAddresses());
    externalIp_->setText(velmora::Tr(kNotFound));
    startLookup();
}

CView_IP::~CView_IP() = default;

void CView_IP::setLocalAddresses(const std::vector<std::string>& addresses)
{
    localIp_->clear();
    if (addresses.empty())
        return;
    // The box is sorted, IPv4 addresses before IPv6 ones; the first address
    // found stays the selected one.
    std::vector<std::string> sorted = addresses;
    std::sort(sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
        const bool sixA = a.find(':') != std::string::npos;
        const bool sixB = b.find(':') != std::string::npos;
        return sixA != sixB ? sixB : a < b;
    });
    for (const std::string& address : sorted)
        localIp_->addItem(QString::fromStdString(address));
    localIp_->setCurrentIndex(localIp_->findText(QString::fromStdString(addresses.front())));
}

void CView_IP::startLookup()
{
    // The job may outlive the dialog: it holds its own copy of the finder.
    lookup_ = std::make_unique<velmora::DialogWorker>(
        this, [this, pinholes = pinholes_](velmora::GuiRelay& relay,
                                           const std::atomic<bool>& cancel) {
            UpnpClient client; // a fresh search every time the dialog opens
            client.cancel = &cancel;
            const velmora::ExternalAddressOutcome outcome = velmora::LookUpExternalAddress(client);
            // Only a private or shared external address calls for the IPv6 way in.
            std::string pinholeAddress;
            if (pinholes && !cancel && velmora::IsPrivateOrSharedAddress(outcome.address))
                pinholeAddress = pinholes();
            relay.post([this, outcome, pinholeAddress] { showOutcome(outcome, pinholeAddress); });
        });
}

void CView_IP::showOutcome(const velmora::ExternalAddressOutcome& outcome,
                           const std::string& pinholeAddress)
{
    finished_ = true;
    if (const velmora::TextTemplate* message = velmora::ExternalAddressStepMessage(outcome.step)) {
        WarnPlain(this, velmora::Words(*message));
        return;
    }
    externalIp_->setText(QString::fromStdString(outcome.address));
    if (velmora::IsPrivateOrSharedAddress(outcome.address)) {
        QString text = velmora::Words(velmora::DoubleNatText(outcome.address));
        if (!pinholeAddress.empty())
            text += "\n\n" +
                    velmora::Tr(kReachableOverIPv6).arg(QString::fromStdString(pinholeAddress));
        WarnPlain(this, text);
    }
}

void CView_IP::done(int result)
{
    if (lookup_)
        lookup_->stop();
    QDialog::done(result);
}
