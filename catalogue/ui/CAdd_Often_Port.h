#pragma once

#include <QDialog>
#include <string>

class QLineEdit;

// "Add Often Used Ports": a new application for the catalogue. The fields are
// limited so that the written line fits the reader's line size, and a "|" or
// a line end in any of them is refused, since either would break the line.
class CAdd_Often_Port final : public QDialog
{
    Q_OBJECT
public:
    explicit CAdd_Often_Port(QWidget* parent = nullptr);

    // Valid after OK, UTF-8, as typed.
    const std::string& name() const { return name_; }
    const std::string& tcpPorts() const { return tcpPorts_; }
    const std::string& udpPorts() const { return udpPorts_; }

    void accept() override;

private:
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* tcpEdit_ = nullptr;
    QLineEdit* udpEdit_ = nullptr;
    std::string name_;
    std::string tcpPorts_;
    std::string udpPorts_;
};
