#pragma once
// Pictures in Qt's formats (PNG) leave the program through the same replacing writer as every other
// file: encoded in memory, then written beside the target and renamed over it.
#include <string>

class QImage;

// storedPath is mapped like every stored path; format is Qt's name for it ("PNG"). error (when
// given) says what failed and where.
bool SaveImageFile(const QImage& image, const std::string& storedPath, const char* format, std::string* error = nullptr);
