#include "exchange/CsvText.h"

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

}  // namespace

void AppendG6(std::string& out, float value) {
    char buf[kMaxG6];
    out.append(buf, static_cast<std::size_t>(WriteG6(buf, value) - buf));
}

char* WriteG6(char* p, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const uint32_t biased = (bits >> 23) & 0xffu;
    // Zero, subnormals, infinities and NaNs keep the general path.
    if (biased == 0 || biased == 0xffu) return WriteSlow(p, value);
    const uint32_t m = (bits & 0x7fffffu) | 0x800000u;
    const int e = static_cast<int>(biased) - 150;  // |value| = m * 2^e
    // floor(log2 |value| * log10 2) is the decimal exponent or one below it; a comparison with the
    // next power of ten settles most cases, and SixDigits corrects any that remain.
    int guess = ((static_cast<int>(biased) - 127) * 1233) >> 12;
    if (guess >= -45 && guess < 38 && std::fabs(static_cast<double>(value)) >= kPowers.tenth[guess + 1 + 45]) ++guess;
    uint32_t q;
    int x;
    if (!SixDigits(m, e, guess, q, x)) return WriteSlow(p, value);

    // Two digits at a time from a table: the divisions by 10 dominated this function.
    static constexpr char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char d[6];
    const uint32_t hi = q / 10000, rest = q - hi * 10000, mid = rest / 100, lo = rest - mid * 100;
    std::memcpy(d, kPairs + 2 * hi, 2);
    std::memcpy(d + 2, kPairs + 2 * mid, 2);
    std::memcpy(d + 4, kPairs + 2 * lo, 2);
    int last = 5;  // trailing zeros are dropped, as %g does
    while (last > 0 && d[last] == '0') --last;

    if (bits >> 31) *p++ = '-';
    if (x < -4 || x >= 6) {
        *p++ = d[0];
        if (last > 0) {
            *p++ = '.';
            for (int i = 1; i <= last; ++i) *p++ = d[i];
        }
        *p++ = 'e';
        *p++ = x < 0 ? '-' : '+';
        const int ax = x < 0 ? -x : x;
        if (ax >= 100) *p++ = static_cast<char>('0' + ax / 100);
        *p++ = static_cast<char>('0' + ax / 10 % 10);
        *p++ = static_cast<char>('0' + ax % 10);
    } else if (x >= 0) {
        for (int i = 0; i <= x; ++i) *p++ = d[i];
        if (last > x) {
            *p++ = '.';
            for (int i = x + 1; i <= last; ++i) *p++ = d[i];
        }
    } else {
        *p++ = '0';
        *p++ = '.';
        for (int i = 0; i < -x - 1; ++i) *p++ = '0';
        for (int i = 0; i <= last; ++i) *p++ = d[i];
    }
    return p;
}

}  // namespace csvtext
