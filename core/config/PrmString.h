#pragma once
// Text value; the object itself is the string (its current value), stored as it stands.
#include <string>

#include "core/config/PrmValue.h"

class CPrmString : public std::string, public CPrmValue {
public:
    CPrmString() = default;
    CPrmString(const CPrmString&) = default;
    CPrmString& operator=(const CPrmString& other) {
        Set(other.Get());
        return *this;
    }

    std::string GetString() const override { return Get(); }
    bool SetString(const std::string& text) override;
    std::string GetDefaultString() const override { return default_; }
    bool SetDefaultString(const std::string& text) override;

    std::string Get() const { return static_cast<const std::string&>(*this); }
    void Set(const std::string& text) { static_cast<std::string&>(*this) = text; }
    // A null text means the empty string.
    CPrmString& operator=(const char* text);
    CPrmString& operator=(const std::string& text) {
        Set(text);
        return *this;
    }

private:
    std::string default_;
};
