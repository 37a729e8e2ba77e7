#include "core/data/DayFileLayout.h"

#include <cstdio>

#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataReader.h"
#include "core/platform/File.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace {

// A record this program could have written starts at offset.
bool RecordAt(platform::File& file, int64_t offset) {
    if (offset < 0) return false;
    alignas(float) unsigned char image[DayFileLayout::kRecordSize];
    CSpectrumData record;
    return file.Seek(offset) && file.ReadExact(image, sizeof image) && CSpectrumDataReader::Decode(image, record);
}

}  // namespace

DayFileLayout DayFileLayout::Of(platform::File& file) { return Of(file, file.Size()); }

DayFileLayout DayFileLayout::Of(platform::File& file, int64_t size) {
    DayFileLayout l;
    l.size_ = size < 0 ? 0 : size;
    const int64_t shift = l.size_ % kRecordSize;
    const int64_t grid = l.size_ - shift;  // end of the records on the grid
    auto add = [&l](int64_t offset, int64_t end) {
        if (end > offset) l.segments_.push_back({offset, (end - offset) / kRecordSize});
    };
    if (shift == 0) {
        add(0, l.size_);
        return l;
    }
    // Whole records end the file only when a partial one lies before them: a record that decodes
    // off the grid at the very end.
    if (grid > 0 && RecordAt(file, l.size_ - kRecordSize)) {
        int64_t first = l.size_ - kRecordSize;
        while (first - kRecordSize >= 0 && RecordAt(file, first - kRecordSize)) first -= kRecordSize;
        l.state_ = State::TornMiddle;
        l.partialOffset_ = first - shift;
        l.partialBytes_ = shift;
        add(0, l.partialOffset_);
        add(first, l.size_);
        return l;
    }
    l.partialOffset_ = grid;
    l.partialBytes_ = shift;
    add(0, grid);
    // A cut-short append leaves whole records before it; anything else is damage nobody should cut.
    l.state_ = grid == 0 || RecordAt(file, grid - kRecordSize) ? State::TornTail : State::Unclear;
    return l;
}

int64_t DayFileLayout::RecordCount() const {
    int64_t n = 0;
    for (const Segment& s : segments_) n += s.count;
    return n;
}

bool DayFileLayout::HasRecordAt(int64_t offset) const {
    for (const Segment& s : segments_)
        if (offset >= s.offset && offset < s.offset + s.count * kRecordSize && (offset - s.offset) % kRecordSize == 0)
            return true;
    return false;
}

int64_t DayFileLayout::LastRecordOffset() const {
    if (segments_.empty()) return -1;
    const Segment& s = segments_.back();
    return s.offset + (s.count - 1) * kRecordSize;
}

int64_t DayFileLayout::AppendOffset() const { return state_ == State::TornTail ? partialOffset_ : size_; }

std::string DayFileLayout::Describe(const std::string& file) const {
    if (!Damaged()) return {};
    const std::string& format =
        platform::LoadString(state_ == State::TornMiddle ? ids::kDayFileTornInside : ids::kDayFileTornAtEnd);
    char text[1024];
    std::snprintf(text, sizeof text, format.c_str(), file.c_str(), static_cast<long long>(partialBytes_),
                  static_cast<long long>(partialOffset_));
    return text;
}
