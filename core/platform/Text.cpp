#include "core/platform/Text.h"

#include <iconv.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace platform {
namespace {

// Length of the valid UTF-8 sequence starting at s[i], or 0 when none starts there.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len;
    unsigned lowest;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) { len = 2; lowest = 0x80; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; lowest = 0x800; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; lowest = 0x10000; }
    else return 0;
    if (i + len > s.size()) return 0;
    unsigned cp = c & (0xFF >> (len + 1));
    for (std::size_t k = 1; k < len; ++k) {
        unsigned char cc = static_cast<unsigned char>(s[i + k]);
        if ((cc & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (cc & 0x3F);
    }
    if (cp < lowest || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

locale_t ClassicLocale() {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

}  // namespace

std::string FitBytes(std::string_view text, std::size_t maxBytes) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t len = SequenceLength(text, i);
        if (len == 0) len = 1;
        if (i + len > maxBytes) break;
        i += len;
    }
    return std::string(text.substr(0, i));
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = SequenceLength(text, i);
        if (len == 0) return false;
        i += len;
    }
    return true;
}

namespace {

// One converter per thread, opened once: a search decodes every memo that is not UTF-8.
class Cp932Decoder {
public:
    Cp932Decoder() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Cp932Decoder() {
        if (Usable()) iconv_close(cd_);
    }
    Cp932Decoder(const Cp932Decoder&) = delete;
    Cp932Decoder& operator=(const Cp932Decoder&) = delete;
    bool Usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

}  // namespace

std::string ToDisplayText(std::string_view bytes) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string out;
    thread_local Cp932Decoder decoder;
    if (!decoder.Usable()) {
        for (char c : bytes) out += (static_cast<unsigned char>(c) < 0x80) ? c : '?';
        return out;
    }
    iconv_t cd = decoder.Get();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string in(bytes);
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char buf[256];
    while (inLeft > 0) {
        char* outPtr = buf;
        std::size_t outLeft = sizeof buf;
        std::size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<std::size_t>(outPtr - buf));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += "\xEF\xBF\xBD";  // skip one undecodable byte
            ++inPtr;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

bool ContainsText(std::string_view stored, std::string_view text) {
    // Within UTF-8 a match can only start on a character; CP932 is matched on what it shows, never
    // on a trail byte that happens to equal an ASCII letter.
    if (IsValidUtf8(stored)) return stored.find(text) != std::string_view::npos;
    return ToDisplayText(stored).find(text) != std::string::npos;
}

std::string FormatG(double value, const char* format) {
    // snprintf follows LC_NUMERIC; format in the classic locale through a stream-free path.
    char buf[64];
    locale_t c = ClassicLocale();
    locale_t old = c ? uselocale(c) : static_cast<locale_t>(0);
    int n = std::snprintf(buf, sizeof buf, format, value);
    if (c) uselocale(old);
    if (n < 0) return {};
    return std::string(buf, static_cast<std::size_t>(n) < sizeof buf ? static_cast<std::size_t>(n) : sizeof buf - 1);
}

long long LeadingInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        int digit = text[i] - '0';
        if (value > (kMax - digit) / 10) {
            value = kMax;
            while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

double LeadingDouble(std::string_view text) {
    std::string copy(text);
    locale_t c = ClassicLocale();
    if (!c) return std::strtod(copy.c_str(), nullptr);
    return strtod_l(copy.c_str(), nullptr, c);
}

}  // namespace platform
