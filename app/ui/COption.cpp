#include "app/ui/COption.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

COption::COption(int autostartFlag, int monitorFlag, QWidget* parent)
    : QDialog(parent), autostartFlag_(autostartFlag), monitorFlag_(monitorFlag)
{
    setObjectName("COption");
    setWindowTitle("Option");
    autostart_ = new QCheckBox("Automatically startup when computer power on ", this);
    autostart_->setObjectName("autostartCheck");
    monitor_ = new QCheckBox("Monitor port forwarding entry change in router", this);
    monitor_->setObjectName("monitorCheck");
    monitor_->setAccessibleName(monitor_->text());
    autostart_->setChecked(autostartFlag_ != 0);
    monitor_->setChecked(monitorFlag_ != 0);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &COption::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COption::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(autostart_);
    layout->addWidget(monitor_);
    layout->addWidget(buttons);
}

void COption::accept()
{
    autostartFlag_ = autostart_->isChecked() ? 1 : 0;
    monitorFlag_ = monitor_->isChecked() ? 1 : 0;
    QDialog::accept();
}
