#include "core/platform/FloatText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace platform {

namespace {

constexpr double kTens[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

struct Pairs {
    char text[200];
    constexpr Pairs() : text() {
        for (int n = 0; n < 100; ++n) {
            text[2 * n] = static_cast<char>('0' + n / 10);
            text[2 * n + 1] = static_cast<char>('0' + n % 10);
        }
    }
};
constexpr Pairs kPairs;

char* Slow(char* p, double value) {
    return std::to_chars(p, p + kMaxG9, value, std::chars_format::general, 9).ptr;
}

// Nine significant digits of a (> 0) as q in [1e8, 1e9) and the decimal exponent x of the first,
// from one product or quotient by an exact power of ten: it lies within 2^-23 of the exact value,
// so its rounding is certain unless the fraction is this near one half. False then, and for
// magnitudes whose power of ten is not exact.
bool NineDigits(double a, uint32_t& q, int& x) {
    // floor(log10 2 * the binary exponent): the decimal exponent or one below it.
    uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int e2 = static_cast<int>((bits >> 52) & 0x7ff) - 1023;
    x = (e2 * 1233) >> 12;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int k = 8 - x;
        if (k > 22 || k < -22) return false;
        const double s = k >= 0 ? a * kTens[k] : a / kTens[-k];
        if (s < 1e8) {
            --x;
            continue;
        }
        if (s >= 1e9) {
            ++x;
            continue;
        }
        const double r = std::floor(s);
        const double f = s - r;
        if (std::fabs(f - 0.5) < 1e-6) return false;
        q = static_cast<uint32_t>(r) + (f > 0.5 ? 1u : 0u);
        if (q == 1000000000u) {
            q = 100000000u;
            ++x;
        }
        return true;
    }
    return false;
}

}  // namespace

char* WriteG9(char* p, double value) {
    if (!std::isfinite(value) || value == 0.0) return Slow(p, value);
    uint32_t q;
    int x;
    if (!NineDigits(std::fabs(value), q, x)) return Slow(p, value);
    if (std::signbit(value)) *p++ = '-';
    // The first digit, then four pairs from a table, the halves worked out side by side.
    char d[9];
    d[0] = static_cast<char>('0' + q / 100000000u);
    q %= 100000000u;
    const uint32_t high = q / 10000u, low = q % 10000u;
    std::memcpy(d + 1, kPairs.text + 2 * (high / 100u), 2);
    std::memcpy(d + 3, kPairs.text + 2 * (high % 100u), 2);
    std::memcpy(d + 5, kPairs.text + 2 * (low / 100u), 2);
    std::memcpy(d + 7, kPairs.text + 2 * (low % 100u), 2);
    int last = 8;  // %g drops trailing zeros
    while (last > 0 && d[last] == '0') --last;
    if (x >= -4 && x < 9) {
        if (x >= 0) {
            std::memcpy(p, d, static_cast<std::size_t>(x) + 1);
            p += x + 1;
            if (last > x) {
                *p++ = '.';
                std::memcpy(p, d + x + 1, static_cast<std::size_t>(last - x));
                p += last - x;
            }
        } else {
            *p++ = '0';
            *p++ = '.';
            for (int z = 0; z < -x - 1; ++z) *p++ = '0';
            std::memcpy(p, d, static_cast<std::size_t>(last) + 1);
            p += last + 1;
        }
        return p;
    }
    *p++ = d[0];
    if (last > 0) {
        *p++ = '.';
        std::memcpy(p, d + 1, static_cast<std::size_t>(last));
        p += last;
    }
    *p++ = 'e';
    *p++ = x < 0 ? '-' : '+';
    const int ax = x < 0 ? -x : x;
    if (ax >= 100) *p++ = static_cast<char>('0' + ax / 100);
    *p++ = static_cast<char>('0' + ax / 10 % 10);
    *p++ = static_cast<char>('0' + ax % 10);
    return p;
}

}  // namespace platform
