#pragma once
// Boxes the graph settings dialogs build alike. Each widget's object name is the settings key it
// edits, so the names stay as they are. Widgets are made in the order the dialogs always made them:
// that order is the keyboard's tab order.
class QCheckBox;
class QDialog;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QString;
class QWidget;
class CColorSwatch;

// A number edit of a range box.
QLineEdit* RangeEdit(QWidget* parent, const QString& name);
// A check box named after its settings key.
QCheckBox* NamedCheck(QWidget* parent, const QString& name, const QString& text);
// "Grid" (SHOW_GRID) and "Marker" (SHOW_MARKER); the caller lays them out.
void GridMarkerChecks(QWidget* box, QCheckBox*& grid, QCheckBox*& marker);
// "Min" and "Max" with their edits on rows row and row + 1.
void AddMinMaxRows(QGridLayout* grid, int row, QWidget* box, QLineEdit* min, QLineEdit* max);
// A box holding two labelled edits named firstName and secondName.
QGroupBox* EditPairBox(QWidget* parent, int titleId, int firstLabelId, const char* firstName, int secondLabelId,
                       const char* secondName, QLineEdit*& first, QLineEdit*& second);
// A box holding only a "Min"/"Max" pair of edits named minName and maxName.
QGroupBox* MinMaxBox(QWidget* parent, int titleId, const char* minName, const char* maxName, QLineEdit*& min,
                     QLineEdit*& max);
// A curve's row of a display box: its check box, then "Color" and a swatch named swatchName in
// columns 1 and 2 (shown while the curve is).
void AddSeriesRow(QGridLayout* grid, int row, QWidget* box, QCheckBox* check, const QString& swatchName,
                  QLabel*& label, CColorSwatch*& swatch);

// "Measured data", "Ratio data", "Difference data" as SHOW_KIND_0..2; the buttons go to out[0..2].
QGroupBox* SpectrumKindBox(QWidget* parent, int titleId, QRadioButton** out);
// Index of the checked button among n, 0 when none is.
int CheckedIndex(QRadioButton* const* buttons, int n);
// "Time series" / "Equal interval" as TIME_AXIS_KIND_0/1.
QGroupBox* TimeAxisBox(QWidget* parent, QRadioButton*& timeSeries, QRadioButton*& equalInterval);
// One colour swatch named DATA_COLOR.
QGroupBox* ColorBox(QWidget* parent, CColorSwatch*& swatch);
// A stored colour (0x00BBGGRR in an int) on a swatch, and back.
void ShowColor(CColorSwatch* swatch, int color);
int ColorOf(const CColorSwatch* swatch);
// OK (the default) and Cancel, wired to the dialog's accept() and reject().
QWidget* OkCancelButtons(QDialog* dialog);

// The wavelength, irradiance (with Auto and the two units) and ratio ranges of the spectrum and
// 3-D graph dialogs.
struct GraphRangeBoxes {
    QGroupBox *xBox = nullptr, *yBox = nullptr, *ratioBox = nullptr;
    QLineEdit *minX = nullptr, *maxX = nullptr, *minY = nullptr, *maxY = nullptr, *minRatio = nullptr,
              *maxRatio = nullptr;
    QCheckBox *autoY = nullptr, *autoRatio = nullptr;
    QRadioButton *unit0 = nullptr, *unit1 = nullptr;

    // The three boxes, in that order.
    void Build(QWidget* parent);
    // v: minX, maxX, minY, maxY, minRatio, maxRatio.
    void Fill(const float* v, int autoYOn, int unitY, int autoRatioOn);
    // Irradiance controls usable (the Auto box still rules the pair).
    void EnableY(bool on);
    void EnableRatio(bool on);
    // Reads the six numbers (wavelengths within 350 .. 1050); false after the field's message.
    bool Read(QWidget* dialog, float* v) const;
    // Each range's minimum below its maximum: the X range always, the Y range when checkY and Auto
    // is off, the ratio range when checkRatio. False after the first fault's message.
    bool CheckOrder(QWidget* dialog, const float* v, bool checkY, bool checkRatio) const;
    // 1 for the second unit, else 0.
    int Unit() const;
};
