#include "platform/ui/ReportRows.h"

namespace velmora {

namespace {

// A row is its cells in UTF-8, each after its length in bytes written 7 bits
// a byte, low bits first (one byte for a cell under 128 bytes).
void AppendCell(QByteArray& packed, const QByteArray& text)
{
    auto length = static_cast<quint64>(text.size());
    do {
        const auto low = static_cast<char>(length & 0x7F);
        length >>= 7;
        packed.append(length ? static_cast<char>(low | 0x80) : low);
    } while (length);
    packed.append(text);
}

// The cell that starts at `at`; `at` moves past it.
QByteArrayView NextCell(const QByteArray& packed, qsizetype& at)
{
    quint64 length = 0;
    for (int shift = 0; at < packed.size() && shift < 64; shift += 7) {
        const auto byte = static_cast<unsigned char>(packed[at++]);
        length |= quint64(byte & 0x7F) << shift;
        if (!(byte & 0x80))
            break;
    }
    const qsizetype size = std::min(static_cast<qsizetype>(length), packed.size() - at);
    const QByteArrayView cell(packed.constData() + at, size);
    at += size;
    return cell;
}

} // namespace

ReportRows::ReportRows(QStringList headings, QObject* parent)
    : QAbstractTableModel(parent), headings_(std::move(headings))
{
}

int ReportRows::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ReportRows::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant ReportRows::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !valid(index.row()))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell(index.row(), index.column());
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    default:
        return index.column() == 0 ? rowData(index.row(), role) : QVariant();
    }
}

QVariant ReportRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || section < 0)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return section < headings_.size() ? QVariant(headings_[section]) : QVariant();
}

Qt::ItemFlags ReportRows::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // As a table item's: the view allows no editing.
    return Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled |
           Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled | Qt::ItemIsEditable;
}

bool ReportRows::removeRows(int row, int count, const QModelIndex& parent)
{
    if (parent.isValid() || count <= 0 || row < 0 || row + count > rowCount())
        return false;
    beginRemoveRows({}, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    return true;
}

void ReportRows::appendRows(const QList<QStringList>& rows)
{
    if (rows.isEmpty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (const QStringList& cells : rows)
        rows_.push_back({pack(cells), {}});
    endInsertRows();
}

void ReportRows::setRowCount(int count)
{
    count = std::max(count, 0);
    if (count < rowCount()) {
        removeRows(count, rowCount() - count);
    } else if (count > rowCount()) {
        beginInsertRows({}, rowCount(), count - 1);
        rows_.resize(static_cast<size_t>(count), Row{pack({}), {}});
        endInsertRows();
    }
}

void ReportRows::setCells(int row, const QStringList& cells)
{
    const int changed = std::min(static_cast<int>(cells.size()), columnCount());
    if (!valid(row) || changed <= 0)
        return;
    QByteArray& packed = rows_[static_cast<size_t>(row)].cells;
    QStringList all = unpack(packed);
    for (int column = 0; column < changed; ++column)
        all[column] = cells[column];
    packed = pack(all);
    emit dataChanged(index(row, 0), index(row, changed - 1), {Qt::DisplayRole, Qt::EditRole});
}

void ReportRows::setCell(int row, int column, const QString& text)
{
    if (!valid(row) || column < 0 || column >= columnCount())
        return;
    QByteArray& packed = rows_[static_cast<size_t>(row)].cells;
    QStringList all = unpack(packed);
    all[column] = text;
    packed = pack(all);
    emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole, Qt::EditRole});
}

QString ReportRows::cell(int row, int column) const
{
    if (!valid(row) || column < 0 || column >= columnCount())
        return {};
    const QByteArray& packed = rows_[static_cast<size_t>(row)].cells;
    qsizetype at = 0;
    for (int skipped = 0; skipped < column; ++skipped)
        NextCell(packed, at);
    return QString::fromUtf8(NextCell(packed, at));
}

void ReportRows::setRowData(int row, int role, const QVariant& value)
{
    if (!valid(row))
        return;
    rows_[static_cast<size_t>(row)].data.insert(role, value);
    emit dataChanged(index(row, 0), index(row, 0), {role});
}

QVariant ReportRows::rowData(int row, int role) const
{
    return valid(row) ? rows_[static_cast<size_t>(row)].data.value(role) : QVariant();
}

QByteArray ReportRows::pack(const QStringList& cells) const
{
    QByteArray packed;
    for (int column = 0; column < columnCount(); ++column)
        AppendCell(packed, column < cells.size() ? cells[column].toUtf8() : QByteArray());
    packed.squeeze();
    return packed;
}

QStringList ReportRows::unpack(const QByteArray& packed) const
{
    QStringList cells;
    qsizetype at = 0;
    for (int column = 0; column < columnCount(); ++column)
        cells << QString::fromUtf8(NextCell(packed, at));
    return cells;
}

} // namespace velmora
