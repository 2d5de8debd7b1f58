#include "forwarding/ui/CFormView_Client.h"

#include "forwarding/ui/ForwardingHost.h"
#include "platform/ui/ReportList.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* MakeButton(const QString& text, const char* objectName, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(objectName);
    button->setAccessibleName(text);
    button->setAutoDefault(false);
    return button;
}
} // namespace

CFormView_Client::CFormView_Client(std::vector<ForwardingEntry>& entries, ForwardingHost& host,
                                   QWidget* parent)
    : QWidget(parent), entries_(entries), host_(host)
{
    setObjectName("CFormView_Client");
    list_ = new ReportList({{"Name", 150}, {"Protocol", 100}, {"Port", 140}, {"Internal IP", 140}},
                           "Port Forwarding entries", this);
    list_->setObjectName("forwardingList");

    auto* maintenance = new QGroupBox("Maintenance", this);
    add_ = MakeButton("Add", "addButton", maintenance);
    edit_ = MakeButton("Edit", "editButton", maintenance);
    delete_ = MakeButton("Delete", "deleteButton", maintenance);
    auto* maintenanceRow = new QHBoxLayout(maintenance);
    maintenanceRow->addWidget(add_);
    maintenanceRow->addWidget(edit_);
    maintenanceRow->addWidget(delete_);

    auto* operation = new QGroupBox("Operation", this);
    addIntoRouter_ = MakeButton("Add into Router", "addIntoRouterButton", operation);
    portsList_ = MakeButton("Ports List", "portsListButton", operation);
    portCheck_ = MakeButton("Port Check", "portCheckButton", operation);
    portCheck_->hide();
    auto* operationRow = new QHBoxLayout(operation);
    operationRow->addWidget(addIntoRouter_);
    operationRow->addWidget(portsList_);
    operationRow->addWidget(portCheck_);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(maintenance, 1);
    buttons->addWidget(operation, 1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(list_, 1);
    page->addLayout(buttons);

    for (auto* button : {edit_, delete_, addIntoRouter_, portsList_, portCheck_})
        button->setEnabled(false);
}

CFormView_Client::~CFormView_Client() = default;

void CFormView_Client::reloadRows()
{
    list_->setRowCount(0);
    for (const auto& entry : entries_) {
        list_->appendRow({QString::fromUtf8(velmora::Field(entry.name)),
                          QString::fromUtf8(velmora::Field(entry.protocol)),
                          QString::fromUtf8(velmora::Field(entry.listen_port)),
                          QString::fromUtf8(velmora::Field(entry.destination_ip))});
    }
}

void CFormView_Client::onScanStarted()
{
    addIntoRouter_->setEnabled(false);
    portsList_->setEnabled(false);
}

void CFormView_Client::onRoutersFound()
{
    portsList_->setEnabled(true);
}
