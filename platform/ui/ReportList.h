#pragma once

#include <QStringList>
#include <QTableView>
#include <QVariant>
#include <vector>

class QHeaderView;

namespace velmora {

class ReportRows;

// The width a section of `header` needs to show `heading` whole.
int HeadingWidth(const QHeaderView* header, const QString& heading);

// A report-style list: column headings, full-row selection of several rows,
// grid lines, read-only cells. Row i mirrors element i of the list it shows.
// Rows are kept as text (ReportRows), so that a router's whole table of
// mappings stays small.
class ReportList : public QTableView
{
    Q_OBJECT
public:
    struct Column
    {
        QString heading;
        int width = 100;
    };

    ReportList(const std::vector<Column>& columns, const QString& accessibleName,
               QWidget* parent = nullptr);

    int rowCount() const;
    int columnCount() const;
    int appendRow(const QStringList& cells);
    // Many rows at once: the table grows once for all of them.
    void appendRows(const QList<QStringList>& rows);
    void setRowCells(int row, const QStringList& cells);
    void setCell(int row, int column, const QString& text);
    QString cell(int row, int column) const;
    void removeRow(int row);
    // Rows past `count` go; new rows are empty.
    void setRowCount(int count);

    // A value kept with a row under the caller's own role (a key, a mark);
    // it moves with the row and goes with it.
    void setRowData(int row, int role, const QVariant& value);
    QVariant rowData(int row, int role) const;

    // Selected rows in ascending order; the first of them, or -1.
    std::vector<int> selectedRowsAscending() const;
    int firstSelectedRow() const;

signals:
    // The selection changed (by the user or by the program).
    void itemSelectionChanged();
    // A cell's text changed (setCell, setRowCells).
    void cellChanged(int row, int column);

private:
    ReportRows* rows_ = nullptr;
};

} // namespace velmora
