#include "platform/File.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>

#include "platform/Path.h"

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
    // An existing case-variant of the name is used rather than shadowed by a new file.
    std::string path = ResolveExisting(storedPath);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Read: flags |= O_RDONLY; break;
        case Mode::ReadWrite: flags |= O_RDWR; break;
        case Mode::Append: flags |= O_WRONLY | O_APPEND | O_CREAT; break;
    }
    do {
        fd_ = ::open(path.c_str(), flags, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        Close();
        return false;
    }
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

int64_t FileSizeOf(const std::string& storedPath) {
    struct stat st {};
    if (::stat(ResolveExisting(storedPath).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

bool RemoveFile(const std::string& storedPath) { return ::unlink(ResolveExisting(storedPath).c_str()) == 0; }

bool RenameFile(const std::string& fromStored, const std::string& toStored) {
    return ::rename(ResolveExisting(fromStored).c_str(), MapPath(toStored).c_str()) == 0;
}

}  // namespace platform
