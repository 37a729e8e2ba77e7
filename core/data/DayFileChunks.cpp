#include "core/data/DayFileChunks.h"

#include <algorithm>
#include <utility>

DayFileChunks::DayFileChunks(std::vector<std::string> paths, std::size_t chunkBytes)
    : paths_(std::move(paths)),
      chunkBytes_(chunkBytes),
      store_(new float[(chunkBytes + sizeof(float) - 1) / sizeof(float)]) {}

bool DayFileChunks::Next(Chunk& out) {
    auto* bytes = reinterpret_cast<unsigned char*>(store_.get());
    while (file_ < paths_.size()) {
        if (!open_.IsOpen()) {
            bool opened = open_.Open(paths_[file_], platform::File::Mode::Read);
            if (opened) {
                const DayFileLayout layout = DayFileLayout::Of(open_);
                if (layout.Damaged()) damaged_.emplace_back(file_, layout);
                // Only a partial record in the middle splits the file; anything else is read
                // from its start to its end, whole records and whatever follows them.
                runs_.clear();
                if (layout.GetState() == DayFileLayout::State::TornMiddle) runs_ = layout.Segments();
                if (runs_.empty()) runs_.push_back({0, 0});
                segment_ = 0;
                offset_ = runs_.front().offset;
                opened = open_.Seek(offset_);
            }
            if (!opened) {
                open_.Close();
                ++file_;
                continue;
            }
        }
        const DayFileLayout::Segment& run = runs_[segment_];
        const int64_t runEnd = run.offset + run.count * DayFileLayout::kRecordSize;
        // The last run of records is read to the end of the file: records appended since it was
        // opened belong to it.
        const bool last = segment_ + 1 == runs_.size();
        const std::size_t want =
            last ? chunkBytes_
                 : static_cast<std::size_t>(std::min<int64_t>(static_cast<int64_t>(chunkBytes_), runEnd - offset_));
        const std::size_t got = open_.ReadUpTo(bytes, want);
        out = Chunk{file_, offset_, bytes, got};
        offset_ += static_cast<int64_t>(got);
        bool done = got < want;  // the end of this file (or a read error: as the end)
        if (!done && !last && offset_ >= runEnd) {
            offset_ = runs_[++segment_].offset;
            done = !open_.Seek(offset_);
        }
        if (done) {
            open_.Close();
            ++file_;
        }
        if (got > 0) return true;
    }
    return false;
}
