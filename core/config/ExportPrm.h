#pragma once
// Section EXPORT: the CSV export's last choices.
#include "core/config/Parameter.h"
#include "core/config/PrmFloat.h"
#include "core/config/PrmInt.h"
#include "core/config/PrmString.h"

class CExportPrm : public CParameter {
public:
    CExportPrm();
    CExportPrm(const CExportPrm&) = default;
    CExportPrm& operator=(const CExportPrm&) = default;

    CPrmFloat m_MIN_WAVELENGTH;   // nm
    CPrmFloat m_MAX_WAVELENGTH;   // nm
    CPrmFloat m_MIN_INTEGRATION;  // nm
    CPrmFloat m_MAX_INTEGRATION;  // nm
    CPrmString m_FILE_NAME;       // output file path
    CPrmInt m_EXPORT_TYPE;        // 0 spectra and calculation data, 1 calculation, 2 ratio, 3 difference,
                                  // 4 light quality
    CPrmInt m_SPECTRUM_UNIT;      // 0 W/m2/um, 1 umol/m2/s/um
    CPrmInt m_WAVELENGTH_TYPE;    // 0 original, 1 1 nm step, 2 5 nm step
};

// The one EXPORT section of the run; users Load it before use.
CExportPrm& GlobalExportPrm();
