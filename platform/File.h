#pragma once
// A POSIX file opened through a stored path. Reads may be buffered; every Write is handed to the
// kernel as one write call per buffer, so an append of a whole record is never torn for readers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <memory>
#include <vector>

namespace platform {

class File {
public:
    enum class Mode { Read, ReadWrite, Append };

    File() = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    ~File();

    // Read and ReadWrite need an existing file (never truncated); Append creates it.
    bool Open(const std::string& storedPath, Mode mode);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

    // Reads exactly n bytes; false (position then unspecified) when fewer are available.
    bool ReadExact(void* buffer, std::size_t n);
    // Writes all n bytes at the current position (the end for Append).
    bool WriteAll(const void* buffer, std::size_t n);
    bool Seek(int64_t offset);
    int64_t Tell() const;  // logical position, counting buffered reads
    int64_t Size() const;
    bool Sync();

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
int64_t FileSizeOf(const std::string& storedPath);

bool RemoveFile(const std::string& storedPath);
bool RenameFile(const std::string& fromStored, const std::string& toStored);

}  // namespace platform
