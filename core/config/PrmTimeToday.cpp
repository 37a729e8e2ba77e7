#include "core/config/PrmTimeToday.h"

bool CPrmTimeToday::SetString(const std::string& text) {
    if (!CPrmTime::SetString(text)) return false;
    value_ = Today(value_);
    return true;
}

bool CPrmTimeToday::SetDefaultString(const std::string& text) {
    if (!CPrmTime::SetDefaultString(text)) return false;
    default_ = Today(default_);
    return true;
}
