#pragma once
// What the main dialog needs of the graph and thumbnail windows: the application makes one factory
// (gui/shell/ViewFactory.h builds the real one) and hands it to the main dialog, which passes it on.
// The dialog leaves a command whose entry is empty disabled, so a window that is not there is
// never offered; tests pass entries of their own.
//
// Graph frames are visible top-level windows that delete themselves when closed. The dialog keeps
// them in its frame sets (FrameSet.h), which pass on the signals of a CGraphFrame: closed, modal
// dialog opened and closed, previous and next record.
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

class QItemSelectionModel;
class QWidget;
class CBaseDataSet;
class CSpectrumData;
class CSpectrumDataSet;

struct CViewFactory {
    // Thumbnail views, created once as the only pane of their frame. The view keeps the references
    // (they live as long as the main dialog); selection is the record list's, over data's rows. The
    // dialog connects a CDataThumbnailView or a CBaseDataThumbnailView to its own changes; any other
    // widget is only shown.
    std::function<QWidget*(QWidget* frame, CSpectrumDataSet& data, QItemSelectionModel& selection)>
        measuredThumbnailView;
    std::function<QWidget*(QWidget* frame, CBaseDataSet& standard)> standardThumbnailView;

    // A new spectrum graph frame (CDataGraphWnd with its CDataGraphView) titled title.
    std::function<QWidget*(const std::string& title)> openDataGraph;
    // The spectrum view's entry points. target is a frame returned by openDataGraph, or its view;
    // standard is the current standard data or null.
    std::function<void(QWidget* target, const CSpectrumData& latest, const CSpectrumData* standard)> showLatest;
    std::function<void(QWidget* target, const CSpectrumData& record, const CSpectrumData* standard)> showMeasured;
    std::function<void(QWidget* target, const std::vector<CSpectrumData>& records, const CSpectrumData* standard)>
        showPlural;
    // The standard data graph (a frame from openDataGraph) shows one standard record.
    std::function<void(QWidget* target, const CSpectrumData& record)> showStandard;
    // A new calculation data graph frame (CNumericalGraphWnd) titled title over its own copy of
    // records (at least two), already shown.
    std::function<QWidget*(const std::string& title, const CSpectrumDataSet& records)> openNumericalGraph;
    // A new 3-D graph frame (C3DGraphWnd) titled title over its own copies of records (at least two)
    // and of standard (the current standard data or null), already shown.
    std::function<QWidget*(const std::string& title, const CSpectrumDataSet& records, const CSpectrumData* standard)>
        open3DGraph;
    // A new light quality frame (CLightQualityWnd) titled title showing record (null: none), already
    // shown; showLightQuality shows another record in it (the list's selection moved).
    std::function<QWidget*(const std::string& title, std::shared_ptr<const CSpectrumData> record)> openLightQuality;
    std::function<void(QWidget* target, std::shared_ptr<const CSpectrumData> record)> showLightQuality;
    // A new heat map frame (CHeatMapWnd) titled title over its own copies of records (one or more)
    // and of standard (the current standard data or null), already shown.
    std::function<QWidget*(const std::string& title, const CSpectrumDataSet& records, const CSpectrumData* standard)>
        openHeatMap;
};
