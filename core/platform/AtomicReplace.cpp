#include "core/platform/AtomicReplace.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace platform {
namespace {

constexpr std::size_t kRandomChars = 6;  // what mkstemp puts in place of its X's

// The message of id with its "%s" placeholders filled in order.
std::string Fill(int id, const std::string& first, const std::string& second = std::string()) {
    std::string text = LoadString(id);
    std::size_t at = text.find("%s");
    if (at != std::string::npos) {
        text.replace(at, 2, first);
        at = text.find("%s", at + first.size());
        if (at != std::string::npos) text.replace(at, 2, second);
    }
    return text;
}

// The process's file creation mask, read without changing it (umask() would, for every thread).
mode_t CurrentUmask() {
    mode_t mask = 022;
    std::FILE* f = std::fopen("/proc/self/status", "re");
    if (f == nullptr) return mask;
    char line[256];
    while (std::fgets(line, sizeof line, f) != nullptr) {
        unsigned value = 0;
        if (std::sscanf(line, "Umask: %o", &value) == 1) {
            mask = static_cast<mode_t>(value & 0777);
            break;
        }
    }
    std::fclose(f);
    return mask;
}

int LockNow(int fd) {
    int r;
    do {
        r = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (r != 0 && errno == EINTR);
    return r == 0 ? 0 : errno;
}

bool SameFile(int fd, const std::string& path) {
    struct stat open {}, named {};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}

// The rename is on the disk only once the folder is.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool IsRandomChar(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

}  // namespace

bool AtomicReplace::Fail(int messageId, const std::string& where, int err) {
    error_ = err != 0 ? Fill(messageId, where, std::error_code(err, std::generic_category()).message())
                      : Fill(messageId, where);
    return false;
}

// What is under the target's name may be replaced: nothing, or a regular file (whose mode the new
// file takes). A link, a folder, a FIFO or a device stays as it is.
bool AtomicReplace::TargetReplaceable() {
    struct stat st {};
    if (::lstat(target_.c_str(), &st) != 0) {
        // The folder is missing, not a folder, or not ours to look into.
        if (errno != ENOENT) return Fail(ids::kCannotCreateFileIn, FolderOf(target_), errno);
        if (mode_ == 0) mode_ = 0666 & ~CurrentUmask();
        return true;
    }
    if (S_ISLNK(st.st_mode)) return Fail(ids::kFileIsLink, target_, 0);
    if (!S_ISREG(st.st_mode)) return Fail(ids::kFileNotRegular, target_, 0);
    if (mode_ == 0) mode_ = st.st_mode & 07777;
    return true;
}

bool AtomicReplace::Begin(const std::string& target, std::string_view tag) {
    Abandon();
    error_.clear();
    target_ = target;
    mode_ = 0;
    if (target_.empty()) return Fail(ids::kCannotCreateFileIn, ".", ENOENT);
    if (!TargetReplaceable()) return false;
    const std::string pattern = target_ + "." + std::string(tag) + "-" + std::string(kRandomChars, 'X');
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string name = pattern;
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0) return Fail(ids::kCannotCreateFileIn, FolderOf(target_), errno);
        // Locked before anything is written. A clean-up that found it unlocked in the moment
        // between has removed it or is about to: start again under another name. A file system
        // without locks leaves it unlocked, which no clean-up removes.
        const int locked = LockNow(fd);
        if (locked == EWOULDBLOCK || (locked == 0 && !SameFile(fd, name))) {
            ::close(fd);
            continue;
        }
        if (::fchmod(fd, static_cast<mode_t>(mode_)) != 0) {
            const int err = errno;
            ::unlink(name.c_str());
            ::close(fd);
            return Fail(ids::kCannotWriteFile, target_, err);
        }
        fd_ = fd;
        temp_ = name;
        return true;
    }
    return Fail(ids::kCannotCreateFileIn, FolderOf(target_), EEXIST);
}

bool AtomicReplace::Write(const void* data, std::size_t n) {
    if (fd_ < 0) return false;
    const auto* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t w = ::write(fd_, p, n);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) {
            Fail(ids::kCannotWriteFile, target_, w < 0 ? errno : ENOSPC);
            Abandon();
            return false;
        }
        p += w;
        n -= static_cast<std::size_t>(w);
    }
    return true;
}

bool AtomicReplace::Commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) {
        Fail(ids::kCannotWriteFile, target_, errno);
        Abandon();
        return false;
    }
    // A link planted while the file was written is left standing too (the rename would replace
    // the link, never follow it, but the user's link is not ours to remove).
    if (!TargetReplaceable()) {
        Abandon();
        return false;
    }
    // Still locked while it is renamed, so no clean-up takes it for a dead writer's.
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        Fail(ids::kCannotReplaceFile, target_, errno);
        Abandon();
        return false;
    }
    ::close(fd_);
    fd_ = -1;
    temp_.clear();
    SyncFolder(FolderOf(target_));
    return true;
}

void AtomicReplace::Abandon() {
    if (fd_ < 0) return;
    ::unlink(temp_.c_str());  // while still locked, so it is our own file that goes
    ::close(fd_);
    fd_ = -1;
    temp_.clear();
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool ReplaceFile(const std::string& target, std::string_view tag, std::string_view bytes, std::string* error) {
    AtomicReplace file;
    const bool ok = file.Begin(target, tag) && file.Write(bytes.data(), bytes.size()) && file.Commit();
    if (error) *error = file.Error();
    return ok;
}

bool IsTemporaryName(const std::string& name, std::string_view tag, std::string& base) {
    const std::size_t suffix = 1 + tag.size() + 1 + kRandomChars;  // ".<tag>-XXXXXX"
    if (name.size() <= suffix) return false;
    const std::size_t at = name.size() - suffix;
    if (name[at] != '.' || name.compare(at + 1, tag.size(), tag) != 0 || name[at + 1 + tag.size()] != '-') return false;
    for (std::size_t i = name.size() - kRandomChars; i < name.size(); ++i)
        if (!IsRandomChar(name[i])) return false;
    base = name.substr(0, at);
    return true;
}

int RemoveStaleTemporaries(const std::string& folder, std::string_view tag,
                           const std::function<bool(const std::string& base)>& ours) {
    const std::string dirPath = folder.empty() ? std::string(".") : folder;
    DIR* dir = ::opendir(dirPath.c_str());
    if (!dir) return 0;
    int removed = 0;
    std::string base;
    while (dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (!IsTemporaryName(name, tag, base) || !ours(base)) continue;
        const std::string path = dirPath + "/" + name;
        const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // A writer holds its temporary locked from creation to rename; one nobody holds is a dead
        // writer's. Checked again by name, so only the file that was locked here goes.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && LockNow(fd) == 0 && SameFile(fd, path) &&
            ::unlink(path.c_str()) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

}  // namespace platform
