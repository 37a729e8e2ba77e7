#pragma once
// "Calculation data graph config": the calculation data graph's quantity, look, time axis and the
// Y range of each quantity (kept for all of them while the dialog is open).
#include <QDialog>
#include <array>

#include "core/config/NumericalGraphPrm.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class CColorSwatch;

class CSetNumericalGraph : public QDialog {
public:
    // 0 PAR, 1 photon, 2 lux, 3 lon, 4 lat, 5 altitude, 6 UV-A, 7 UV-B, 8 integration, 9 PPFD, 10 R:FR,
    // 11 CCT, 12 melanopic EDI, 13 daily light integral
    static constexpr int kKinds = CNumericalGraphPrm::kKindCount;
    static constexpr int kIntegrationKind = 8;

    explicit CSetNumericalGraph(QWidget* parent = nullptr);

    void LoadFromSection(const CNumericalGraphPrm& prm);
    void StoreToSection(CNumericalGraphPrm& prm) const;

    void accept() override;
    void ApplyRules();
    // The radio button of a kind (for tests and the keyboard).
    QRadioButton* KindButton(int kind) const { return kind_[static_cast<std::size_t>(kind)]; }

    int kind = 8, color = 255, timeAxis = 0, marker = 0, grid = 1, autoY = 1;
    std::array<float, kKinds> minY{}, maxY{};
    float minArea = 350, maxArea = 1050;

private:
    void FillControls();
    void KindChanged(int newKind);
    // The Min/Max edits into the pair of the kind shown; false (after the message) on a non-number.
    bool SaveShownPair();
    bool TakeControls();

    int shown_ = 8;  // kind whose pair the edits show
    bool switching_ = false;
    std::array<QRadioButton*, kKinds> kind_{};
    QCheckBox *grid_, *marker_, *autoY_;
    CColorSwatch* color_;
    QRadioButton *timeSeries_, *equalInterval_;
    QLineEdit *minY_, *maxY_, *minArea_, *maxArea_;
    QLabel* unit_;
};

// Unit label text of a kind ("W/m^2", "umol/m^2/s", "lx", "deg", "m", "K", "mol/m^2/d"); 0 for none.
int NumericalUnitLabel(int kind);
