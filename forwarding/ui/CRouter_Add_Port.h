#pragma once

#include "config/core/Records.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;

// "Add Port Forwarding": collects and checks one forwarding entry, new or
// edited. The caller copies the results into its list after OK.
class CRouter_Add_Port final : public QDialog
{
    Q_OBJECT
public:
    // Gives the address to propose as Internal IP for a new entry (empty: none).
    using AddressProposer = std::function<std::string()>;

    // `entries` is the forwarding list (for the duplicate-name check);
    // `editing` the entry being edited, or null for a new one.
    CRouter_Add_Port(const std::vector<ForwardingEntry>& entries, const ForwardingEntry* editing,
                     QWidget* parent = nullptr, AddressProposer proposeAddress = {});

    // Texts a new entry's dialog opens with instead of empty ones; the
    // Internal IP stays the proposed address.
    struct Prefill
    {
        std::string name;
        std::string protocol; // "TCP", "UDP" or "Both"
        std::string ports;
    };
    void prefill(const Prefill& values);

    // The entry as OK left it: every field set, UTF-8 (the edits take no more
    // than a field keeps); `type` is "Y" or "N".
    const ForwardingEntry& entry() const { return entry_; }

    void accept() override;

private:
    void fillForNewEntry(const AddressProposer& proposeAddress);
    void fillFromEntry(const ForwardingEntry& entry);
    bool nameIsTaken(const std::string& name) const;
    void showError(const QString& caption, const QString& text);

    const std::vector<ForwardingEntry>& entries_;
    const ForwardingEntry* editing_;
    QLineEdit* nameEdit_ = nullptr;
    QComboBox* protocolBox_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    QLineEdit* internalIpEdit_ = nullptr;
    QCheckBox* autoAddBox_ = nullptr;
    ForwardingEntry entry_ = velmora::ZeroedRecord<ForwardingEntry>();
};
