#pragma once
// Reads a list of day files in order, in chunks of whole records, on a thread of its own a few
// chunks ahead of the caller: the kernel's copying of the next chunk overlaps the decoding of this
// one. Files that cannot be opened are passed over, as a search always has. A file with a partial
// record in the middle is read around it: a chunk never holds bytes of two runs of records.
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/data/DayFileLayout.h"

class DayFileChunks {
public:
    struct Chunk {
        std::size_t file = 0;  // index into the list given
        int64_t offset = 0;    // of the chunk's first byte in that file
        const unsigned char* bytes = nullptr;  // aligned for floats
        std::size_t size = 0;  // fewer than asked only at the end of a file
    };

    // ahead: read on a thread of its own (worth it only when the caller has much to do with each
    // chunk); otherwise each chunk is read by Next.
    DayFileChunks(std::vector<std::string> paths, std::size_t chunkBytes, bool ahead);
    ~DayFileChunks();  // stops the reading thread and waits for it
    DayFileChunks(const DayFileChunks&) = delete;
    DayFileChunks& operator=(const DayFileChunks&) = delete;

    // The next chunk in file order; false once every file is read. The bytes of the chunk before
    // are given back by this call. Rethrows what the reading thread failed with.
    bool Next(Chunk& out);

    // Files read so far that are damaged (index into the list given, and how).
    std::vector<std::pair<std::size_t, DayFileLayout>> Damaged();

private:
    struct Slot {
        std::unique_ptr<float[]> store;
        Chunk chunk;
    };
    bool ReadInto(Slot& slot);  // the next chunk into slot; false when every file is read
    void Run();

    const std::vector<std::string> paths_;
    const std::size_t chunkBytes_;
    std::vector<Slot> slots_;
    // Reading position (the reading thread's alone while it runs).
    std::size_t file_ = 0;
    int64_t offset_ = 0;
    std::size_t segment_ = 0;  // of the open file's layout
    DayFileLayout layout_;
    std::vector<DayFileLayout::Segment> runs_;  // of the open file, the last one read to its end
    struct OpenFile;
    std::unique_ptr<OpenFile> open_;

    std::mutex mutex_;
    std::condition_variable freed_, filled_;  // the reader waits on the one, the caller on the other
    std::deque<Slot*> free_, ready_;
    Slot* held_ = nullptr;  // the caller's current chunk
    bool done_ = false, stop_ = false;
    std::exception_ptr error_;
    std::vector<std::pair<std::size_t, DayFileLayout>> damaged_;
    std::thread thread_;  // not started for a single file: nothing to overlap
};
