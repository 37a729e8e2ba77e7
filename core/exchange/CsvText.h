#pragma once
// Field writers of the CSV export.
#include <string>
#include <string_view>

namespace csvtext {

// A field holding a comma, a double quote, CR or LF is quoted with its quotes doubled; any other
// field is appended exactly as it is.
void AppendField(std::string& out, std::string_view text);

// Appends a float exactly as printf("%.6g", (double)value) writes it in the "C" locale.
void AppendG6(std::string& out, float value);

}  // namespace csvtext
