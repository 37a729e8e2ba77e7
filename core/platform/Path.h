#pragma once
// Stored paths keep their Windows form ("C:\data\SPC_20090512.hlx") so settings and data files move
// between systems. Every open goes through MapPath.
#include <string>
#include <vector>

namespace platform {

// '\' becomes '/'; a leading drive "X:" maps to $HELIARC_DRIVE_X when set, else the working folder;
// POSIX absolute and relative paths pass unchanged.
std::string MapPath(const std::string& stored);

// Case-insensitive match of '*' (any run) and '?' (one byte).
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Names (without folder) of the regular files in the folder of storedPattern whose names match its
// last component, case-insensitively, sorted by name. A missing folder gives an empty list.
std::vector<std::string> ListMatchingFiles(const std::string& storedPattern);

// Folder part and name part of a stored path, split at the last '\' or '/'.
std::string StoredFolderOf(const std::string& stored);
std::string StoredNameOf(const std::string& stored);

bool FileExists(const std::string& stored);
bool IsDirectory(const std::string& stored);

}  // namespace platform
