#pragma once
// Single-precision value, written as "%g" of the value widened to double (whatever the process
// locale); read as the leading floating number of the text (none gives 0), then narrowed.
#include "core/config/PrmNumber.h"

class CPrmFloat : public CPrmNumber<float, CPrmFloat> {
public:
    CPrmFloat() = default;
    CPrmFloat(const CPrmFloat&) = default;
    CPrmFloat& operator=(const CPrmFloat&) = default;
    CPrmFloat& operator=(float value) {
        Set(value);
        return *this;
    }

    static float Parse(const std::string& text);
    static std::string Format(float value);
};
