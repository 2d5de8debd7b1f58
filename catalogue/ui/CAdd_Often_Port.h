#pragma once

#include "catalogue/core/CatalogueRecord.h"

#include <QDialog>

class QLineEdit;

// "Add Often Used Ports": a new application for the catalogue. The fields are
// limited so that the written line fits the reader's line size, and a "|" or
// a line end in any of them is refused, since either would break the line.
class CAdd_Often_Port final : public QDialog
{
    Q_OBJECT
public:
    explicit CAdd_Often_Port(QWidget* parent = nullptr);

    // The new application, valid after OK: UTF-8, as typed.
    const velmora::CatalogueRecord& record() const { return record_; }

    void accept() override;

private:
    QLineEdit* nameEdit_ = nullptr;
    QLineEdit* tcpEdit_ = nullptr;
    QLineEdit* udpEdit_ = nullptr;
    velmora::CatalogueRecord record_;
};
