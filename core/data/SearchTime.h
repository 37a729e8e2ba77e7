#pragma once
// The one reading of a search time text, shared by the data browser's boxes and every command of
// heliarc-cli that selects records: "YYYY/MM/DD" (or "YYYY-MM-DD"), optionally followed by "HH",
// "HH:MM" or "HH:MM:SS", blanks around the whole allowed. Any other text is refused rather than
// read as some other date: letters, a missing day, a field out of range, a date or time the calendar
// does not have (31 April, the hour skipped by daylight saving) and a year outside the years a
// search covers.
#include <string_view>

#include "core/platform/LocalTime.h"

constexpr int kSearchFirstYear = 2000;
constexpr int kSearchLastYear = 2035;

enum class SearchTimeRead {
    Time,         // read; the time is set
    NotATime,     // not of the accepted form
    NoSuchTime,   // of the form, but a field is out of range or the local time does not exist
    YearOutside,  // of the form, but the year is outside kSearchFirstYear..kSearchLastYear
};

// The local time the text names; out is set only when the result is Time.
SearchTimeRead ReadSearchTime(std::string_view text, platform::CalTime& out);
