#pragma once
// A POSIX file opened through a stored path. Reads may be buffered; every Write is handed to the
// kernel as one write call per buffer, so an append of a whole record is never torn for readers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <memory>
#include <vector>

namespace platform {

// Which file a name stood for: an import replaces a day file by renaming a new one over it.
struct FileIdentity {
    uint64_t device = 0, inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

class File {
public:
    enum class Mode { Read, ReadWrite, Append };

    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    // Read and ReadWrite need an existing file (never truncated); Append creates it, and reads too.
    // ReadWrite and Append never open a symbolic link.
    bool Open(const std::string& storedPath, Mode mode);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Reads exactly n bytes; false (position then unspecified) when fewer are available.
    bool ReadExact(void* buffer, std::size_t n);
    // Reads up to n bytes, fewer only at the end of the file (or on an error); the count read.
    std::size_t ReadUpTo(void* buffer, std::size_t n);
    // Writes all n bytes at the current position (the end for Append).
    bool WriteAll(const void* buffer, std::size_t n);
    bool Seek(int64_t offset);
    int64_t Tell() const;  // logical position, counting buffered reads
    int64_t Size() const;
    bool Sync();
    // The data and what is needed to read it back (the size), not the times.
    bool DataSync();
    // Cuts the file to n bytes (the position is left where it was).
    bool Truncate(int64_t n);
    // True while the file open here is still the one the stored path names: an import replaces a
    // day file by renaming a new one over it, and a write to the old one would be lost.
    bool IsSameFile(const std::string& storedPath) const;
    // The open file's identity; all zero when none is open.
    FileIdentity Identity() const;

    // Enables read-ahead (sequential scans of whole files).
    void SetReadBuffer(std::size_t bytes);

private:
    int fd_ = -1;
    int64_t pos_ = 0;  // logical position
    std::unique_ptr<unsigned char[]> buf_;  // uninitialised: filled by read before use
    std::size_t bufStart_ = 0, bufEnd_ = 0;
    std::size_t bufCapacity_ = 0;
};

// The existing file a stored path names, matching its name case-insensitively when the exact name
// does not exist (data folders copied from another system). The mapped path itself when none exists.
std::string ResolveExisting(const std::string& storedPath);

// Size of the existing file a stored path names (see ResolveExisting); -1 when there is none.
// identity, when given, receives which file that was.
int64_t FileSizeOf(const std::string& storedPath, FileIdentity* identity = nullptr);

// Advisory lock that serialises the writers of the daily files of one folder, across threads and
// processes: every append, in-place rewrite and import holds it around its writes, so none of
// them works on a file another one is replacing. A folder that cannot be opened or locked (a file
// system without locks) is not locked; the write then goes on as it would have without it.
class FolderLock {
public:
    // storedFolder as stored ("C:\data"); wait false returns at once when another writer holds it.
    // With joinHeld, a lock of a folder this thread already holds (the standard history's folder
    // may be the data folder) shares that hold instead of waiting for it forever; the outer lock
    // must then outlive this one.
    explicit FolderLock(const std::string& storedFolder, bool wait = true, bool joinHeld = false);
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();
    bool Held() const { return fd_ >= 0 || joined_; }
    // False only when wait was false and another writer holds the lock.
    bool Acquired() const { return !busy_; }
    void Release();

private:
    int fd_ = -1;
    bool busy_ = false;
    bool joined_ = false;
    uint64_t device_ = 0, inode_ = 0;  // of the folder, while fd_ holds it
};

// Removes what our own writers leave behind when killed part-way, by their exact names and only
// when no live writer holds them: "<ini>.save-XXXXXX" beside each INI file (and "<ini>.tmp<pid>.<n>"
// of earlier versions), and in the data folder "<day file>.import-XXXXXX" of day files of the
// prefix and "RunTime_<date>_<time>.csv.csv-XXXXXX". The number removed.
int RemoveStaleTemporaries(const std::vector<std::string>& storedIniPaths, const std::string& storedDataFolder,
                           const std::string& dayFilePrefix);

// True when the temporary file name ends in "<tag><pid>" or "<tag><pid>.<n>" of a process that
// has ended.
bool IsStaleTemporaryName(const std::string& name, const std::string& tag);

// Makes the folder's entries durable: a new file's name survives a power cut only with this.
bool SyncFolder(const std::string& storedFolder);

bool RemoveFile(const std::string& storedPath);
bool RenameFile(const std::string& fromStored, const std::string& toStored);

}  // namespace platform
