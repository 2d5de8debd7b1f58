#include "catalogue/ui/COften_used_ports.h"

#include "catalogue/core/CatalogueFile.h"
#include "catalogue/core/ForwardProposal.h"
#include "catalogue/ui/CAdd_Often_Port.h"
#include "catalogue/ui/CSearch_Ports.h"
#include "catalogue/ui/CatalogueReport.h"
#include "catalogue/ui/CatalogueTexts.h"
#include "platform/ui/FormButtons.h"
#include "platform/ui/Tr.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace texts = velmora::catalogue_texts;

COften_used_ports::COften_used_ports(std::string cataloguePath, Forwarding forwarding,
                                     QWidget* parent)
    : QDialog(parent), path_(std::move(cataloguePath)), forwarding_(std::move(forwarding))
{
    setObjectName("COften_used_ports");
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowTitle(velmora::Tr(texts::kWindowTitle));

    auto* label = new QLabel(velmora::Tr(texts::kFilterLabel), this);
    filter_ = new QComboBox(this);
    filter_->setObjectName("filterBox");
    filter_->setAccessibleName(QString(velmora::Tr(texts::kFilterLabel)).trimmed());
    label->setBuddy(filter_);
    report_ = new velmora::CatalogueReport(this);
    auto* search = velmora::MakeFormButton(tr("Search"), "searchButton", this);
    auto* add = velmora::MakeFormButton(tr("Add"), "addButton", this);
    auto* forward = velmora::MakeFormButton(tr("Forward..."), "forwardButton", this);
    auto* cancel = velmora::MakeFormButton(tr("Cancel"), "cancelButton", this);

    auto* top = new QHBoxLayout;
    top->addWidget(label);
    top->addWidget(filter_);
    top->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (auto* button : {search, add, forward, cancel})
        buttons->addWidget(button);
    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addWidget(report_, 1);
    page->addLayout(buttons);
    resize(760, 480);

    ReadCatalogue(texts::kAllFilter);
    fillFilterBox();

    connect(filter_, &QComboBox::currentIndexChanged, this,
            [this](int index) { ReadCatalogue(filter_->itemData(index).toString()); });
    connect(search, &QPushButton::clicked, this, &COften_used_ports::OnSearch);
    connect(add, &QPushButton::clicked, this, &COften_used_ports::OnAdd);
    connect(forward, &QPushButton::clicked, this, &COften_used_ports::OnForward);
    connect(cancel, &QPushButton::clicked, this, &COften_used_ports::reject);
}

void COften_used_ports::fillFilterBox()
{
    // The box keeps its items sorted, so "ALL" falls between "A" and "B". Each
    // item carries the filter it stands for; "ALL" shows in the user's language.
    QStringList items{texts::kAllFilter};
    for (char c = '0'; c <= '9'; ++c)
        items << QString(QChar(c));
    for (char c = 'A'; c <= 'Z'; ++c)
        items << QString(QChar(c));
    items.sort(Qt::CaseSensitive);
    for (const QString& item : items)
        filter_->addItem(item == texts::kAllFilter ? velmora::Tr(texts::kAllFilter) : item, item);
    filter_->setCurrentIndex(filter_->findData(QString(texts::kAllFilter)));
}

void COften_used_ports::ReadCatalogue(const QString& filter)
{
    std::vector<velmora::CatalogueRecord> records;
    if (!velmora::ReadCatalogue(path_, filter.toStdString(), records) && records.empty())
        return;
    report_->setRecords(records);
}

void COften_used_ports::OnSearch()
{
    CSearch_Ports dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString wanted = dialog.text();
    bool found = false;
    for (int row : report_->rowsInRecordOrder()) {
        auto* cell = report_->item(row, 0);
        if (!cell || !cell->text().contains(wanted, Qt::CaseInsensitive))
            continue;
        found = true;
        report_->scrollToItem(cell);
        report_->setCurrentCell(row, 0);
    }
    if (!found)
        QMessageBox::information(this, texts::kAppCaption, wanted + velmora::Tr(texts::kNotFound));
}

void COften_used_ports::OnAdd()
{
    CAdd_Often_Port dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const velmora::CatalogueRecord& record = dialog.record();
    std::string reason;
    if (velmora::AppendCatalogueLine(path_, record.name, record.tcpPorts, record.udpPorts,
                                     &reason) != 0) {
        // A row that is not in the file would be gone at the next read.
        QMessageBox::critical(
            this, velmora::Tr(texts::kErrorCaption),
            velmora::Tr(texts::kAppendFailed)
                .arg(QString::fromStdString(path_), QString::fromStdString(reason)));
        return;
    }
    report_->addRecord(record);
}

void COften_used_ports::OnForward()
{
    // The selected row: a screen reader selects without moving the current cell.
    const QModelIndexList selected = report_->selectionModel()->selectedRows();
    const int row = selected.isEmpty() ? -1 : selected.first().row();
    if (row < 0 || !forwarding_.add || !forwarding_.entries)
        return;
    const auto proposals = velmora::ProposeForwarding(
        report_->record(row), velmora::FieldCapacity(ForwardingEntry{}.listen_port));
    QPointer<COften_used_ports> self(this);
    for (const auto& proposal : proposals) {
        CRouter_Add_Port::Prefill values{
            velmora::UniqueEntryName(proposal.name, *forwarding_.entries, proposal.suffix),
            proposal.protocol, proposal.ports};
        forwarding_.add(values, this);
        if (!self)
            return; // the window went while its dialog was open
    }
}
