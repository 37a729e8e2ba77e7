#pragma once
// Reads a list of day files in order, in chunks of whole records. Files that cannot be opened are
// passed over, as a search always has. A file with a partial record in the middle is read around
// it: a chunk never holds bytes of two runs of records.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/data/DayFileLayout.h"
#include "core/platform/File.h"

class DayFileChunks {
public:
    struct Chunk {
        std::size_t file = 0;  // index into the list given
        int64_t offset = 0;    // of the chunk's first byte in that file
        const unsigned char* bytes = nullptr;  // aligned for floats
        std::size_t size = 0;  // fewer than asked only at the end of a file
    };

    DayFileChunks(std::vector<std::string> paths, std::size_t chunkBytes);

    // The next chunk in file order; false once every file is read. The bytes of the chunk before
    // are overwritten by this call.
    bool Next(Chunk& out);

    // Files read so far that are damaged (index into the list given, and how).
    const std::vector<std::pair<std::size_t, DayFileLayout>>& Damaged() const { return damaged_; }

private:
    const std::vector<std::string> paths_;
    const std::size_t chunkBytes_;
    std::unique_ptr<float[]> store_;
    std::size_t file_ = 0;
    int64_t offset_ = 0;
    std::size_t segment_ = 0;  // of the open file's runs
    std::vector<DayFileLayout::Segment> runs_;  // of the open file, the last one read to its end
    platform::File open_;
    std::vector<std::pair<std::size_t, DayFileLayout>> damaged_;
};
