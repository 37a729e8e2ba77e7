#include "core/exchange/CsvText.h"

#include <charconv>

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

void AppendG6(std::string& out, float value) {
    char buf[32];  // "-1.23457e-38", "-nan"
    const auto end = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value), std::chars_format::general, 6).ptr;
    out.append(buf, end);
}

}  // namespace csvtext
