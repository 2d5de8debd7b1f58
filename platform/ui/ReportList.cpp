#include "platform/ui/ReportList.h"

#include "platform/ui/ReportRows.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>

namespace velmora {

namespace {
QStringList Headings(const std::vector<ReportList::Column>& columns)
{
    QStringList headings;
    for (const auto& column : columns)
        headings << column.heading;
    return headings;
}
} // namespace

int HeadingWidth(const QHeaderView* header, const QString& heading)
{
    // The header elides a heading wider than its section less the style's
    // margins and four pixels.
    const int margins = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    return header->fontMetrics().horizontalAdvance(heading) + margins + 4;
}

ReportList::ReportList(const std::vector<Column>& columns, const QString& accessibleName,
                       QWidget* parent)
    : QTableView(parent), rows_(new ReportRows(Headings(columns), this))
{
    setModel(rows_);
    setAccessibleName(accessibleName);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    // A heading longer than its column's width (another language, a larger
    // font) widens the column.
    for (int i = 0; i < static_cast<int>(columns.size()); ++i)
        setColumnWidth(
            i, std::max(columns[static_cast<size_t>(i)].width,
                        HeadingWidth(horizontalHeader(), columns[static_cast<size_t>(i)].heading)));
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportList::itemSelectionChanged);
    connect(rows_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to, const QList<int>& roles) {
                if (!roles.isEmpty() && !roles.contains(Qt::DisplayRole))
                    return; // a value kept with the row, not its text
                for (int row = from.row(); row <= to.row(); ++row)
                    for (int column = from.column(); column <= to.column(); ++column)
                        emit cellChanged(row, column);
            });
}

int ReportList::rowCount() const
{
    return rows_->rowCount();
}

int ReportList::columnCount() const
{
    return rows_->columnCount();
}

int ReportList::appendRow(const QStringList& cells)
{
    rows_->appendRows({cells});
    return rowCount() - 1;
}

void ReportList::appendRows(const QList<QStringList>& rows)
{
    rows_->appendRows(rows);
}

void ReportList::setRowCells(int row, const QStringList& cells)
{
    rows_->setCells(row, cells);
}

void ReportList::setCell(int row, int column, const QString& text)
{
    rows_->setCell(row, column, text);
}

QString ReportList::cell(int row, int column) const
{
    return rows_->cell(row, column);
}

void ReportList::removeRow(int row)
{
    rows_->removeRows(row, 1);
}

void ReportList::setRowCount(int count)
{
    rows_->setRowCount(count);
}

void ReportList::setRowData(int row, int role, const QVariant& value)
{
    rows_->setRowData(row, role, value);
}

QVariant ReportList::rowData(int row, int role) const
{
    return rows_->rowData(row, role);
}

std::vector<int> ReportList::selectedRowsAscending() const
{
    std::vector<int> rows;
    for (const auto& index : selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int ReportList::firstSelectedRow() const
{
    auto rows = selectedRowsAscending();
    return rows.empty() ? -1 : rows.front();
}

} // namespace velmora
