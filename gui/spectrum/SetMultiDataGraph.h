#pragma once
// "Graph config" of the spectrum graph showing several records.
#include <QDialog>
#include <array>

#include "core/config/DataGraphPrm.h"
#include "gui/common/GraphDialogParts.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class CColorSwatch;

class CSetMultiDataGraph : public QDialog {
public:
    static constexpr int kSlots = CDataGraphPrm::kPluralCount;

    explicit CSetMultiDataGraph(bool standardPresent, QWidget* parent = nullptr);

    // records: how many records the view shows (at most 10); only those slots are exchanged.
    void LoadFromSection(const CDataGraphPrm& prm, int records);
    void StoreToSection(CDataGraphPrm& prm) const;

    void accept() override;
    void ApplyRules();

    int kind = 0, grid = 1, marker = 0, base = 0, baseColor = 65280, autoY = 1, unitY = 0, autoRatio = 0;
    float minX = 350, maxX = 1050, minY = 0, maxY = 100, minRatio = 0, maxRatio = 100;
    std::array<int, kSlots> show{};
    std::array<int, kSlots> color{};

private:
    void FillControls();
    bool TakeControls();
    int SelectedKind() const;

    bool standard_;
    int records_ = 0;
    std::array<QRadioButton*, 3> kind_{};
    QCheckBox *grid_, *marker_, *base_;
    std::array<QCheckBox*, kSlots> show_{};
    std::array<CColorSwatch*, kSlots> color_{};
    std::array<QLabel*, kSlots> colorLabel_{};
    CColorSwatch* baseColor_;
    QLabel* baseLabel_;
    GraphRangeBoxes r_;
};
