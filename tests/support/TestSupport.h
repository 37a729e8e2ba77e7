#pragma once
// Test helpers: a temporary working folder (the program's INI files and data live relative to it)
// and a time-zone guard.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

class TempWorkDir {
public:
    TempWorkDir() {
        char tmpl[] = "/tmp/heliarc-test-XXXXXX";
        char* dir = ::mkdtemp(tmpl);
        path_ = dir ? dir : "/tmp";
        char cwd[4096];
        old_ = ::getcwd(cwd, sizeof cwd) ? cwd : "/";
        if (::chdir(path_.c_str()) != 0) path_.clear();
    }
    ~TempWorkDir() {
        if (::chdir(old_.c_str()) != 0) return;
        std::error_code ec;
        if (!path_.empty() && path_ != "/tmp") std::filesystem::remove_all(path_, ec);
    }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    std::string old_;
};

class TzGuard {
public:
    explicit TzGuard(const char* tz) {
        const char* old = std::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~TzGuard() {
        if (had_) ::setenv("TZ", old_.c_str(), 1);
        else ::unsetenv("TZ");
        ::tzset();
    }
    TzGuard(const TzGuard&) = delete;
    TzGuard& operator=(const TzGuard&) = delete;

private:
    bool had_ = false;
    std::string old_;
};

// A full disk, played by a file size limit on this process (it holds for root too and needs no
// mount): writes past it fail with EFBIG, SIGXFSZ being ignored while the guard lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &oldAction_);
        ::getrlimit(RLIMIT_FSIZE, &old_);
        struct rlimit small = old_;
        small.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        ::sigaction(SIGXFSZ, &oldAction_, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit old_ {};
    struct sigaction oldAction_ {};
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline long long FileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

}  // namespace testsupport
