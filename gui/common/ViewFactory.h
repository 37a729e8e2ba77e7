#pragma once
// What the main dialog needs of the graph and thumbnail windows: the application makes one factory
// (gui/shell/ViewFactory.h builds the real one) and hands it to the main dialog, which passes it on.
// The dialog leaves a command whose entry is empty disabled, so a window that is not there is
// never offered; tests pass entries of their own.
//
// Graph frames are visible top-level windows that delete themselves when closed and then post
// UM_GRAPH_CLOSED (set index, ui::HandleOf(frame)) to ui::MainWindow(); a frame that shows a modal
// dialog posts UM_MODAL_OPENED before and UM_MODAL_CLOSED after it.
#include <functional>
#include <set>
#include <string>
#include <vector>

class QWidget;
class CBaseDataSet;
class CSpectrumData;
class CSpectrumDataSet;

struct CViewFactory {
    // Thumbnail views, created once as the only pane of their frame. The view keeps the references
    // (they live as long as the main dialog) and receives posted UM_SELECTION_CHANGED,
    // UM_DATASET_CHANGED and UM_ENSURE_VISIBLE (measured) or UM_STANDARD_CHANGED (standard).
    std::function<QWidget*(QWidget* frame, CSpectrumDataSet& data, std::set<int>& selection)> measuredThumbnailView;
    std::function<QWidget*(QWidget* frame, CBaseDataSet& standard)> standardThumbnailView;

    // A new spectrum graph frame (CDataGraphWnd with its CDataGraphView) titled title, belonging to
    // graph window set setIndex (0 one record, 1 several, 2 trend, 3 standard data).
    std::function<QWidget*(const std::string& title, int setIndex)> openDataGraph;
    // The spectrum view's entry points. target is a frame returned by openDataGraph, or the view
    // named in UM_SHOW_PREVIOUS / UM_SHOW_NEXT; standard is the current standard data or null.
    std::function<void(QWidget* target, const CSpectrumData& latest, const CSpectrumData* standard)> showLatest;
    std::function<void(QWidget* target, const CSpectrumData& record, const CSpectrumData* standard)> showMeasured;
    std::function<void(QWidget* target, const std::vector<CSpectrumData>& records, const CSpectrumData* standard)>
        showPlural;
    // The standard data graph (a frame from openDataGraph with set index 3) shows one standard record.
    std::function<void(QWidget* target, const CSpectrumData& record)> showStandard;
    // A new calculation data graph frame (CNumericalGraphWnd) titled title over its own copy of
    // records (at least two), already shown; it belongs to window set 4.
    std::function<QWidget*(const std::string& title, const CSpectrumDataSet& records)> openNumericalGraph;
    // A new 3-D graph frame (C3DGraphWnd) titled title over its own copies of records (at least two)
    // and of standard (the current standard data or null), already shown; it belongs to window set 5.
    std::function<QWidget*(const std::string& title, const CSpectrumDataSet& records, const CSpectrumData* standard)>
        open3DGraph;
};
