#include "core/platform/FloatText.h"

#include <charconv>

namespace platform {

char* WriteG9(char* p, double value) {
    return std::to_chars(p, p + kMaxG9, value, std::chars_format::general, 9).ptr;
}

}  // namespace platform
