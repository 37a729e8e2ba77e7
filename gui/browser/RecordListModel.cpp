#include "gui/browser/RecordListModel.h"

#include <algorithm>

#include "core/data/SpectrumDataSet.h"
#include "core/platform/LocalTime.h"
#include "core/platform/Text.h"

CRecordListModel::CRecordListModel(CSpectrumDataSet& records, std::vector<Column> columns, QObject* parent)
    : QAbstractTableModel(parent), records_(records), columns_(std::move(columns)) {
    rows_ = records_.Count();
    keys_ = Keys();
}

int CRecordListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int CRecordListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

// By value: the derived values are computed on the copy, the list never changes a set.
std::string CRecordListModel::CellText(CSpectrumData r, int column) {
    switch (column) {
        case 0: return platform::FormatLocal(r.GetTime(), "%Y/%m/%d %H:%M:%S");
        case 1: return r.GetMemo();
        case 2: return platform::FormatG(r.GetPar());
        case 3: return platform::FormatG(r.GetPhoton());
        case 4: return platform::FormatG(r.GetLux());
        case 5: return platform::FormatG(r.GetLongitude());
        case 6: return platform::FormatG(r.GetLatitude());
        case 7: return platform::FormatG(r.GetAltitude());
        default: return {};
    }
}

QVariant CRecordListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_) return {};
    if (role == Qt::TextAlignmentRole) return headerData(index.column(), Qt::Horizontal, role);
    if (role != Qt::DisplayRole) return {};
    if (index.row() >= records_.Count()) return {};
    // Texts from files written elsewhere may be CP932; show them decoded.
    return QString::fromStdString(platform::ToDisplayText(EntryText(index.row(), index.column())));
}

std::string CRecordListModel::EntryText(int row, int column) const {
    const CSpectrumDataSet::Entry& e = records_.At(row);
    switch (column) {
        case 0: return platform::FormatLocal(e.Time, "%Y/%m/%d %H:%M:%S");
        case 1: return e.Memo;
        case 5: return platform::FormatG(e.Longitude);
        case 6: return platform::FormatG(e.Latitude);
        case 7: return platform::FormatG(e.Altitude);
        default: break;
    }
    // The derived values need the whole record: read for the rows shown, once.
    const CSpectrumDataSet::Derived* v = column >= 2 && column <= 4 ? records_.Values(row) : nullptr;
    if (!v) return {};
    return platform::FormatG(column == 2 ? v->par : column == 3 ? v->photon : v->lux);
}

QVariant CRecordListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(columns_.size())) return {};
    const Column& c = columns_[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return QString::fromStdString(c.heading);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue((c.rightAligned ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CRecordListModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

std::vector<CRecordListModel::Key> CRecordListModel::Keys() const {
    std::vector<Key> keys;
    keys.reserve(static_cast<std::size_t>(records_.Count()));
    for (int i = 0; i < records_.Count(); ++i) keys.emplace_back(records_.At(i).FileDate, records_.At(i).FileOffset);
    return keys;
}

void CRecordListModel::Searched() {
    std::vector<Key> keys = Keys();
    const bool grew = keys.size() >= keys_.size() && std::equal(keys_.begin(), keys_.end(), keys.begin());
    if (grew) {
        Appended();
        if (rows_ > 0) emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
        return;
    }
    beginResetModel();
    rows_ = records_.Count();
    keys_ = std::move(keys);
    endResetModel();
}

void CRecordListModel::Appended() {
    const int count = records_.Count();
    if (count > rows_) {
        beginInsertRows({}, rows_, count - 1);
        for (int i = rows_; i < count; ++i) keys_.emplace_back(records_.At(i).FileDate, records_.At(i).FileOffset);
        rows_ = count;
        endInsertRows();
    }
}

void CRecordListModel::Removed(const std::set<int>& rows) {
    // From the last run of rows up, so that each run's numbers still hold when it goes.
    for (auto it = rows.rbegin(); it != rows.rend();) {
        const int last = *it;
        int first = last;
        while (++it != rows.rend() && *it == first - 1) --first;
        if (first < 0 || last >= rows_) continue;
        beginRemoveRows({}, first, last);
        keys_.erase(keys_.begin() + first, keys_.begin() + last + 1);
        rows_ -= last - first + 1;
        endRemoveRows();
    }
}
