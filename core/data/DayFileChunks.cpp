#include "core/data/DayFileChunks.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "core/platform/File.h"

namespace {
constexpr std::size_t kSlots = 6;  // a few chunks ahead: enough to ride over an uneven decode
// The reader, once it has filled every slot, waits until this many are free again: waking it for
// each chunk given back would cost two thread switches a chunk.
constexpr std::size_t kRefill = kSlots / 2;
}

struct DayFileChunks::OpenFile {
    platform::File file;
    bool open = false;
};

DayFileChunks::DayFileChunks(std::vector<std::string> paths, std::size_t chunkBytes, bool ahead)
    : paths_(std::move(paths)), chunkBytes_(chunkBytes), open_(std::make_unique<OpenFile>()) {
    ahead = ahead && paths_.size() > 1;
    const std::size_t slots = ahead ? kSlots : 1;
    slots_.resize(slots);
    for (Slot& s : slots_) {
        s.store.reset(new float[(chunkBytes_ + sizeof(float) - 1) / sizeof(float)]);
        free_.push_back(&s);
    }
    if (ahead) {
        try {
            thread_ = std::thread([this] { Run(); });
        } catch (const std::system_error&) {
            // No thread to be had: the caller reads each chunk itself.
        }
    }
}

DayFileChunks::~DayFileChunks() {
    if (thread_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        freed_.notify_one();
        thread_.join();
    }
}

bool DayFileChunks::ReadInto(Slot& slot) {
    auto* bytes = reinterpret_cast<unsigned char*>(slot.store.get());
    while (file_ < paths_.size()) {
        if (!open_->open) {
            open_->open = open_->file.Open(paths_[file_], platform::File::Mode::Read);
            if (open_->open) {
                layout_ = DayFileLayout::Of(open_->file);
                if (layout_.Damaged()) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    damaged_.emplace_back(file_, layout_);
                }
                // Only a partial record in the middle splits the file; anything else is read
                // from its start to its end, whole records and whatever follows them.
                runs_.clear();
                if (layout_.GetState() == DayFileLayout::State::TornMiddle) runs_ = layout_.Segments();
                if (runs_.empty()) runs_.push_back({0, 0});
                segment_ = 0;
                offset_ = runs_.front().offset;
                open_->open = open_->file.Seek(offset_);
            }
            if (!open_->open) {
                open_->file.Close();
                ++file_;
                continue;
            }
        }
        const auto& segments = runs_;
        const DayFileLayout::Segment& run = segments[segment_];
        const int64_t runEnd = run.offset + run.count * DayFileLayout::kRecordSize;
        // The last run of records is read to the end of the file: records appended since it was
        // opened belong to it.
        const bool last = segment_ + 1 == segments.size();
        const std::size_t want =
            last ? chunkBytes_ : static_cast<std::size_t>(std::min<int64_t>(static_cast<int64_t>(chunkBytes_), runEnd - offset_));
        const std::size_t got = open_->file.ReadUpTo(bytes, want);
        slot.chunk = Chunk{file_, offset_, bytes, got};
        offset_ += static_cast<int64_t>(got);
        bool done = got < want;  // the end of this file (or a read error: as the end)
        if (!done && !last && offset_ >= runEnd) {
            offset_ = segments[++segment_].offset;
            done = !open_->file.Seek(offset_);
        }
        if (done) {
            open_->file.Close();
            open_->open = false;
            ++file_;
        }
        if (got > 0) return true;
    }
    return false;
}

std::vector<std::pair<std::size_t, DayFileLayout>> DayFileChunks::Damaged() {
    std::lock_guard<std::mutex> lock(mutex_);
    return damaged_;
}

void DayFileChunks::Run() {
    try {
        for (;;) {
            Slot* slot;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                if (free_.empty()) freed_.wait(lock, [this] { return stop_ || free_.size() >= kRefill; });
                if (stop_) return;
                slot = free_.front();
                free_.pop_front();
            }
            const bool more = ReadInto(*slot);
            {
                std::lock_guard<std::mutex> lock(mutex_);
                if (more) ready_.push_back(slot);
                else {
                    free_.push_back(slot);
                    done_ = true;
                }
            }
            filled_.notify_one();
            if (!more) return;
        }
    } catch (...) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            error_ = std::current_exception();
            done_ = true;
        }
        filled_.notify_one();
    }
}

bool DayFileChunks::Next(Chunk& out) {
    if (!thread_.joinable()) {
        // Read here, into the one slot.
        Slot& slot = slots_.front();
        if (!ReadInto(slot)) return false;
        out = slot.chunk;
        return true;
    }
    Slot* next;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        if (held_) {
            free_.push_back(held_);
            held_ = nullptr;
            if (free_.size() >= kRefill) freed_.notify_one();
        }
        filled_.wait(lock, [this] { return !ready_.empty() || done_; });
        if (ready_.empty()) {
            if (error_) std::rethrow_exception(error_);
            return false;
        }
        next = ready_.front();
        ready_.pop_front();
        held_ = next;
    }
    out = next->chunk;
    return true;
}
