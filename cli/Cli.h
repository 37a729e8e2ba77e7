#pragma once
// Shared pieces of heliarc-cli: argument handling, output formatting and the record selection that
// every command takes exactly as the data browser's search boxes do.
#include <atomic>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/data/SpectrumDataSet.h"

namespace cli {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct Context {
    bool demo = false;
};

// Thrown by Args::Parse when --help stands where an option may: main prints the command's help.
struct HelpRequested {};

// Options of one command: "--name value" pairs, bare flags and positional arguments.
class Args {
public:
    // valueOptions take a value (the next argument, or after "=": --type=1); flagOptions do not.
    // --help throws HelpRequested. Anything else starting with "--" is an error.
    bool Parse(const std::vector<std::string>& argv, const std::vector<std::string>& valueOptions,
               const std::vector<std::string>& flagOptions, std::string& error);
    bool Has(const std::string& name) const { return values_.count(name) != 0 || flags_.count(name) != 0; }
    std::string Get(const std::string& name, const std::string& def = "") const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::map<std::string, std::string> values_;
    std::map<std::string, bool> flags_;
    std::vector<std::string> positional_;
};

extern const std::vector<std::string> kSelectionOptions;  // --from --to --comment
// The help lines of those three options, for every command that takes a selection.
extern const char* const kSelectionHelp;

// One value of an option that stores a number: the value's number is its place in its table.
struct NamedValue {
    const char* name;     // accepted in any case in place of the number
    const char* meaning;  // for the help text
};
// The option's value as its number (read as a plain number always was) or as one of the names;
// anything else is a usage error that names the option and lists every accepted value.
bool ReadNamed(const Args& args, const std::string& option, std::span<const NamedValue> values, int& value,
               std::string& error);
// Help lines of those values, one a line: "    0  name   meaning".
std::string DescribeValues(std::span<const NamedValue> values);

// The records a command works on, as --from, --to and --comment give them.
struct Selection {
    std::optional<platform::CalTime> start, end;
    std::optional<std::string> comment;
    bool Any() const { return start || end || comment; }
};

// The one reading of a selection that every command shares: a --from/--to text is the date and
// time it names, as the search boxes read it, and a text they refuse (or an empty option) is a
// usage error with a message that names the option and the accepted forms. Never another date.
bool ReadSelection(const Args& args, Selection& selection, std::string& error);
// Search of the data folder; a warning on standard error names each damaged day file it read.
void SelectRecords(const Selection& selection, CSpectrumDataSet& set);
// The same records one at a time, none kept (CSpectrumDataSet::Scan), with the same warnings.
void ScanRecords(const Selection& selection, const CSpectrumDataSet::Visitor& visit);
// The same records formatted into rows on both cores, a day file at a time, and written to standard
// output in order; row(record, fileDate, offset, worker, out) appends a record's rows to out, worker
// (0 or 1) telling the threads apart. False when the output failed.
using RowFormat = std::function<void(const CSpectrumData& record, platform::CalTime fileDate, int64_t offset,
                                     int worker, std::string& out)>;
bool WriteRowsByDay(const Selection& selection, const RowFormat& row);

// "%.9g": a single-precision value survives the round trip.
std::string Num(double v);
// Tab, CR, LF and backslash written as \t \r \n \\ so every row stays one line of columns.
std::string Escape(const std::string& text);
// A stored text field for output: UTF-8 as shown on screen (CP932 decoded), escaped.
std::string Text(const std::string& stored);
std::string FormatDate(platform::CalTime t);      // "%Y/%m/%d"
std::string FormatDateTime(platform::CalTime t);  // "%Y/%m/%d %H:%M:%S"
// "YYYY/MM/DD" of a daily file to its local midnight; false when it is no date.
bool ParseFileDate(const std::string& text, platform::CalTime& midnight);
bool ParseInt(const std::string& text, long long& value);
bool ParseDouble(const std::string& text, double& value);

// While one lives, SIGINT and SIGTERM only raise Flag(): a long command stops at its next step and
// cleans up after itself instead of dying part-way.
class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    const std::atomic<bool>& Flag() const;
    int Signal() const;  // the signal that arrived, 0 while none has
};

int Fail(const std::string& message);   // message on stderr, exit status 1
int Usage(const std::string& message);  // message on stderr, exit status 2
// The command main runs: a usage error then says where its options are described.
void SetCurrentCommand(const char* name);

// Commands register themselves from their own source file, so adding one touches no other file:
//   static cli::CommandRegistrar reg(30, "export", RunExport, "selected records to a CSV file", kHelp);
using CommandFn = int (*)(Context&, const std::vector<std::string>&);
struct CommandInfo {
    int order;  // place in the help text
    const char* name;
    CommandFn run;
    const char* summary;  // one line of heliarc-cli --help
    const char* help;     // the whole text of COMMAND --help, starting with its usage line
};
struct CommandRegistrar {
    CommandRegistrar(int order, const char* name, CommandFn run, const char* summary, const char* help);
};
const std::vector<CommandInfo>& Commands();  // sorted by order

}  // namespace cli
