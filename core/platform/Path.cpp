#include "core/platform/Path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace platform {

std::string MapPath(const std::string& stored) {
    std::string p = stored;
    std::replace(p.begin(), p.end(), '\\', '/');
    if (p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':') {
        char drive = static_cast<char>(std::toupper(static_cast<unsigned char>(p[0])));
        std::string var = std::string("HELIARC_DRIVE_") + drive;
        const char* root = std::getenv(var.c_str());
        std::string rest = p.substr(2);
        while (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
        std::string base = (root && *root) ? std::string(root) : std::string(".");
        if (rest.empty()) return base;
        if (base.back() != '/') base += '/';
        return base + rest;
    }
    return p;
}

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    // Iterative matcher with one back-tracking point for '*': linear in practice, never recursive.
    std::size_t p = 0, n = 0, starP = std::string::npos, starN = 0;
    auto lower = [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); };
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lower(pattern[p]) == lower(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::string StoredFolderOf(const std::string& stored) {
    std::size_t pos = stored.find_last_of("\\/");
    return pos == std::string::npos ? std::string() : stored.substr(0, pos);
}

std::string StoredNameOf(const std::string& stored) {
    std::size_t pos = stored.find_last_of("\\/");
    return pos == std::string::npos ? stored : stored.substr(pos + 1);
}

std::vector<std::string> ListMatchingFiles(const std::string& storedPattern) {
    std::vector<std::string> names;
    std::size_t pos = storedPattern.find_last_of("\\/");
    std::string folder = pos == std::string::npos ? std::string(".") : MapPath(storedPattern.substr(0, pos + 1));
    std::string pattern = pos == std::string::npos ? storedPattern : storedPattern.substr(pos + 1);
    if (folder.empty()) folder = "/";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return names;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == ".." || !WildcardMatch(pattern, name)) continue;
        // The entry's own type where the file system gives it; links and unknown types are looked
        // up (a link to a regular file counts), relative to the open folder.
        struct stat st {};
        if (e->d_type == DT_REG || ((e->d_type == DT_LNK || e->d_type == DT_UNKNOWN) &&
                                    fstatat(dirfd(dir), e->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)))
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool FileExists(const std::string& stored) {
    struct stat st {};
    return stat(MapPath(stored).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsDirectory(const std::string& stored) {
    struct stat st {};
    return stat(MapPath(stored).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace platform
