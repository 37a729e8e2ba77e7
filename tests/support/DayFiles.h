#pragma once
// The daily data files of a folder, read directly as bytes: tests check what is stored without
// going through the reader under test.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace testsupport {

constexpr std::size_t kRecordBytes = 2560;

using DayFiles = std::map<std::string, std::string>;  // file name -> bytes

inline DayFiles ReadDayFiles(const std::string& folder = "data") {
    DayFiles files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
        const std::string name = e.path().filename().string();
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".hlx") == 0)
            files[name] = ReadFileBytes(e.path().string());
    }
    return files;
}

// The whole records of a file; a partial last one is left out.
inline std::vector<std::string> WholeRecords(const std::string& bytes) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at + kRecordBytes <= bytes.size(); at += kRecordBytes)
        out.push_back(bytes.substr(at, kRecordBytes));
    return out;
}

}  // namespace testsupport
