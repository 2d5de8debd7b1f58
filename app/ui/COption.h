#pragma once

#include <QDialog>

class QCheckBox;

// The "Option" dialog: start with the desktop session, and whether the port
// mappings in the router are looked after. The flags carry the check states in and out.
class COption : public QDialog
{
    Q_OBJECT
public:
    COption(int autostartFlag, int monitorFlag, QWidget* parent = nullptr);

    int autostartFlag() const { return autostartFlag_; }
    int monitorFlag() const { return monitorFlag_; }

    void accept() override;

private:
    QCheckBox* autostart_ = nullptr;
    QCheckBox* monitor_ = nullptr;
    int autostartFlag_ = 0;
    int monitorFlag_ = 0;
};
