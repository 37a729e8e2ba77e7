#include "core/config/PrmString.h"

bool CPrmString::SetString(const std::string& text) {
    Set(text);
    return true;
}

bool CPrmString::SetDefaultString(const std::string& text) {
    default_ = text;
    return true;
}

CPrmString& CPrmString::operator=(const char* text) {
    Set(text ? std::string(text) : std::string());
    return *this;
}
