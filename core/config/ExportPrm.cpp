#include "core/config/ExportPrm.h"

CExportPrm::CExportPrm() : CParameter("./ZQ118.ini", "EXPORT") {
    Add("MIN_WAVELENGTH", m_MIN_WAVELENGTH, "350");
    Add("MAX_WAVELENGTH", m_MAX_WAVELENGTH, "1050");
    Add("MIN_INTEGRATION", m_MIN_INTEGRATION, "350");
    Add("MAX_INTEGRATION", m_MAX_INTEGRATION, "1050");
    Add("FILE_NAME", m_FILE_NAME, "");
    // These three have no default text: their default stays the initial 0.
    Add("EXPORT_TYPE", m_EXPORT_TYPE, nullptr);
    Add("SPECTRUM_UNIT", m_SPECTRUM_UNIT, nullptr);
    Add("WAVELENGTH_TYPE", m_WAVELENGTH_TYPE, nullptr);
    m_EXPORT_TYPE = 0;
    m_SPECTRUM_UNIT = 0;
    m_WAVELENGTH_TYPE = 0;
}

CExportPrm& GlobalExportPrm() {
    static CExportPrm prm;
    return prm;
}
