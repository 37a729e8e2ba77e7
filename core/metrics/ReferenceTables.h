#pragma once
// The published tables the metrics are computed with, compiled in from core/metrics/data/*.csv (see its
// README for the sources).
namespace metrics::reference {

struct Table {
    const double* values;  // row after row
    int rows;
    int columns;  // the first holds the wavelength in nm

    double Wavelength(int row) const { return values[row * columns]; }
    double At(int row, int column) const { return values[row * columns + column]; }
    // Straight line between the rows around nm; 0 outside the table. Rows must ascend.
    double Interpolate(int column, double nm) const;
};

extern const Table kCmf1931;      // xbar, ybar, zbar: CIE 1931 2 degree observer, 360..830 nm by 1 nm
extern const Table kDaylight;     // S0, S1, S2 of CIE daylight, 300..830 nm by 5 nm
extern const Table kTestColours;  // TCS01..TCS14 of CIE 13.3, 360..830 nm by 5 nm
extern const Table kAlphaOpic;    // s, m, l cone, rhodopic, melanopic of CIE S 026, 380..780 nm by 1 nm
extern const Table kSolarG173;    // extraterrestrial, global tilt, direct of ASTM G173-03, W/m^2/nm
extern const Table kD65;          // CIE illuminant D65, 300..780 nm by 5 nm

}  // namespace metrics::reference
