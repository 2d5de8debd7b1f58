#include "catalogue/ui/CatalogueReport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <algorithm>
#include <utility>

namespace velmora {

namespace {
constexpr int kColumnWidths[] = {50, 100, 100};

// A cell that sorts without regard to letter case.
class CatalogueCell final : public QTableWidgetItem
{
public:
    explicit CatalogueCell(const QString& text) : QTableWidgetItem(text) {}
    bool operator<(const QTableWidgetItem& other) const override
    {
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

// Cells keep the line end the last piece of a line was read with; it is not
// drawn, so that it does not push the text off its row. Each cell draws the
// solid vertical grid line on its right: the report has no horizontal ones.
class LineEndHidingDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
        const QStyle* style = view ? view->style() : QApplication::style();
        const QColor grid = QColor::fromRgba(static_cast<QRgb>(
            style->styleHint(QStyle::SH_Table_GridLineColor, &option, option.widget)));
        painter->save();
        painter->setPen(QPen(grid, 0, Qt::SolidLine));
        painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        painter->restore();
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        // The base class has turned '\n' into a line separator already.
        auto isLineEnd = [](QChar c) {
            return c == u'\n' || c == u'\r' || c == QChar::LineSeparator;
        };
        qsizetype end = option->text.size();
        while (end > 0 && isLineEnd(option->text[end - 1]))
            --end;
        option->text.truncate(end);
    }
};

QString Text(const std::string& utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}
} // namespace

CatalogueReport::CatalogueReport(QWidget* parent) : QTableWidget(0, 3, parent)
{
    setObjectName("catalogueReport");
    setItemDelegate(new LineEndHidingDelegate(this));
    setAccessibleName(tr("Often Used Ports"));
    setHorizontalHeaderLabels({tr("Application Name"), tr("TCP Ports"), tr("UDP Ports")});
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerItem);
    setShowGrid(false); // the cells draw the vertical lines; there are no horizontal ones
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setSortIndicatorShown(false);
    for (int column = 0; column < 3; ++column)
        setColumnWidth(column, kColumnWidths[column]);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this,
            &CatalogueReport::sortOnHeading);
}

void CatalogueReport::fillRow(int row, int recordIndex, const velmora::CatalogueRecord& record)
{
    const std::string* texts[] = {&record.name, &record.tcpPorts, &record.udpPorts};
    for (int column = 0; column < 3; ++column) {
        auto* cell = new CatalogueCell(Text(*texts[column]));
        if (column == 0)
            cell->setData(Qt::UserRole, recordIndex);
        setItem(row, column, cell);
    }
}

void CatalogueReport::setRecords(const std::vector<velmora::CatalogueRecord>& records)
{
    setUpdatesEnabled(false);
    clearContents();
    setRowCount(static_cast<int>(records.size()));
    nextRecord_ = 0;
    for (const auto& record : records) {
        fillRow(nextRecord_, nextRecord_, record);
        ++nextRecord_;
    }
    applySort();
    setUpdatesEnabled(true);
}

int CatalogueReport::addRecord(const velmora::CatalogueRecord& record)
{
    const int row = rowCount();
    const int index = nextRecord_++;
    insertRow(row);
    fillRow(row, index, record);
    applySort();
    for (int r = 0; r < rowCount(); ++r) {
        if (item(r, 0)->data(Qt::UserRole).toInt() == index)
            return r;
    }
    return row;
}

std::vector<int> CatalogueReport::rowsInRecordOrder() const
{
    std::vector<std::pair<int, int>> order; // record index, row
    order.reserve(static_cast<size_t>(rowCount()));
    for (int row = 0; row < rowCount(); ++row)
        order.emplace_back(item(row, 0)->data(Qt::UserRole).toInt(), row);
    std::sort(order.begin(), order.end());
    std::vector<int> rows;
    rows.reserve(order.size());
    for (const auto& entry : order)
        rows.push_back(entry.second);
    return rows;
}

velmora::CatalogueRecord CatalogueReport::record(int row) const
{
    velmora::CatalogueRecord out;
    std::string* texts[] = {&out.name, &out.tcpPorts, &out.udpPorts};
    for (int column = 0; column < 3; ++column) {
        if (auto* cell = item(row, column))
            *texts[column] = cell->text().toStdString();
    }
    return out;
}

void CatalogueReport::sortOnHeading(int column)
{
    if (column == sortColumn_)
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        sortOrder_ = Qt::AscendingOrder;
    sortColumn_ = column;
    horizontalHeader()->setSortIndicatorShown(true);
    horizontalHeader()->setSortIndicator(column, sortOrder_);
    applySort();
}

void CatalogueReport::applySort()
{
    if (sortColumn_ >= 0)
        sortItems(sortColumn_, sortOrder_);
}

void CatalogueReport::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    fitColumns();
}

void CatalogueReport::fitColumns()
{
    int total = 0;
    for (int column = 0; column < 3; ++column)
        total += std::max(columnWidth(column), 1);
    const int room = viewport()->width();
    if (room <= 0 || total == room)
        return;
    int used = 0;
    for (int column = 0; column < 2; ++column) {
        const int width = std::max(columnWidth(column), 1) * room / total;
        setColumnWidth(column, width);
        used += width;
    }
    setColumnWidth(2, std::max(room - used, 1));
}

} // namespace velmora
