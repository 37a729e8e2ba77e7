#pragma once
// Where the whole records of a day file lie. A day file is whole 2560-byte records from its start;
// a writer killed in the middle of an append leaves a partial record at the end; a copy tool or a
// bad sector can leave one in the middle, and every whole record after it then sits off the grid,
// shifted by the partial record's length.
#include <cstdint>
#include <string>
#include <vector>

namespace platform {
class File;
}

class DayFileLayout {
public:
    static constexpr int64_t kRecordSize = 2560;

    enum class State {
        Whole,       // whole records only
        TornTail,    // whole records, then the start of one more: an append that was cut short
        TornMiddle,  // a partial record with whole records after it
        Unclear,     // a partial record at the end, but the records before it are no whole records
    };
    struct Segment {
        int64_t offset = 0;  // of the first record
        int64_t count = 0;   // records one after the other from there
    };

    DayFileLayout() = default;
    // Reads a few records only when the size is off the grid; a file on it costs one fstat.
    static DayFileLayout Of(platform::File& file);
    static DayFileLayout Of(platform::File& file, int64_t size);

    State GetState() const { return state_; }
    // A partial record that is not simply the end of a cut-short append: worth telling the user.
    bool Damaged() const { return state_ == State::TornMiddle || state_ == State::Unclear; }
    int64_t Size() const { return size_; }
    // Segments in file order; the partial record lies between them (TornMiddle) or after them.
    const std::vector<Segment>& Segments() const { return segments_; }
    int64_t PartialOffset() const { return partialOffset_; }
    int64_t PartialBytes() const { return partialBytes_; }
    int64_t RecordCount() const;
    bool HasRecordAt(int64_t offset) const;
    int64_t LastRecordOffset() const;  // -1 without records
    // Where an append may start writing: the end of the file, or the end of the last whole record
    // when the only partial record is a cut-short append. Never inside a whole record.
    int64_t AppendOffset() const;

    // "<file> is damaged: ..." for the user; the file as the caller names it.
    std::string Describe(const std::string& file) const;

private:
    State state_ = State::Whole;
    int64_t size_ = 0;
    std::vector<Segment> segments_;
    int64_t partialOffset_ = 0, partialBytes_ = 0;
};
