#pragma once

#include "config/core/Records.h"
#include "forwarding/ui/CRouter_Add_Port.h"

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QComboBox;

namespace velmora {
class CatalogueReport;

// How the catalogue window reaches the Port Forwarding tab.
struct CatalogueForwarding
{
    // Runs the tab's Add with a filled dialog over the given window.
    using Add = std::function<void(const CRouter_Add_Port::Prefill& values, QWidget* dialogParent)>;

    const std::vector<ForwardingEntry>* entries = nullptr; // for free names
    Add add;
};

} // namespace velmora

// "Often Used Ports": the catalogue file shown as a report, filtered by the
// first character of the name, searched by name and extended. Modeless; the
// window deletes itself when it closes. "Forward..." opens the Add Port
// Forwarding dialog filled from the focused row.
class COften_used_ports final : public QDialog
{
    Q_OBJECT
public:
    using Forwarding = velmora::CatalogueForwarding;

    explicit COften_used_ports(std::string cataloguePath, Forwarding forwarding = {},
                               QWidget* parent = nullptr);

    // Reads the whole file again and shows the lines that pass `filter`; when
    // the file cannot be opened the report keeps what it showed.
    void ReadCatalogue(const QString& filter);
    void OnSearch();
    void OnAdd();
    void OnForward();

    velmora::CatalogueReport* report() const { return report_; }
    QComboBox* filterBox() const { return filter_; }

private:
    void fillFilterBox();

    std::string path_;
    Forwarding forwarding_;
    QComboBox* filter_ = nullptr;
    velmora::CatalogueReport* report_ = nullptr;
};
