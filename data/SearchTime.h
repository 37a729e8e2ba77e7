#pragma once
// The data browser's reading of a search box: year, month, day, hour, minute, second separated by
// blanks, tabs, '/' or ':', each clamped (year 2000..2035, month 1..12, day 1..31, ...), missing
// fields 0 (so a missing day is the last day of the month before). Never rejects a text that has
// at least a year; -1 when no time results (no tokens).
#include <string>

#include "platform/LocalTime.h"

platform::CalTime ParseSearchTime(const std::string& text);
