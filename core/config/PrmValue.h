#pragma once
// One typed value of a configuration section, stored under its key name as text.
//
// Rejected text: SetString and SetDefaultString return false when the text cannot be parsed (only the
// time values reject anything); the value or default being parsed then keeps its previous content.
// Copy construction copies name, default and value; assignment copies the value alone, so
// assigning one key's value to another never renames it. Nothing here throws, so a bad INI file can never end the program.
#include <string>

class CPrmValue {
public:
    CPrmValue() = default;
    explicit CPrmValue(std::string name) : name_(std::move(name)) {}
    CPrmValue(const CPrmValue&) = default;
    // Assigning one value to another copies the value only; the key name stays the target's.
    CPrmValue& operator=(const CPrmValue&) { return *this; }
    virtual ~CPrmValue() = default;

    virtual std::string GetString() const = 0;
    virtual bool SetString(const std::string& text) = 0;
    virtual std::string GetDefaultString() const = 0;
    virtual bool SetDefaultString(const std::string& text) = 0;

    const std::string& GetName() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }

private:
    std::string name_;
};
