#pragma once
// The string table's texts as the widgets take them: S for the text of an id, Q for it as a
// QString, Format for an id's printf-style format with its arguments (the formats are the
// program's own, compiled in).
#include <QString>
#include <cstdio>
#include <string>

#include "core/platform/StringTable.h"

namespace uitext {

inline const std::string& S(int id) { return platform::LoadString(id); }
inline QString Q(int id) { return QString::fromStdString(platform::LoadString(id)); }

template <typename... Args>
std::string Format(int id, Args... args) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, S(id).c_str(), args...);
    return buffer;
}

}  // namespace uitext
