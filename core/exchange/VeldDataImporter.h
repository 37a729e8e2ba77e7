#pragma once
// Brings the records of the maker's earlier data files (*.srd, *.rad) into the daily data files.
//
// A file starts with header lines ("label,value" ended by LF; line 0 is the format version), one
// line that is skipped, and the calibration tables (four from version "03.00", one from "02.00",
// none before: factors of 1.0), then records up to the end of the file. Each record is merged into
// the daily file of its local date, ordered by the wall-clock time the day file stores; a record
// with the stored time of a stored one is that record (each stored one stands for one incoming
// one) and replaces it only with the overwrite flag.
//
// Each day is rewritten into a temporary file in the data folder that replaces the day's file only
// once it is complete, so a failure or a crash part-way leaves that day as it was. Days finished
// before a failure keep their merged records. A standard data history entry that names a record of
// a rewritten day is moved with it; a day file with a partial record in the middle is not merged
// into (the import stops there).
#include <cstdint>
#include <functional>
#include <string>

class CVeldDataImporter {
public:
    explicit CVeldDataImporter(std::string path) : path_(std::move(path)) {}
    virtual ~CVeldDataImporter() = default;

    // False when the file cannot be opened, is not a complete file of the format (a truncated
    // header, table or record, a calibration table number outside 0..3, a time the calendar cannot
    // hold) or a day file cannot be written.
    bool Import(bool overwrite);

    // Why the last Import failed: the file given, or the data folder (a full disk, no permission),
    // which a user fixes elsewhere.
    enum class Failure { None, File, DataFolder };
    Failure LastFailure() const { return failure_; }
    // More on a DataFolder failure that is not the disk's: a damaged day file, a standard data
    // history that could not follow the records; "" otherwise.
    const std::string& Detail() const { return detail_; }
    // With DataFolder: what failed there and where, when known.
    const std::string& FolderError() const { return folderError_; }

    const std::string& Path() const { return path_; }

    // Told after each record how many bytes of the file have been read and how large it is, so a
    // long import can show how far it has come. Called on the importing thread.
    void SetProgress(std::function<void(int64_t done, int64_t total)> progress) { progress_ = std::move(progress); }

private:
    bool Run(bool overwrite);

    std::string path_;
    std::function<void(int64_t, int64_t)> progress_;
    Failure failure_ = Failure::None;
    std::string detail_;
    std::string folderError_;
};
