#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QMap>
#include <QStringList>
#include <vector>

namespace velmora {

// The rows of a ReportList as text alone: each row one string of UTF-8
// (every cell after its length), plus whatever few values the caller keeps
// with a row. Some 150 bytes a row of a router's table, where an item object
// per cell costs a kilobyte.
class ReportRows final : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit ReportRows(QStringList headings, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    void appendRows(const QList<QStringList>& rows);
    // Rows past `count` go; new rows are empty.
    void setRowCount(int count);
    // The first cells.size() cells of `row`; the others keep their text.
    void setCells(int row, const QStringList& cells);
    void setCell(int row, int column, const QString& text);
    QString cell(int row, int column) const;

    // A value the caller keeps with a row under its own role; it moves with
    // the row and is also the data of the row's first cell in that role.
    void setRowData(int row, int role, const QVariant& value);
    QVariant rowData(int row, int role) const;

private:
    struct Row
    {
        QByteArray cells;
        QMap<int, QVariant> data; // empty for most rows: no allocation
    };

    QByteArray pack(const QStringList& cells) const;
    QStringList unpack(const QByteArray& packed) const;
    bool valid(int row) const { return row >= 0 && row < rowCount(); }

    QStringList headings_;
    std::vector<Row> rows_;
};

} // namespace velmora
