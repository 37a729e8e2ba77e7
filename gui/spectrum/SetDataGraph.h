#pragma once
// "Graph config" of the spectrum graph showing one record (modes other than several records).
#include <QDialog>

#include "core/config/DataGraphPrm.h"
#include "gui/common/GraphDialogParts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class CColorSwatch;

class CSetDataGraph : public QDialog {
public:
    explicit CSetDataGraph(bool standardPresent, QWidget* parent = nullptr);

    // Fills the members and controls from the section copy; StoreToSection after OK. Keys that
    // depend on standard data are exchanged only when a standard is present.
    void LoadFromSection(const CDataGraphPrm& prm);
    void StoreToSection(CDataGraphPrm& prm) const;

    // OK: validates in the stated order; the first failure shows its message and keeps the dialog.
    void accept() override;
    // Brings every dependent control into its state.
    void ApplyRules();

    // Member values (what OK stores).
    float minX = 350, maxX = 1050, minY = 0, maxY = 100, minRatio = 0, maxRatio = 100, minIntegration = 350,
          maxIntegration = 1050;
    int autoY = 1, unitY = 0, autoRatio = 0, grid = 1, marker = 0, measured = 1, base = 0, difference = 0, ratio = 0,
        latLonAlt = 0, parPtmLux = 0, uv = 0, integration = 0;
    int measuredColor = 255, baseColor = 65280, differenceColor = 8388736, ratioColor = 16711680;

private:
    void FillControls();
    bool TakeControls();

    bool standard_;
    GraphRangeBoxes r_;
    QLineEdit *minInt_, *maxInt_;
    QCheckBox *grid_, *marker_, *measured_, *base_, *difference_, *ratio_, *parPtmLux_, *latLonAlt_, *integration_,
        *uv_;
    CColorSwatch *measuredColor_, *baseColor_, *differenceColor_, *ratioColor_;
    QLabel *measuredLabel_, *baseLabel_, *differenceLabel_, *ratioLabel_;
};
