#pragma once
// Text fields are bytes (UTF-8 here). Fitting cuts by bytes but never inside a character.
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The longest prefix of text that has at most maxBytes bytes and does not end inside a UTF-8
// sequence. Bytes that are not valid UTF-8 count as one character each.
std::string FitBytes(std::string_view text, std::size_t maxBytes);

bool IsValidUtf8(std::string_view text);

// Text for display: valid UTF-8 as it is; anything else is taken as CP932 (files written on a
// Japanese system) and converted, with undecodable bytes shown as U+FFFD.
std::string ToDisplayText(std::string_view bytes);

// Whether a stored text contains text (UTF-8, as typed), compared as ToDisplayText shows it.
bool ContainsText(std::string_view stored, std::string_view text);

// "%g"-style formatting that always uses '.' whatever the process locale.
std::string FormatG(double value, const char* format = "%g");

// Leading decimal integer (white space skipped, optional sign, digits up to the first non-digit;
// no digits gives 0). Saturates instead of overflowing.
long long LeadingInteger(std::string_view text);

// Leading floating number as strtod reads it in the "C" locale; no number gives 0.
double LeadingDouble(std::string_view text);

}  // namespace platform
