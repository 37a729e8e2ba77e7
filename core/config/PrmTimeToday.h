#pragma once
// A time of day: parsed like CPrmTime, then moved to today's date (value and default alike).
#include "core/config/PrmTime.h"

class CPrmTimeToday : public CPrmTime {
public:
    CPrmTimeToday() = default;

    bool SetString(const std::string& text) override;
    bool SetDefaultString(const std::string& text) override;
};
