#pragma once
// "3-D graph config": kind, time axis, colour, the wavelength, irradiance and ratio ranges and the
// view angles of the 3-D graph.
#include <QDialog>

#include "core/config/3DGraphPrm.h"
#include "gui/common/GraphDialogParts.h"

class QLineEdit;
class QRadioButton;
class CColorSwatch;

class CSet3DGraph : public QDialog {
public:
    explicit CSet3DGraph(bool standardPresent, QWidget* parent = nullptr);

    void LoadFromSection(const C3DGraphPrm& prm);
    void StoreToSection(C3DGraphPrm& prm) const;

    void accept() override;
    void ApplyRules();

    int kind = 0, timeAxis = 0, color = 255, autoY = 1, unitY = 0, autoRatio = 1;
    float minX = 350, maxX = 1050, minY = 0, maxY = 100, minRatio = 0, maxRatio = 100, theta = 45, phi = 45;

private:
    void FillControls();
    bool TakeControls();
    int SelectedKind() const;

    bool standard_;
    QRadioButton* kind_[3];
    QRadioButton *timeSeries_, *equalInterval_;
    CColorSwatch* color_;
    GraphRangeBoxes r_;
    QLineEdit *theta_, *phi_;
};
