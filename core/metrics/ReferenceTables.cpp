#include "core/metrics/ReferenceTables.h"

namespace metrics::reference {

double Table::Interpolate(int column, double nm) const {
    if (rows < 1 || !(nm >= Wavelength(0)) || !(nm <= Wavelength(rows - 1))) return 0.0;
    // First row whose wavelength is not below nm.
    int lo = 0, hi = rows - 1;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (Wavelength(mid) < nm) lo = mid + 1;
        else hi = mid;
    }
    if (Wavelength(lo) == nm || lo == 0) return At(lo, column);
    const double x0 = Wavelength(lo - 1), x1 = Wavelength(lo);
    return At(lo - 1, column) + (At(lo, column) - At(lo - 1, column)) * (nm - x0) / (x1 - x0);
}

}  // namespace metrics::reference
