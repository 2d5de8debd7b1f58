#include "triggering/ui/CFormView_Server.h"

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

CFormView_Server::CFormView_Server(std::vector<TriggeringEntry>& entries, QWidget* parent)
    : QWidget(parent), entries_(entries)
{
    setObjectName("CFormView_Server");
    list_ = new ReportList({{"Name", 130},
                            {"Status", 70},
                            {"Auto Start", 70},
                            {"Protocol", 80},
                            {"Trigger Address", 110},
                            {"Trigger Port(Start)", 110},
                            {"Trigger Port(End)", 110},
                            {"Frequence(ms)", 100}},
                           "Port Triggering entries", this);
    list_->setObjectName("triggeringList");

    auto* maintenance = new QGroupBox("Maintenance", this);
    add_ = MakeButton("Add", "addButton", maintenance);
    edit_ = MakeButton("Edit", "editButton", maintenance);
    delete_ = MakeButton("Delete", "deleteButton", maintenance);
    auto* maintenanceRow = new QHBoxLayout(maintenance);
    maintenanceRow->addWidget(add_);
    maintenanceRow->addWidget(edit_);
    maintenanceRow->addWidget(delete_);

    auto* operation = new QGroupBox("Operation", this);
    start_ = MakeButton("Start", "startButton", operation);
    stop_ = MakeButton("Stop", "stopButton", operation);
    auto* operationRow = new QHBoxLayout(operation);
    operationRow->addStretch();
    operationRow->addWidget(start_);
    operationRow->addStretch();
    operationRow->addWidget(stop_);
    operationRow->addStretch();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(maintenance, 175);
    buttons->addWidget(operation, 215);
    auto* page = new QVBoxLayout(this);
    page->addWidget(list_, 1);
    page->addLayout(buttons);

    for (auto* button : {edit_, delete_, start_, stop_})
        button->setEnabled(false);
}

CFormView_Server::~CFormView_Server() = default;

void CFormView_Server::reloadRows()
{
    list_->setRowCount(0);
    for (const auto& entry : entries_) {
        list_->appendRow({QString::fromUtf8(velmora::Field(entry.name)), "stop",
                          QString::fromUtf8(velmora::Field(entry.auto_start)),
                          QString::fromUtf8(velmora::Field(entry.protocol)),
                          QString::fromUtf8(velmora::Field(entry.trigger_address)),
                          QString::fromUtf8(velmora::Field(entry.trigger_port)),
                          QString::fromUtf8(velmora::Field(entry.trigger_port_end)),
                          QString::fromUtf8(velmora::Field(entry.frequence))});
    }
}

void CFormView_Server::startAutoStartEntries() {}
