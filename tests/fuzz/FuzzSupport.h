#pragma once
// Shared set-up of the fuzz targets: one scratch working folder per process (the program's INI files
// and data folder live relative to it), a fixed time zone, and a check that reports a broken
// promise as a crash the fuzzer keeps.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace fuzzsupport {

// Stops with a message; libFuzzer (and the corpus driver) report it with the input that did it.
#define FUZZ_CHECK(cond)                                                                \
    do {                                                                                \
        if (!(cond)) {                                                                  \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                               \
        }                                                                               \
    } while (0)

// Enters a fresh folder under TMPDIR (once per process) with a data folder "data" and prefix "F".
inline const std::string& WorkDir() {
    static const std::string dir = [] {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/heliarc-fuzz-XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data()) == nullptr || ::chdir(buf.data()) != 0) std::abort();
        ::mkdir("data", 0755);
        std::FILE* ini = std::fopen("ZQ118.ini", "w");
        if (ini == nullptr) std::abort();
        std::fputs("[GENERAL]\nDATA_STORED_FOLDER=data\nFILE_NAME_ID=F\n", ini);
        std::fclose(ini);
        // The path is kept where no destructor can reach it before the handler runs.
        static char kept[4096];
        std::snprintf(kept, sizeof kept, "%s", buf.data());
        std::atexit([] {
            std::error_code ec;
            if (::chdir("/") == 0) std::filesystem::remove_all(kept, ec);
        });
        return std::string(buf.data());
    }();
    return dir;
}

inline void WriteFile(const std::string& path, const uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
}

// Names of the regular files in folder.
inline std::vector<std::string> ListFiles(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d)) {
            if (e->d_name[0] != '.') names.emplace_back(e->d_name);
        }
        ::closedir(d);
    }
    return names;
}

inline void EmptyFolder(const std::string& folder) {
    for (const std::string& name : ListFiles(folder)) ::unlink((folder + "/" + name).c_str());
}

inline long long SizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace fuzzsupport
