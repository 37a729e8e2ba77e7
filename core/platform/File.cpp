#include "core/platform/File.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <utility>

#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"

namespace platform {

File::File(File&& other) noexcept { *this = std::move(other); }

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = other.fd_;
        pos_ = other.pos_;
        buf_ = std::move(other.buf_);
        bufStart_ = other.bufStart_;
        bufEnd_ = other.bufEnd_;
        bufCapacity_ = other.bufCapacity_;
        other.fd_ = -1;
    }
    return *this;
}

File::~File() { Close(); }

bool File::Open(const std::string& storedPath, Mode mode) {
    Close();
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read: flags |= O_RDONLY; break;
        // A link planted under a day file's name would have the writes land in its target.
        case Mode::ReadWrite: flags |= O_RDWR | O_NOFOLLOW; break;
        case Mode::Append: flags |= O_RDWR | O_APPEND | O_CREAT | O_NOFOLLOW; break;
    }
    // Without O_NONBLOCK the open of a FIFO named like a day file waits for a peer forever; it
    // is refused below like anything else that is not a regular file.
    auto openAs = [&](const std::string& path) {
        do {
            fd_ = ::open(path.c_str(), flags | O_NONBLOCK, 0644);
        } while (fd_ < 0 && errno == EINTR);
    };
    // An existing case-variant of the name is used rather than shadowed by a new file. A name that
    // opens as it stands needs no search of its folder (a search opens hundreds of day files).
    if (mode == Mode::Append) {
        openAs(ResolveExisting(storedPath));
    } else {
        const std::string mapped = MapPath(storedPath);
        openAs(mapped);
        if (fd_ < 0 && errno == ENOENT) {
            const std::string resolved = ResolveExisting(storedPath);
            if (resolved != mapped) openAs(resolved);
        }
    }
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return false;
    }
    // The status flags are the ones passed to open (F_SETFL takes only O_APPEND of them besides).
    ::fcntl(fd_, F_SETFL, flags & O_APPEND);
    pos_ = mode == Mode::Append ? st.st_size : 0;
    bufStart_ = bufEnd_ = 0;
    return true;
}

void File::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    pos_ = 0;
    bufStart_ = bufEnd_ = 0;
}

void File::SetReadBuffer(std::size_t bytes) {
    bufCapacity_ = bytes;
    buf_.reset(bytes ? new unsigned char[bytes] : nullptr);
    bufStart_ = bufEnd_ = 0;
}

bool File::ReadExact(void* buffer, std::size_t n) {
    if (fd_ < 0) return false;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        if (bufStart_ < bufEnd_) {
            std::size_t take = std::min(n - done, bufEnd_ - bufStart_);
            std::memcpy(out + done, buf_.get() + bufStart_, take);
            bufStart_ += take;
            done += take;
            pos_ += static_cast<int64_t>(take);
            continue;
        }
        bool buffered = bufCapacity_ > 0 && n - done < bufCapacity_;
        unsigned char* target = buffered ? buf_.get() : out + done;
        std::size_t want = buffered ? bufCapacity_ : n - done;
        ssize_t r = ::read(fd_, target, want);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        if (buffered) {
            bufStart_ = 0;
            bufEnd_ = static_cast<std::size_t>(r);
        } else {
            done += static_cast<std::size_t>(r);
            pos_ += r;
        }
    }
    return true;
}

std::size_t File::ReadUpTo(void* buffer, std::size_t n) {
    if (fd_ < 0) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    std::size_t done = 0;
    if (bufStart_ < bufEnd_) {
        done = std::min(n, bufEnd_ - bufStart_);
        std::memcpy(out, buf_.get() + bufStart_, done);
        bufStart_ += done;
        pos_ += static_cast<int64_t>(done);
    }
    while (done < n) {  // the rest straight into the caller's buffer
        ssize_t r = ::read(fd_, out + done, n - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        done += static_cast<std::size_t>(r);
        pos_ += r;
    }
    return done;
}

bool File::WriteAll(const void* buffer, std::size_t n) {
    if (fd_ < 0) return false;
    if (bufStart_ != bufEnd_) {
        // Drop read-ahead so the write lands at the logical position.
        if (::lseek(fd_, pos_, SEEK_SET) < 0) return false;
        bufStart_ = bufEnd_ = 0;
    }
    const auto* in = static_cast<const unsigned char*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        ssize_t w = ::write(fd_, in + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
        pos_ += w;
    }
    return true;
}

bool File::Seek(int64_t offset) {
    if (fd_ < 0 || offset < 0) return false;
    if (::lseek(fd_, offset, SEEK_SET) < 0) return false;
    pos_ = offset;
    bufStart_ = bufEnd_ = 0;
    return true;
}

int64_t File::Tell() const { return pos_; }

int64_t File::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return -1;
    return st.st_size;
}

bool File::Sync() { return fd_ >= 0 && ::fsync(fd_) == 0; }

bool File::DataSync() { return fd_ >= 0 && ::fdatasync(fd_) == 0; }

bool File::Truncate(int64_t n) {
    if (fd_ < 0 || n < 0) return false;
    int r;
    do {
        r = ::ftruncate(fd_, static_cast<off_t>(n));
    } while (r != 0 && errno == EINTR);
    return r == 0;
}

FileIdentity File::Identity() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return {};
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

bool File::IsSameFile(const std::string& storedPath) const {
    struct stat open {}, named {};
    if (fd_ < 0 || ::fstat(fd_, &open) != 0) return false;
    if (::stat(ResolveExisting(storedPath).c_str(), &named) != 0) return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

namespace {

// The folders whose locks this thread holds, as (device, inode).
thread_local std::vector<std::pair<uint64_t, uint64_t>> t_heldFolders;

}  // namespace

FolderLock::FolderLock(const std::string& storedFolder, bool wait, bool joinHeld) {
    const std::string folder = storedFolder.empty() ? std::string(".") : MapPath(storedFolder);
    int fd;
    do {
        fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        device_ = static_cast<uint64_t>(st.st_dev);
        inode_ = static_cast<uint64_t>(st.st_ino);
    }
    const std::pair<uint64_t, uint64_t> key{device_, inode_};
    if (joinHeld && std::find(t_heldFolders.begin(), t_heldFolders.end(), key) != t_heldFolders.end()) {
        ::close(fd);
        joined_ = true;
        return;
    }
    int r;
    do {
        r = ::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (r != 0 && errno == EINTR);
    if (r != 0) {
        busy_ = errno == EWOULDBLOCK;
        ::close(fd);
        return;
    }
    fd_ = fd;
    t_heldFolders.push_back(key);
}

FolderLock::~FolderLock() { Release(); }

void FolderLock::Release() {
    if (fd_ >= 0) {
        const auto it = std::find(t_heldFolders.begin(), t_heldFolders.end(), std::make_pair(device_, inode_));
        if (it != t_heldFolders.end()) t_heldFolders.erase(it);
        ::close(fd_);  // closing the only descriptor releases the lock
    }
    fd_ = -1;
    joined_ = false;
}

std::string ResolveExisting(const std::string& storedPath) {
    std::string mapped = MapPath(storedPath);
    struct stat st {};
    if (::stat(mapped.c_str(), &st) == 0) return mapped;
    std::size_t slash = mapped.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : mapped.substr(0, slash);
    if (folder.empty()) folder = "/";
    std::string name = slash == std::string::npos ? mapped : mapped.substr(slash + 1);
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return mapped;
    std::string found;
    while (dirent* e = ::readdir(dir)) {
        if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0))) continue;
        if (::strcasecmp(e->d_name, name.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(dir);
    if (found.empty()) return mapped;
    return (slash == std::string::npos ? std::string() : mapped.substr(0, slash + 1)) + found;
}

int64_t FileSizeOf(const std::string& storedPath, FileIdentity* identity) {
    struct stat st {};
    // The name as it stands first: only a missing one is looked for among its case variants.
    if (::stat(MapPath(storedPath).c_str(), &st) != 0 &&
        (errno != ENOENT || ::stat(ResolveExisting(storedPath).c_str(), &st) != 0))
        return -1;
    if (identity) *identity = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    return S_ISREG(st.st_mode) ? st.st_size : -1;
}

namespace {

bool AllDigits(const std::string& s, std::size_t from, std::size_t n) {
    if (from + n > s.size()) return false;
    for (std::size_t i = from; i < from + n; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return true;
}

}  // namespace

bool IsStaleTemporaryName(const std::string& name, const std::string& tag) {
    const std::size_t at = name.rfind(tag);
    if (at == std::string::npos) return false;
    std::size_t i = at + tag.size();
    long long pid = 0;
    const std::size_t digits = i;
    while (i < name.size() && name[i] >= '0' && name[i] <= '9' && pid < (1LL << 31)) pid = pid * 10 + (name[i++] - '0');
    if (i == digits || pid <= 0 || pid >= (1LL << 31)) return false;
    if (i < name.size()) {  // only ".<n>" may follow
        if (name[i] != '.' || i + 1 == name.size()) return false;
        for (std::size_t k = i + 1; k < name.size(); ++k)
            if (name[k] < '0' || name[k] > '9') return false;
    }
    if (static_cast<pid_t>(pid) == ::getpid()) return false;
    return ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
}

int RemoveStaleTemporaries(const std::vector<std::string>& storedIniPaths, const std::string& storedDataFolder,
                           const std::string& dayFilePrefix) {
    int removed = 0;
    for (const std::string& ini : storedIniPaths) {
        const std::string folder = StoredFolderOf(ini);
        const std::string prefix = folder.empty() ? std::string() : folder + "\\";
        // Saves of earlier versions, named after their process.
        for (const std::string& name : ListMatchingFiles(ini + ".tmp*"))
            if (IsStaleTemporaryName(name, ".tmp") && RemoveFile(prefix + name)) ++removed;
        const std::string own = StoredNameOf(ini);
        removed += RemoveStaleTemporaries(MapPath(folder), kIniSaveTag, [&](const std::string& base) { return base == own; });
    }
    if (storedDataFolder.empty()) return removed;
    const std::string folder = MapPath(storedDataFolder);
    // Only day files of the current prefix and the run-time logs: any other name is the user's.
    const std::string dayFile = dayFilePrefix + "_????????.hlx";
    removed += RemoveStaleTemporaries(folder, kImportTag, [&](const std::string& base) {
        return WildcardMatch(dayFile, base) && AllDigits(base, dayFilePrefix.size() + 1, 8);
    });
    removed += RemoveStaleTemporaries(folder, kCsvTag, [](const std::string& base) {
        return WildcardMatch("RunTime_????????_??????.csv", base) && AllDigits(base, 8, 8) && AllDigits(base, 17, 6);
    });
    return removed;
}

bool SyncFolder(const std::string& storedFolder) {
    const std::string folder = storedFolder.empty() ? std::string(".") : MapPath(storedFolder);
    int fd;
    do {
        fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool RemoveFile(const std::string& storedPath) { return ::unlink(ResolveExisting(storedPath).c_str()) == 0; }

bool RenameFile(const std::string& fromStored, const std::string& toStored) {
    return ::rename(ResolveExisting(fromStored).c_str(), MapPath(toStored).c_str()) == 0;
}

}  // namespace platform
