#include "catalogue/ui/CAdd_Often_Port.h"

#include "catalogue/core/CatalogueLine.h"
#include "catalogue/ui/CatalogueDialogParts.h"
#include "catalogue/ui/CatalogueTexts.h"
#include "platform/ui/Tr.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace texts = velmora::catalogue_texts;
namespace parts = velmora::catalogue_ui;

namespace {

QString Label(velmora::CatalogueField field)
{
    switch (field) {
    case velmora::CatalogueField::Name:
        return QString(velmora::Tr(texts::kNameLabel)).trimmed().chopped(1);
    case velmora::CatalogueField::TcpPorts:
        return QString(velmora::Tr(texts::kTcpLabel)).trimmed().chopped(1);
    case velmora::CatalogueField::UdpPorts:
        break;
    }
    return QString(velmora::Tr(texts::kUdpLabel)).trimmed().chopped(1);
}

} // namespace

CAdd_Often_Port::CAdd_Often_Port(QWidget* parent) : QDialog(parent)
{
    setObjectName("CAdd_Often_Port");
    setWindowTitle(velmora::Tr(texts::kAddTitle));
    nameEdit_ = parts::MakeEdit("nameEdit", int(velmora::kCatalogueNameLimit), this);
    tcpEdit_ = parts::MakeEdit("tcpEdit", int(velmora::kCatalogueTcpLimit), this);
    udpEdit_ = parts::MakeEdit("udpEdit", int(velmora::kCatalogueUdpLimit), this);

    auto* grid = new QGridLayout(this);
    int row = 0;
    grid->addWidget(parts::BuddyLabel(velmora::Tr(texts::kNameLabel), nameEdit_, this), row, 0);
    grid->addWidget(nameEdit_, row++, 1);
    grid->addWidget(parts::BuddyLabel(velmora::Tr(texts::kTcpLabel), tcpEdit_, this), row, 0);
    grid->addWidget(tcpEdit_, row++, 1);
    grid->addWidget(parts::BuddyLabel(velmora::Tr(texts::kUdpLabel), udpEdit_, this), row, 0);
    grid->addWidget(udpEdit_, row++, 1);
    grid->addWidget(new QLabel(velmora::Tr(texts::kNotice), this), row++, 0, 1, 2);
    grid->addWidget(new QLabel(velmora::Tr(texts::kHintRanges), this), row++, 0, 1, 2);
    grid->addWidget(new QLabel(velmora::Tr(texts::kHintExample), this), row++, 0, 1, 2);
    grid->addWidget(parts::OkCancel(this), row, 0, 1, 2);
    setMinimumWidth(400);
}

void CAdd_Often_Port::accept()
{
    const std::string name = nameEdit_->text().toStdString();
    const std::string tcp = tcpEdit_->text().toStdString();
    const std::string udp = udpEdit_->text().toStdString();
    if (name.empty())
        return parts::ShowError(this, velmora::Tr(texts::kInvalidName));
    if (auto field = velmora::FieldBreakingLine(name, tcp, udp))
        return parts::ShowError(this, QString(velmora::Tr(texts::kBreaksLine)).arg(Label(*field)));
    // The edits refuse longer typing; text put there otherwise is caught here.
    const std::pair<velmora::CatalogueField, bool> tooLong[] = {
        {velmora::CatalogueField::Name, name.size() > velmora::kCatalogueNameLimit},
        {velmora::CatalogueField::TcpPorts, tcp.size() > velmora::kCatalogueTcpLimit},
        {velmora::CatalogueField::UdpPorts, udp.size() > velmora::kCatalogueUdpLimit}};
    for (const auto& [field, over] : tooLong) {
        if (over)
            return parts::ShowError(this, QString(velmora::Tr(texts::kTooLong)).arg(Label(field)));
    }
    record_ = {name, tcp, udp};
    QDialog::accept();
}
