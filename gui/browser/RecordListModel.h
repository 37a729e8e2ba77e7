#pragma once
// The record list's model: one row per entry of the data set of the last search, its cells made
// when a view asks for them (only rows in view are asked). The data set is the dialog's; the
// dialog tells the model how it changed: a new search, records appended, rows removed.
#include <QAbstractTableModel>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/data/SpectrumData.h"

class CSpectrumDataSet;

class CRecordListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    struct Column {
        std::string heading;
        bool rightAligned = false;  // numbers line up on their last digit
    };
    // The columns: time, comment, PAR, photon, illuminance, longitude, latitude, altitude.
    CRecordListModel(CSpectrumDataSet& records, std::vector<Column> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // After a search: the rows are the data set's anew. When the new rows only add to the end of
    // the rows shown (a record was stored), they are inserted and the view keeps its place.
    void Searched();
    // The entries from the shown row count up to the data set's count were appended.
    void Appended();
    // Rows (indices as they were before) have left the data set.
    void Removed(const std::set<int>& rows);

    // The text of a record's cell (the standard data list shows the same columns).
    static std::string CellText(CSpectrumData record, int column);

private:
    using Key = std::pair<int64_t, int64_t>;  // file date, byte offset: where a record lives
    std::vector<Key> Keys() const;
    std::string EntryText(int row, int column) const;

    CSpectrumDataSet& records_;
    const std::vector<Column> columns_;
    int rows_ = 0;           // rows the views know of
    std::vector<Key> keys_;  // their records, to tell an append from another search result
};
