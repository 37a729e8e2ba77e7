#include "gui/browser/StandardPanel.h"

#include <QAction>
#include <QHBoxLayout>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/data/BaseDataSet.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/common/ActionButton.h"
#include "gui/common/FrameSet.h"
#include "gui/common/Prompter.h"
#include "gui/common/ViewFactory.h"

namespace {

QString Q(int id) { return QString::fromStdString(platform::LoadString(id)); }

}  // namespace

CStandardPanel::CStandardPanel(CBaseDataSet& standard, CFrameSet& graphs, const CViewFactory& views, QWidget* parent)
    : QGroupBox(Q(ids::kStandardData), parent), standard_(standard), graphs_(graphs), views_(views) {
    list_ = new CDataListCtrl(this);
    list_->setObjectName(QStringLiteral("standardList"));
    list_->setMinimumHeight(70);
    list_->setMaximumHeight(110);

    // Plotting needs the spectrum graph window; without it the commands are not offered.
    const bool canPlot = static_cast<bool>(views_.openDataGraph);
    QAction* plot = MakeAction("actionStandardPlot", ids::kPlot, &CStandardPanel::PlotSelected);
    plot->setEnabled(canPlot);
    QAction* remove = MakeAction("actionStandardDelete", ids::kDeleteFromHistory, &CStandardPanel::DeleteEntry);
    QAction* update = MakeAction("actionStandardUpdate", ids::kUpdateAsStandard, &CStandardPanel::UpdateEntry);
    // The popup's "Plot" shows the current standard data, whatever row is selected.
    QAction* plotCurrent = MakeAction("actionStandardPlotCurrent", ids::kPlot, &CStandardPanel::PlotCurrent);
    plotCurrent->setEnabled(canPlot);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(MakeActionButton(remove->text(), remove, QStringLiteral("standardDeleteButton"), this));
    buttons->addWidget(MakeActionButton(update->text(), update, QStringLiteral("standardUpdateButton"), this));
    buttons->addWidget(MakeActionButton(plot->text(), plot, QStringLiteral("standardPlotButton"), this));
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);

    menu_ = new QMenu(Q(ids::kStandardData), this);
    menu_->setObjectName(QStringLiteral("standardMenu"));
    menu_->addAction(plotCurrent);

    list_->onContextMenu = [this](const QPoint& at) { menu_->popup(at); };
}

QAction* CStandardPanel::MakeAction(const char* name, int textId, void (CStandardPanel::*run)()) {
    auto* action = new QAction(Q(textId), this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, run);
    return action;
}

void CStandardPanel::Refresh() {
    const int count = standard_.ItemCount();
    list_->SetItemCount(count);
    if (count > 0) list_->EnsureRowVisible(0);
    emit standardChanged();
}

int CStandardPanel::SelectedRow() const {
    const std::set<int> rows = list_->SelectedRows();
    // A row the list still marks but the set no longer has counts as no selection.
    if (rows.empty() || *rows.begin() >= standard_.ItemCount()) return -1;
    return *rows.begin();
}

void CStandardPanel::PlotSelected() {
    if (!views_.openDataGraph) return;
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
        return;
    }
    Plot(row);
}

void CStandardPanel::PlotCurrent() {
    if (!views_.openDataGraph) return;
    if (standard_.ItemCount() < 1) {
        ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
        return;
    }
    Plot(0);
}

void CStandardPanel::Plot(int row) {
    if (standard_.ItemCount() < 1) {
        ShowMessage(this, ids::kNotSelectedStandardData);
        return;
    }
    // One standard data graph at most: an open one is raised and shows the new entry.
    QWidget* frame = graphs_.At(0);
    if (frame) {
        frame->showNormal();
        frame->raise();
        frame->activateWindow();
    } else {
        frame = views_.openDataGraph(platform::LoadString(ids::kStandardDataGraph));
        if (!frame) return;
        graphs_.Add(frame);
    }
    if (views_.showStandard) views_.showStandard(frame, standard_.Item(row));
}

void CStandardPanel::DeleteEntry() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
        return;
    }
    // A history file that cannot be written keeps the change for this run only: say so.
    if (!standard_.Remove(row))
        ShowMessage(this, standard_.Outdated() ? ids::kStandardHistoryChanged : ids::kCannotSaveData,
                    Prompter::Icon::Warning);
    Refresh();
}

void CStandardPanel::UpdateEntry() {
    const int row = SelectedRow();
    if (row < 0) {
        ShowMessage(this, ids::kSelectAData, Prompter::Icon::Information);
        return;
    }
    if (row == 0) return;  // already current
    if (!standard_.Select(row)) {
        ShowMessage(this, standard_.Outdated() ? ids::kStandardHistoryChanged : ids::kCannotSaveData,
                    Prompter::Icon::Warning);
        Refresh();
        return;
    }
    Refresh();
    // The chosen entry is now row 0; the mark goes with it, so that "Plot" or "Delete from history"
    // next acts on the entry the user picked, not on whatever moved into its row.
    list_->clearSelection();
    list_->SetRowSelected(0, true);
}
