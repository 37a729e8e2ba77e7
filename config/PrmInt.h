#pragma once
// Signed 32-bit value, written "%d"; the leading decimal integer of the text is read (none gives 0,
// values beyond the 32-bit range saturate).
#include "config/PrmValue.h"

class CPrmInt : public CPrmValue {
public:
    CPrmInt() = default;
    CPrmInt(const CPrmInt&) = default;
    CPrmInt& operator=(const CPrmInt& other) {
        value_ = other.value_;
        return *this;
    }

    std::string GetString() const override;
    bool SetString(const std::string& text) override;
    std::string GetDefaultString() const override;
    bool SetDefaultString(const std::string& text) override;

    int Get() const { return value_; }
    void Set(int value) { value_ = value; }
    int GetDefault() const { return default_; }
    operator int() const { return value_; }
    CPrmInt& operator=(int value) {
        value_ = value;
        return *this;
    }

    static int Parse(const std::string& text);

private:
    int value_ = 0;
    int default_ = 0;
};
