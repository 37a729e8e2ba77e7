#pragma once
// The data browser's reading of a search box: year, month, day, hour, minute, second separated by
// blanks, tabs, '/' or ':', each clamped (year 2000..2035, month 1..12, day 1..31, ...), missing
// fields 0 (so a missing day is the last day of the month before). Never rejects a text that has
// at least a year; -1 when no time results (no tokens).
#include <string>

#include "platform/LocalTime.h"

platform::CalTime ParseSearchTime(const std::string& text);

// Whether the text reads as a date and time at all: one to six fields, each digits with an optional
// sign, within the 31 characters the parser looks at. Out-of-range fields still count (they are
// clamped); "yesterday", "2009-05-12" or a seventh field do not.
bool IsSearchTimeText(const std::string& text);
