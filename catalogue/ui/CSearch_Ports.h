#pragma once

#include <QDialog>

class QLineEdit;

// "Search Application": asks for the text to look for in the names.
class CSearch_Ports final : public QDialog
{
    Q_OBJECT
public:
    explicit CSearch_Ports(QWidget* parent = nullptr);

    // Valid after OK: the text as typed, never empty.
    const QString& text() const { return text_; }

    void accept() override;

private:
    QLineEdit* nameEdit_ = nullptr;
    QString text_;
};
