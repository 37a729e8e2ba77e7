#pragma once
// A record list in report view: full-row and multiple selection, selection kept visible without
// focus, headers that do not sort. Its own model asks the owner for each cell's text on demand; a
// table model set with setModel takes its place.
#include <QTreeView>
#include <functional>
#include <set>
#include <string>
#include <vector>

class CDataListModel;

class CDataListCtrl : public QTreeView {
public:
    explicit CDataListCtrl(QWidget* parent = nullptr);
    ~CDataListCtrl() override;

    void setModel(QAbstractItemModel* model) override;
    void setSelectionModel(QItemSelectionModel* selectionModel) override;

    struct Column {
        std::string heading;
        int width = 80;
        bool rightAligned = false;  // numbers line up on their last digit
    };
    void SetColumns(const std::vector<Column>& columns);
    // The text of cell (row, column), asked only when the cell is shown.
    void SetCellText(std::function<std::string(int row, int column)> cellText);

    // Its own model: changes the row count without dropping the selected state of the rows that remain, then
    // repaints every row at once.
    void SetItemCount(int count);
    int ItemCount() const;

    int ColumnCount() const;
    std::set<int> SelectedRows() const;
    void SetRowSelected(int row, bool selected);
    // Every row selected exactly when it is in rows, in one change.
    void SetSelectedRows(const std::set<int>& rows);
    void SelectAllRows();
    void EnsureRowVisible(int row);

    // Notifications: the selected rows changed (any cause); a row was clicked or double-clicked;
    // (-1 when the double click hit no row); the context menu was asked for at a global position; Ctrl+A.
    std::function<void()> onSelectionChanged;
    std::function<void(int row)> onClicked;
    std::function<void(int row)> onDoubleClicked;
    std::function<void(const QPoint& globalPos)> onContextMenu;
    std::function<void()> onSelectAll;

    // Width in pixels of a text in the list's font, for the initial column widths.
    int TextWidth(const std::string& text) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    CDataListModel* model_;
    QMetaObject::Connection selectionWatch_;
};
