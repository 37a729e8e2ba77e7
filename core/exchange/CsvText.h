#pragma once
// Field writers of the CSV export.
#include <cstddef>
#include <string>
#include <string_view>

namespace csvtext {

// A field holding a comma, a double quote, CR or LF is quoted with its quotes doubled; any other
// field is appended exactly as it is.
void AppendField(std::string& out, std::string_view text);

// Appends a float exactly as printf("%.6g", (double)value) writes it in the "C" locale (rounding
// the exact binary value, ties to even), without printf's cost: a large export writes hundreds of
// thousands of these.
void AppendG6(std::string& out, float value);

// The same into p, which must have room for kMaxG6 bytes; returns the end of what was written.
constexpr std::size_t kMaxG6 = 16;  // "-1.23457e-38" and "-nan" fit
char* WriteG6(char* p, float value);

// One row of numbers: first, then each value after a comma. p must have room for
// (n + 1) * (kMaxG6 + 1) bytes; returns the end of what was written.
char* WriteG6Row(char* p, float first, const float* values, std::size_t n);

}  // namespace csvtext
