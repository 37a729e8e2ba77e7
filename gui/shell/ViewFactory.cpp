#include "gui/shell/ViewFactory.h"

#include <QString>

#include "gui/threed/3DGraphView.h"
#include "gui/threed/3DGraphWnd.h"
#include "gui/browser/BaseDataThumbnailView.h"
#include "gui/spectrum/DataGraphView.h"
#include "gui/spectrum/DataGraphWnd.h"
#include "gui/browser/DataThumbnailView.h"
#include "gui/quality/LightQualityWnd.h"
#include "gui/heatmap/HeatMapView.h"
#include "gui/heatmap/HeatMapWnd.h"
#include "gui/trend/NumericalGraphView.h"
#include "gui/trend/NumericalGraphWnd.h"

namespace {

// The target of a spectrum entry point: a frame from openDataGraph, or its view.
CDataGraphView* ViewOf(QWidget* target) {
    if (auto* frame = dynamic_cast<CDataGraphWnd*>(target)) return frame->View();
    return dynamic_cast<CDataGraphView*>(target);
}

}  // namespace

CViewFactory MakeViewFactory() {
    CViewFactory f;
    f.measuredThumbnailView = [](QWidget* frame, CSpectrumDataSet& data, QItemSelectionModel& selection) -> QWidget* {
        auto* view = new CDataThumbnailView(frame);
        view->setObjectName(QStringLiteral("CDataThumbnailView"));
        view->Attach(data, selection);
        return view;
    };
    f.standardThumbnailView = [](QWidget* frame, CBaseDataSet& standard) -> QWidget* {
        auto* view = new CBaseDataThumbnailView(frame);
        view->setObjectName(QStringLiteral("CBaseDataThumbnailView"));
        view->Attach(standard);
        return view;
    };
    f.openDataGraph = [](const std::string& title) -> QWidget* {
        auto* frame = new CDataGraphWnd(title);
        frame->View()->InitialUpdate();
        frame->show();
        frame->activateWindow();
        return frame;
    };
    f.showLatest = [](QWidget* target, const CSpectrumData& latest, const CSpectrumData* standard) {
        if (CDataGraphView* view = ViewOf(target)) view->ShowLatest(latest, standard);
    };
    f.showMeasured = [](QWidget* target, const CSpectrumData& record, const CSpectrumData* standard) {
        if (CDataGraphView* view = ViewOf(target)) view->ShowMeasured(record, standard);
    };
    f.showPlural = [](QWidget* target, const std::vector<CSpectrumData>& records, const CSpectrumData* standard) {
        if (CDataGraphView* view = ViewOf(target)) view->ShowPlural(records, standard);
    };
    f.showStandard = [](QWidget* target, const CSpectrumData& record) {
        if (CDataGraphView* view = ViewOf(target)) view->ShowStandard(record);
    };
    f.openNumericalGraph = [](const std::string& title, const CSpectrumDataSet& records) -> QWidget* {
        auto* frame = new CNumericalGraphWnd(title);
        frame->View()->InitialUpdate();
        frame->show();
        frame->activateWindow();
        frame->View()->ShowRecords(records);
        return frame;
    };
    f.open3DGraph = [](const std::string& title, const CSpectrumDataSet& records, const CSpectrumData* standard) -> QWidget* {
        auto* frame = new C3DGraphWnd(title);
        frame->View()->InitialUpdate();
        frame->show();
        frame->activateWindow();
        frame->View()->SetData(records, standard);
        return frame;
    };
    f.openLightQuality = [](const std::string& title, std::shared_ptr<const CSpectrumData> record) -> QWidget* {
        auto* frame = new CLightQualityWnd(title);
        frame->show();
        frame->activateWindow();
        frame->ShowRecord(std::move(record));
        return frame;
    };
    f.showLightQuality = [](QWidget* target, std::shared_ptr<const CSpectrumData> record) {
        if (auto* frame = dynamic_cast<CLightQualityWnd*>(target)) frame->ShowRecord(std::move(record));
    };
    f.openHeatMap = [](const std::string& title, const CSpectrumDataSet& records, const CSpectrumData* standard) -> QWidget* {
        auto* frame = new CHeatMapWnd(title);
        frame->show();
        frame->activateWindow();
        frame->View()->SetData(records, standard);
        return frame;
    };
    return f;
}
