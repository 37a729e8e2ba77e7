#pragma once
// What the number-valued keys share: a value and a default, read and written through the key type's
// own Parse and Format.
#include "core/config/PrmValue.h"

template <class T, class Key>
class CPrmNumber : public CPrmValue {
public:
    std::string GetString() const override { return Key::Format(value_); }
    bool SetString(const std::string& text) override {
        value_ = Key::Parse(text);
        return true;
    }
    std::string GetDefaultString() const override { return Key::Format(default_); }
    bool SetDefaultString(const std::string& text) override {
        default_ = Key::Parse(text);
        return true;
    }

    T Get() const { return value_; }
    void Set(T value) { value_ = value; }
    T GetDefault() const { return default_; }
    operator T() const { return value_; }

protected:
    CPrmNumber() = default;
    CPrmNumber(const CPrmNumber&) = default;
    // The value only, as for every key.
    CPrmNumber& operator=(const CPrmNumber& other) {
        value_ = other.value_;
        return *this;
    }

private:
    T value_{};
    T default_{};
};
