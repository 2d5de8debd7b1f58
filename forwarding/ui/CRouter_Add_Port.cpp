#include "forwarding/ui/CRouter_Add_Port.h"

#include "config/core/ConfigLoader.h"
#include "forwarding/core/PortList.h"
#include "forwarding/ui/ForwardingTexts.h"
#include "platform/NetworkInterfaces.h"
#include "platform/ui/FormFields.h"
#include "platform/ui/StoredWords.h"
#include "platform/ui/Tr.h"
#include "platform/ui/Words.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <cstdio>

namespace texts = velmora::forwarding_texts;

namespace {

using velmora::BuddyLabel;
// Fields keep what config.xml gives back whole; a paste that does not fit is cut.
QLineEdit* MakeEdit(const char* objectName, int maxBytes, QWidget* parent)
{
    return velmora::MakeEdit(objectName, maxBytes, parent,
                             velmora::Utf8LengthValidator::Overflow::Cut);
}

QLabel* Note(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CRouter_Add_Port::CRouter_Add_Port(const std::vector<ForwardingEntry>& entries,
                                   const ForwardingEntry* editing, QWidget* parent,
                                   AddressProposer proposeAddress)
    : QDialog(parent), entries_(entries), editing_(editing)
{
    setObjectName("CRouter_Add_Port");
    setWindowTitle(tr("Add Port Forwarding"));
    setMinimumWidth(380);
    const auto probe = velmora::ZeroedRecord<ForwardingEntry>();

    nameEdit_ = MakeEdit("nameEdit", static_cast<int>(velmora::StorableLength(probe.name)), this);
    protocolBox_ = new QComboBox(this);
    protocolBox_->setObjectName("protocolBox");
    protocolBox_->setEditable(false);
    portEdit_ =
        MakeEdit("portEdit", static_cast<int>(velmora::StorableLength(probe.listen_port)), this);
    auto* destinationPortEdit = MakeEdit("destinationPortEdit", 19, this);
    internalIpEdit_ = MakeEdit(
        "internalIpEdit", static_cast<int>(velmora::StorableLength(probe.destination_ip)), this);
    autoAddBox_ = new QCheckBox(tr("Auto add when the software startup"), this);
    autoAddBox_->setObjectName("autoAddBox");
    autoAddBox_->setAccessibleName(autoAddBox_->text());

    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(BuddyLabel(tr("Name:"), nameEdit_, this), row, 0);
    grid->addWidget(nameEdit_, row++, 1);
    grid->addWidget(BuddyLabel(tr("Protocol: "), protocolBox_, this), row, 0);
    grid->addWidget(protocolBox_, row++, 1);
    grid->addWidget(BuddyLabel(tr("Port: "), portEdit_, this), row, 0);
    grid->addWidget(portEdit_, row++, 1);
    grid->addWidget(
        Note(tr("Could be multiple ports and range. For example:80,443-447,8080"), this), row++, 1);
    auto* destinationLabel = BuddyLabel(tr("Destination Port: "), destinationPortEdit, this);
    grid->addWidget(destinationLabel, row, 0);
    grid->addWidget(destinationPortEdit, row++, 1);
    grid->addWidget(BuddyLabel(tr("Internal IP: "), internalIpEdit_, this), row, 0);
    grid->addWidget(internalIpEdit_, row++, 1);
    grid->addWidget(Note(tr("For AirPort Station, Internal IP must input Localhost."), this), row++,
                    1);
    grid->addWidget(autoAddBox_, row++, 0, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    grid->addWidget(buttons, row, 0, 1, 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRouter_Add_Port::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRouter_Add_Port::reject);

    // In the dialog's template, but not part of what it does.
    destinationLabel->hide();
    destinationPortEdit->hide();

    if (editing_)
        fillFromEntry(*editing_);
    else
        fillForNewEntry(proposeAddress ? proposeAddress : velmora::DefaultRouteInterfaceAddress);
}

void CRouter_Add_Port::fillForNewEntry(const AddressProposer& proposeAddress)
{
    velmora::AddStoredItems(protocolBox_, {"TCP", "UDP", "Both"});
    protocolBox_->setCurrentIndex(0);
    // The address of the interface that faces the router: the one a mapping
    // should lead to (a host-name look-up gives 127.0.1.1 here).
    const std::string address = proposeAddress();
    if (!address.empty()) {
        std::printf("Address %d : %s\n", 0, address.c_str());
        internalIpEdit_->setText(QString::fromStdString(address));
    }
}

void CRouter_Add_Port::fillFromEntry(const ForwardingEntry& entry)
{
    nameEdit_->setText(QString::fromUtf8(velmora::Field(entry.name)));
    autoAddBox_->setChecked(velmora::Field(entry.type) == "Y");
    const auto protocol = velmora::Field(entry.protocol);
    if (protocol == "TCP")
        velmora::AddStoredItems(protocolBox_, {"TCP", "UDP", "Both"});
    else if (protocol == "UDP")
        velmora::AddStoredItems(protocolBox_, {"UDP", "TCP", "Both"});
    else
        velmora::AddStoredItems(protocolBox_, {"Both", "TCP", "UDP"});
    protocolBox_->setCurrentIndex(0);
    portEdit_->setText(QString::fromUtf8(velmora::Field(entry.listen_port)));
    internalIpEdit_->setText(QString::fromUtf8(velmora::Field(entry.destination_ip)));
}

void CRouter_Add_Port::prefill(const Prefill& values)
{
    nameEdit_->setText(QString::fromStdString(values.name));
    const int protocol = protocolBox_->findData(QString::fromStdString(values.protocol));
    if (protocol >= 0)
        protocolBox_->setCurrentIndex(protocol);
    portEdit_->setText(QString::fromStdString(values.ports));
}

bool CRouter_Add_Port::nameIsTaken(const std::string& name) const
{
    if (editing_ && velmora::Field(editing_->name) == name)
        return false;
    for (const auto& entry : entries_) {
        if (velmora::Field(entry.name) == name)
            return true;
    }
    return false;
}

void CRouter_Add_Port::showError(const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, this);
    box.exec();
}

void CRouter_Add_Port::accept()
{
    const std::string name = nameEdit_->text().toStdString();
    if (name.empty())
        return showError(velmora::Tr(texts::kErrorCaption), velmora::Tr(texts::kInvalidName));
    if (nameIsTaken(name))
        return showError(velmora::Tr(texts::kErrorCaption), velmora::Tr(texts::kDuplicateName));
    const std::string protocol = velmora::CurrentStored(protocolBox_);
    const std::string ports = portEdit_->text().toStdString();
    if (ports.empty())
        return showError(velmora::Tr(texts::kErrorCaption), velmora::Tr(texts::kInvalidPort));
    if (auto bad = velmora::FirstBadRange(ports))
        return showError(velmora::Tr(texts::kWarningCaption),
                         velmora::Words(velmora::BadRangeMessage(*bad)));
    const std::string internalIp = internalIpEdit_->text().toStdString();
    if (internalIp.empty())
        return showError(velmora::Tr(texts::kErrorCaption), velmora::Tr(texts::kInvalidAddress));

    velmora::SetField(entry_.name, name);
    velmora::SetField(entry_.type, autoAddBox_->isChecked() ? "Y" : "N");
    velmora::SetField(entry_.protocol, protocol);
    velmora::SetField(entry_.listen_port, ports);
    velmora::SetField(entry_.destination_ip, internalIp);
    QDialog::accept();
}
