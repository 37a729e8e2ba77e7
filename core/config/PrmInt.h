#pragma once
// Signed 32-bit value, written "%d"; the leading decimal integer of the text is read (none gives 0,
// values beyond the 32-bit range saturate).
#include "core/config/PrmNumber.h"

class CPrmInt : public CPrmNumber<int, CPrmInt> {
public:
    CPrmInt() = default;
    CPrmInt(const CPrmInt&) = default;
    CPrmInt& operator=(const CPrmInt&) = default;
    CPrmInt& operator=(int value) {
        Set(value);
        return *this;
    }

    static int Parse(const std::string& text);
    static std::string Format(int value);
};
