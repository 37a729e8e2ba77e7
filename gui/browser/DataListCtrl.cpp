#include "gui/browser/DataListCtrl.h"

#include <QAbstractTableModel>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include "core/platform/Text.h"

class CDataListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : rows_; }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(headings_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role == Qt::TextAlignmentRole && index.isValid()) return QVariant::fromValue(Alignment(index.column()));
        if (role != Qt::DisplayRole || !index.isValid() || !cellText_) return {};
        // Texts from files written elsewhere may be CP932; show them decoded.
        return QString::fromStdString(platform::ToDisplayText(cellText_(index.row(), index.column())));
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Horizontal || section < 0 || section >= static_cast<int>(headings_.size())) return {};
        if (role == Qt::DisplayRole) return QString::fromStdString(headings_[static_cast<std::size_t>(section)]);
        if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Alignment(section));
        return {};
    }
    Qt::Alignment Alignment(int column) const {
        const bool right = column >= 0 && column < static_cast<int>(right_.size()) && right_[static_cast<std::size_t>(column)];
        return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }
    Qt::ItemFlags flags(const QModelIndex& index) const override {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }

    void SetHeadings(std::vector<std::string> headings, std::vector<bool> right) {
        beginResetModel();
        headings_ = std::move(headings);
        right_ = std::move(right);
        endResetModel();
    }
    void SetCellText(std::function<std::string(int, int)> f) { cellText_ = std::move(f); }

    void SetRows(int count) {
        count = std::max(count, 0);
        if (count > rows_) {
            beginInsertRows(QModelIndex(), rows_, count - 1);
            rows_ = count;
            endInsertRows();
        } else if (count < rows_) {
            // Removing only the tail keeps the selected state of the rows below the new count.
            beginRemoveRows(QModelIndex(), count, rows_ - 1);
            rows_ = count;
            endRemoveRows();
        }
        if (rows_ > 0 && !headings_.empty())
            emit dataChanged(index(0, 0), index(rows_ - 1, static_cast<int>(headings_.size()) - 1));
    }
    int Rows() const { return rows_; }

private:
    std::vector<std::string> headings_;
    std::vector<bool> right_;
    std::function<std::string(int, int)> cellText_;
    int rows_ = 0;
};

CDataListCtrl::CDataListCtrl(QWidget* parent) : QTreeView(parent), model_(new CDataListModel(this)) {
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The selection stays visible when the list has no focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
}

CDataListCtrl::~CDataListCtrl() = default;

void CDataListCtrl::setModel(QAbstractItemModel* model) {
    QTreeView::setModel(model);
    setSelectionModel(selectionModel());
}

void CDataListCtrl::setSelectionModel(QItemSelectionModel* selectionModel) {
    if (selectionModel != this->selectionModel()) QTreeView::setSelectionModel(selectionModel);
    disconnect(selectionWatch_);
    selectionWatch_ = connect(selectionModel, &QItemSelectionModel::selectionChanged, this, [this] {
        if (onSelectionChanged) onSelectionChanged();
    });
}

void CDataListCtrl::SetColumns(const std::vector<Column>& columns) {
    std::vector<std::string> headings;
    std::vector<bool> right;
    for (const auto& c : columns) {
        headings.push_back(c.heading);
        right.push_back(c.rightAligned);
    }
    model_->SetHeadings(std::move(headings), std::move(right));
    for (std::size_t i = 0; i < columns.size(); ++i) setColumnWidth(static_cast<int>(i), columns[i].width);
}

void CDataListCtrl::SetCellText(std::function<std::string(int, int)> cellText) { model_->SetCellText(std::move(cellText)); }

void CDataListCtrl::SetItemCount(int count) {
    model_->SetRows(count);
    viewport()->repaint();
}

int CDataListCtrl::ItemCount() const { return model()->rowCount(); }

int CDataListCtrl::ColumnCount() const { return model()->columnCount(); }

std::set<int> CDataListCtrl::SelectedRows() const {
    std::set<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows()) rows.insert(index.row());
    return rows;
}

void CDataListCtrl::SetRowSelected(int row, bool selected) {
    if (row < 0 || row >= ItemCount()) return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                        QItemSelectionModel::Rows);
}

void CDataListCtrl::SetSelectedRows(const std::set<int>& rows) {
    QItemSelection selection;
    const int last = std::max(0, ColumnCount() - 1);
    // Runs of consecutive rows become one range each.
    for (auto it = rows.begin(); it != rows.end();) {
        const int first = *it;
        int end = first;
        while (++it != rows.end() && *it == end + 1) ++end;
        const int from = std::max(first, 0);
        end = std::min(end, ItemCount() - 1);
        if (from > end) continue;
        selection.select(model()->index(from, 0), model()->index(end, last));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CDataListCtrl::SelectAllRows() {
    if (ItemCount() == 0) return;
    QItemSelection all(model()->index(0, 0), model()->index(ItemCount() - 1, std::max(0, ColumnCount() - 1)));
    selectionModel()->select(all, QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void CDataListCtrl::EnsureRowVisible(int row) {
    if (row < 0 || row >= ItemCount()) return;
    scrollTo(model()->index(row, 0), QAbstractItemView::EnsureVisible);
}

int CDataListCtrl::TextWidth(const std::string& text) const {
    return QFontMetrics(font()).horizontalAdvance(QString::fromStdString(text));
}

void CDataListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_A && (event->modifiers() & Qt::ControlModifier)) {
        if (onSelectAll) onSelectAll();
        else SelectAllRows();
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void CDataListCtrl::mousePressEvent(QMouseEvent* event) {
    QTreeView::mousePressEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && onClicked) onClicked(index.row());
}

void CDataListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (onDoubleClicked) onDoubleClicked(index.isValid() ? index.row() : -1);
}

void CDataListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (onContextMenu) onContextMenu(event->globalPos());
    event->accept();
}
