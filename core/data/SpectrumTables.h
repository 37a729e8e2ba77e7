#pragma once
// Fixed tables of the spectrum record (see SpectrumTables.cpp).

namespace spectrum_tables {

constexpr int kTemperatureColumns = 8;
constexpr int kWavelengthRows = 8;
extern const double kTemperatureBreaks[kTemperatureColumns];  // deg C
extern const double kWavelengthBreaks[kWavelengthRows];       // nm
extern const double kTemperatureFactors[kWavelengthRows][kTemperatureColumns];

constexpr int kLuminous5nmCount = 95;  // 360..830 nm in 5 nm steps
extern const double kLuminous5nm[kLuminous5nmCount];

constexpr int kJisPoints = 120;
extern const double kJisStandard[kJisPoints][2];

}  // namespace spectrum_tables
