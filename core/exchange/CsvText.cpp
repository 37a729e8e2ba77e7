#include "core/exchange/CsvText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace csvtext {

void AppendField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

namespace {

using u128 = unsigned __int128;

constexpr int kMaxPow5 = 44;   // M * 5^44 stays below 2^128 for a 24-bit M
constexpr int kMaxPow10 = 33;  // float values reach 3.4e38: at most 10^33 as a divisor

struct Powers {
    u128 five[kMaxPow5 + 1];
    u128 ten[kMaxPow10 + 1];
    double tenth[84];  // 10^-45 .. 10^38, approximately: only a first guess is taken from them
    constexpr Powers() : five(), ten(), tenth() {
        five[0] = 1;
        for (int i = 1; i <= kMaxPow5; ++i) five[i] = five[i - 1] * 5;
        ten[0] = 1;
        for (int i = 1; i <= kMaxPow10; ++i) ten[i] = ten[i - 1] * 10;
        tenth[45] = 1.0;
        for (int i = 46; i < 84; ++i) tenth[i] = tenth[i - 1] * 10.0;
        for (int i = 44; i >= 0; --i) tenth[i] = tenth[i + 1] / 10.0;
    }
};
constexpr Powers kPowers;

char* WriteSlow(char* p, float value) {
    return std::to_chars(p, p + kMaxG6, static_cast<double>(value), std::chars_format::general, 6).ptr;
}

// Six significant digits of M * 2^E (M < 2^24) as the integer q in [100000, 999999] and the decimal
// exponent x of the first digit, rounded on the exact value with ties to even. False when the
// value lies outside the range handled exactly here.
bool SixDigits(uint32_t m, int e, int x, uint32_t& q, int& exponent) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int k = 5 - x;  // q ~ value * 10^k
        u128 ip;
        int cmp;  // remainder against one half: -1 below, 0 equal, 1 above
        if (k >= 0 && k <= 17 && e + k < 0 && e + k > -64) {
            // m * 5^k < 2^64 for k <= 17: the common magnitudes stay in 64-bit arithmetic.
            const uint64_t n = static_cast<uint64_t>(m) * static_cast<uint64_t>(kPowers.five[k]);
            const int sh = -(e + k);
            ip = n >> sh;
            const uint64_t rem = n & ((uint64_t{1} << sh) - 1);
            const uint64_t half = uint64_t{1} << (sh - 1);
            cmp = rem > half ? 1 : rem == half ? 0 : -1;
        } else if (k >= 0) {
            if (k > kMaxPow5) return false;
            const u128 n = static_cast<u128>(m) * kPowers.five[k];
            const int s = e + k;  // value * 10^k = n * 2^s
            if (s >= 0) {
                if (s > 30) return false;
                ip = n << s;  // exact
                cmp = -1;
            } else {
                const int sh = -s;
                if (sh >= 127) return false;
                ip = n >> sh;
                const u128 rem = n & ((static_cast<u128>(1) << sh) - 1);
                const u128 half = static_cast<u128>(1) << (sh - 1);
                cmp = rem > half ? 1 : rem == half ? 0 : -1;
            }
        } else {
            if (-k > kMaxPow10 || e > 104) return false;
            const u128 num = static_cast<u128>(m) << (e > 0 ? e : 0);
            const int denShift = e < 0 ? -e : 0;
            if (denShift > 10) return false;
            const u128 den = kPowers.ten[-k] << denShift;
            ip = num / den;
            const u128 rem = num % den;
            cmp = 2 * rem > den ? 1 : 2 * rem == den ? 0 : -1;
        }
        if (ip < 100000) {
            --x;
            continue;
        }
        if (ip >= 1000000) {
            ++x;
            continue;
        }
        uint32_t v = static_cast<uint32_t>(ip);
        if (cmp == 1 || (cmp == 0 && (v & 1u))) ++v;
        if (v == 1000000) {
            v = 100000;
            ++x;
        }
        q = v;
        exponent = x;
        return true;
    }
    return false;
}

constexpr double kExactTens[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// floor(log2 |value| * log10 2) is the decimal exponent or one below it; a comparison with the next
// power of ten settles most cases, and SixDigits corrects any that remain.
inline int DecimalExponentGuess(uint32_t biased, double a) {
    int x = ((static_cast<int>(biased) - 127) * 1233) >> 12;
    if (x >= -45 && x < 38 && a >= kPowers.tenth[x + 1 + 45]) ++x;
    return x;
}

// The three digit values of 0..999, one a byte, the hundreds lowest.
struct Triples {
    uint32_t digits[1000];
    constexpr Triples() : digits() {
        for (uint32_t n = 0; n < 1000; ++n) digits[n] = n / 100 | (n / 10 % 10) << 8 | (n % 10) << 16;
    }
};
constexpr Triples kTriples;

// Stores the word's bytes lowest first, whatever the host's byte order.
inline void Store8(char* p, uint64_t w) {
    if constexpr (std::endian::native == std::endian::big) w = __builtin_bswap64(w);
    std::memcpy(p, &w, 8);
}

// The six digits q (100000..999999) with the decimal exponent x of the first, as %g lays them out.
// Writes up to kMaxG6 bytes from p, some past the end it returns.
inline __attribute__((always_inline)) char* Layout(char* p, bool negative, uint32_t q, int x) {
    // One digit value per byte, first digit lowest: each half's three digits from a table, which
    // measured a quarter faster than working them out lane by lane with multiplications.
    const uint32_t high = q / 1000;
    const uint64_t values = kTriples.digits[high] | static_cast<uint64_t>(kTriples.digits[q - high * 1000]) << 24;
    // Trailing zeros are dropped, as %g does; the first digit is never 0.
    const int last = (63 - __builtin_clzll(values)) / 8;  // index of the last digit written
    const uint64_t d = values | 0x0000303030303030ULL;

    *p = '-';
    p += negative ? 1 : 0;
    if (x >= 0 && x < 6) {
        // Digits 0..x, a point, the rest: seven bytes in one word, the length chosen afterwards.
        const int point = 8 * (x + 1);
        const uint64_t low = d & ((uint64_t{1} << point) - 1);
        Store8(p, low | uint64_t{'.'} << point | (d >> point) << (point + 8));
        return p + (last > x ? last + 2 : x + 1);
    }
    if (x < 0 && x >= -4) {
        std::memcpy(p, "0.000000", 8);
        Store8(p + 1 - x, d);
        return p + 2 - x + last;
    }
    auto digit = [d](int i) { return static_cast<char>(d >> (8 * i)); };
    *p++ = digit(0);
    if (last > 0) {
        *p++ = '.';
        for (int i = 1; i <= last; ++i) *p++ = digit(i);
    }
    *p++ = 'e';
    *p++ = x < 0 ? '-' : '+';
    const int ax = x < 0 ? -x : x;
    if (ax >= 100) *p++ = static_cast<char>('0' + ax / 100);
    *p++ = static_cast<char>('0' + ax / 10 % 10);
    *p++ = static_cast<char>('0' + ax % 10);
    return p;
}

// Any float, on the exact integer path.
__attribute__((noinline)) char* WriteExact(char* p, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t biased = (bits >> 23) & 0xffu;
    // Zero, subnormals, infinities and NaNs keep the general path.
    if (biased == 0 || biased == 0xffu) return WriteSlow(p, value);
    const uint32_t m = (bits & 0x7fffffu) | 0x800000u;
    const int e = static_cast<int>(biased) - 150;  // |value| = m * 2^e
    uint32_t q;
    int x = DecimalExponentGuess(biased, std::fabs(static_cast<double>(value)));
    if (!SixDigits(m, e, x, q, x)) return WriteSlow(p, value);
    return Layout(p, (bits >> 31) != 0, q, x);
}

// The common magnitudes (below 10^6): the six digits from one double product by an exact power of
// ten, which is within half an ulp (under 2^-33 for a result below 10^6) of the exact value, so its
// rounding is certain unless the fraction lies this near one half; false for those and all others,
// which go the exact way.
inline __attribute__((always_inline)) bool FastDigits(float value, uint32_t& q, int& exponent) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t biased = (bits >> 23) & 0xffu;
    if (biased - 1 >= 0xfeu) return false;  // zero, subnormal, infinite, NaN
    const double a = std::fabs(static_cast<double>(value));
    const int x = DecimalExponentGuess(biased, a);
    const auto k = static_cast<unsigned>(5 - x);
    if (k > 22) return false;
    const double s = a * kExactTens[k];
    if (!(s >= 100000.0 && s < 1000000.0)) return false;
    const auto r = static_cast<uint32_t>(s);
    const double f = s - static_cast<double>(r);
    if (std::fabs(f - 0.5) < 0x1p-30) return false;
    q = r + (f > 0.5 ? 1u : 0u);
    exponent = x;
    return q != 1000000;
}

inline __attribute__((always_inline)) char* WriteFast(char* p, float value) {
    uint32_t q;
    int x;
    if (!FastDigits(value, q, x)) return WriteExact(p, value);
    return Layout(p, std::signbit(value), q, x);
}

}  // namespace

void AppendG6(std::string& out, float value) {
    char buf[kMaxG6];
    out.append(buf, static_cast<std::size_t>(WriteG6(buf, value) - buf));
}

// Not inlined where it is called: an inlined loop of these measured a third slower (its registers
// are spilled around the calls of the exact path).
__attribute__((noinline)) char* WriteG6(char* p, float value) { return WriteFast(p, value); }

// The digits of a chunk of values first, then their text: number by number (WriteG6 for each)
// measured half as slow again.
char* WriteG6Row(char* p, float first, const float* values, std::size_t n) {
    p = WriteG6(p, first);
    constexpr std::size_t kChunk = 64;
    constexpr int kExact = 1000;  // no exponent of a float: written on the exact path
    uint32_t digits[kChunk];
    int exponents[kChunk];
    for (std::size_t at = 0; at < n; at += kChunk) {
        const std::size_t m = std::min(kChunk, n - at);
        const float* v = values + at;
        for (std::size_t i = 0; i < m; ++i)
            if (!FastDigits(v[i], digits[i], exponents[i])) exponents[i] = kExact;
        for (std::size_t i = 0; i < m; ++i) {
            *p++ = ',';
            p = exponents[i] == kExact ? WriteExact(p, v[i]) : Layout(p, std::signbit(v[i]), digits[i], exponents[i]);
        }
    }
    return p;
}

}  // namespace csvtext
