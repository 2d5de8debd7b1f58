#pragma once

#include "config/core/Records.h"

#include <QDialog>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "Add Port Triggering": creates a triggering entry or changes one. OK checks
// the input in a fixed order and refuses bad input with a message; the tab
// reads the seven texts afterwards. The dialog changes no list itself.
class CAddPort final : public QDialog
{
    Q_OBJECT
public:
    // The seven texts handed back on OK (UTF-8, each fitting its record field).
    struct Texts
    {
        std::string name;
        std::string protocol;
        std::string trigger_address;
        std::string trigger_port;
        std::string trigger_port_end;
        std::string frequence;
        std::string auto_start;
    };

    // Pre-filled into the trigger address for Add; only ever a default here.
    static constexpr char kDefaultTriggerAddress[] = "www.wikipedia.org";
    // Longest frequency text: it must survive the 10-byte limit of loading.
    static constexpr int kFrequencyDigits = 9;

    // `entries` is the triggering list, read for duplicate names; `editing`
    // the entry to change, or null for Add.
    CAddPort(const std::vector<TriggeringEntry>& entries, const TriggeringEntry* editing,
             QWidget* parent = nullptr);

    const Texts& texts() const { return texts_; }

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void fillFrom(const TriggeringEntry* editing);
    void refuse(const QString& message);
    bool nameTaken(const std::string& name) const;

    const std::vector<TriggeringEntry>& entries_;
    bool editing_ = false;
    std::string editedName_;
    Texts texts_;

    QLineEdit* name_ = nullptr;
    QComboBox* protocol_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* startPort_ = nullptr;
    QLineEdit* endPort_ = nullptr;
    QLineEdit* frequency_ = nullptr;
    QCheckBox* autoStart_ = nullptr;
};
