#pragma once
// Calendar time, written "%Y/%m/%d %H:%M:%S" in local time and read by the time-text rule:
// up to six fields year, month, day, hour, minute, second (starting from 1900/1/1 0:00:00), each
// ended by a blank, ':', '/', tab, CR or LF; fields after the sixth are ignored. A text whose fields
// are out of range (year < 1900, month 1..12, day 1..31, hour 0..23, minute and second 0..59) or that
// the calendar cannot convert (outside 1970-01-01 .. 3000-12-31 local) is rejected: SetString and
// SetDefaultString return false and keep the previous content. Day 31 of a 30-day month is normalised
// into the next month by the calendar.
#include "core/config/PrmValue.h"
#include "core/platform/LocalTime.h"

class CPrmTime : public CPrmValue {
public:
    // Value and default start as the construction time.
    CPrmTime();
    CPrmTime(const CPrmTime&) = default;
    CPrmTime& operator=(const CPrmTime& other) {
        value_ = other.value_;
        return *this;
    }

    std::string GetString() const override;
    bool SetString(const std::string& text) override;
    std::string GetDefaultString() const override;
    bool SetDefaultString(const std::string& text) override;

    platform::CalTime Get() const { return value_; }
    void Set(platform::CalTime value) { value_ = value; }
    platform::CalTime GetDefault() const { return default_; }
    operator platform::CalTime() const { return value_; }
    CPrmTime& operator=(platform::CalTime value) {
        value_ = value;
        return *this;
    }

    // Keeps the time of day of value and default and gives both today's date.
    void MoveToToday();

    // The time-text rule; false (out untouched) when the text is rejected.
    static bool ParseText(const std::string& text, platform::CalTime& out);
    // Today's date with the local time of day of t (joined as a local time, so it is right on
    // daylight-saving change days too). When a local split fails the seconds are counted instead:
    // now - time of day of now + time of day of t, a failed split counting each field as -1.
    static platform::CalTime Today(platform::CalTime t);
    static std::string Format(platform::CalTime t);

protected:
    platform::CalTime value_;
    platform::CalTime default_;
};
