#pragma once
// Numbers written exactly as printf("%.9g") writes them in the "C" locale, whatever the locale.
#include <cstddef>

namespace platform {

constexpr std::size_t kMaxG9 = 32;  // "-1.23456789e-308", "-nan" and "inf" fit

// Writes value from p, which has room for kMaxG9 bytes; returns the end of what was written.
char* WriteG9(char* p, double value);

}  // namespace platform
