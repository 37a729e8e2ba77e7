#pragma once
// Single-precision value, written as "%g" of the value widened to double (whatever the process
// locale); read as the leading floating number of the text (none gives 0), then narrowed.
#include "config/PrmValue.h"

class CPrmFloat : public CPrmValue {
public:
    CPrmFloat() = default;
    CPrmFloat(const CPrmFloat&) = default;
    CPrmFloat& operator=(const CPrmFloat& other) {
        value_ = other.value_;
        return *this;
    }

    std::string GetString() const override;
    bool SetString(const std::string& text) override;
    std::string GetDefaultString() const override;
    bool SetDefaultString(const std::string& text) override;

    float Get() const { return value_; }
    void Set(float value) { value_ = value; }
    float GetDefault() const { return default_; }
    operator float() const { return value_; }
    CPrmFloat& operator=(float value) {
        value_ = value;
        return *this;
    }

    static float Parse(const std::string& text);
    static std::string Format(float value);

private:
    float value_ = 0.0f;
    float default_ = 0.0f;
};
