#include "cli/Cli.h"

#include <signal.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "cli/BlockWriter.h"
#include "core/data/SearchTime.h"
#include "core/platform/Text.h"

namespace cli {

namespace {
std::vector<CommandInfo>& Registry() {
    static std::vector<CommandInfo> commands;
    return commands;
}
}  // namespace

CommandRegistrar::CommandRegistrar(int order, const char* name, CommandFn run, const char* summary, const char* help) {
    auto& r = Registry();
    auto at = r.begin();
    while (at != r.end() && at->order <= order) ++at;
    r.insert(at, {order, name, run, summary, help});
}

const std::vector<CommandInfo>& Commands() { return Registry(); }

const std::vector<std::string> kSelectionOptions = {"--from", "--to", "--comment"};

const char* const kSelectionHelp =
    "  --from TEXT     records stored at or after this local time: YYYY/MM/DD (or YYYY-MM-DD),\n"
    "                  optionally followed by HH, HH:MM or HH:MM:SS (a date alone is its midnight);\n"
    "                  years 2000 to 2035\n"
    "  --to TEXT       records stored at or before this local time, in the same forms\n"
    "  --comment TEXT  records whose comment contains TEXT\n";

namespace {
bool SameIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return i == a.size() && !b[i];
}
}  // namespace

bool ReadNamed(const Args& args, const std::string& option, std::span<const NamedValue> values, int& value,
               std::string& error) {
    const std::string text = args.Get(option);
    long long number;
    if (ParseInt(text, number) && number >= 0 && number < static_cast<long long>(values.size())) {
        value = static_cast<int>(number);
        return true;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (SameIgnoringCase(text, values[i].name)) {
            value = static_cast<int>(i);
            return true;
        }
    }
    error = option + " \"" + Escape(text) + "\" is none of its values: give a number 0 to " +
            std::to_string(values.size() - 1) + " or its name:\n" + DescribeValues(values);
    if (error.back() == '\n') error.pop_back();
    return false;
}

std::string DescribeValues(std::span<const NamedValue> values) {
    std::size_t width = 0;
    for (const auto& v : values) width = std::max(width, std::string(v.name).size());
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string name = values[i].name;
        name.resize(width, ' ');
        out += (i < 10 ? "    " : "   ") + std::to_string(i) + "  " + name + "  " + values[i].meaning + "\n";
    }
    return out;
}

bool Args::Parse(const std::vector<std::string>& argv, const std::vector<std::string>& valueOptions,
                 const std::vector<std::string>& flagOptions, std::string& error) {
    auto contains = [](const std::vector<std::string>& v, const std::string& s) {
        for (const auto& x : v)
            if (x == s) return true;
        return false;
    };
    for (std::size_t i = 0; i < argv.size(); ++i) {
        std::string a = argv[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            if (a == "--help") throw HelpRequested();
            // "--name=value" as many programs take it.
            std::optional<std::string> inlineValue;
            if (const auto eq = a.find('='); eq != std::string::npos && contains(valueOptions, a.substr(0, eq))) {
                inlineValue = a.substr(eq + 1);
                a.resize(eq);
            }
            if (contains(valueOptions, a)) {
                if (!inlineValue && i + 1 >= argv.size()) {
                    error = "option " + a + " needs a value";
                    return false;
                }
                // Which of two values was meant is anyone's guess.
                if (values_.count(a)) {
                    error = "option " + a + " is given twice";
                    return false;
                }
                values_[a] = inlineValue ? *inlineValue : argv[++i];
            } else if (contains(flagOptions, a)) {
                flags_[a] = true;
            } else if (a == "--workdir" || a == "--folder" || a == "--prefix" || a == "--demo") {
                error = a + " goes before the command: heliarc-cli " + a + (a == "--demo" ? "" : " ...") + " COMMAND ...";
                return false;
            } else {
                error = "unknown option " + a;
                return false;
            }
        } else {
            positional_.push_back(a);
        }
    }
    return true;
}

std::string Args::Get(const std::string& name, const std::string& def) const {
    auto it = values_.find(name);
    return it == values_.end() ? def : it->second;
}

bool ReadSelection(const Args& args, Selection& selection, std::string& error) {
    selection = Selection();
    for (const char* option : {"--from", "--to"}) {
        if (!args.Has(option)) continue;
        const std::string text = args.Get(option);
        platform::CalTime t = 0;
        const char* what = nullptr;
        switch (ReadSearchTime(text, t)) {
            case SearchTimeRead::Time: break;
            case SearchTimeRead::NotATime: what = "is not a date and time"; break;
            case SearchTimeRead::NoSuchTime: what = "names no such date and time"; break;
            case SearchTimeRead::YearOutside: what = "is outside the years a search covers"; break;
        }
        if (what) {
            error = std::string(option) + " \"" + Escape(text) + "\" " + what + ": give YYYY/MM/DD, YYYY/MM/DD HH, " +
                    "YYYY/MM/DD HH:MM or YYYY/MM/DD HH:MM:SS, local time, years " + std::to_string(kSearchFirstYear) +
                    " to " + std::to_string(kSearchLastYear);
            return false;
        }
        (option[2] == 'f' ? selection.start : selection.end) = t;
    }
    if (args.Has("--comment")) {
        // An empty text would match every memo: a script whose variable came out empty would
        // select everything.
        if (args.Get("--comment").empty()) {
            error = "--comment needs a text";
            return false;
        }
        selection.comment = args.Get("--comment");
    }
    return true;
}

void SelectRecords(const Selection& selection, CSpectrumDataSet& set) {
    set.Search(selection.start ? &*selection.start : nullptr, selection.end ? &*selection.end : nullptr,
               selection.comment ? selection.comment->c_str() : nullptr);
    // Listed, but the user should know the file needs looking after.
    for (const std::string& note : set.DamageNotes()) std::fprintf(stderr, "heliarc-cli: warning: %s\n", note.c_str());
}

void ScanRecords(const Selection& selection, const CSpectrumDataSet::Visitor& visit) {
    std::vector<std::string> notes;
    CSpectrumDataSet::Scan(selection.start ? &*selection.start : nullptr, selection.end ? &*selection.end : nullptr,
                           selection.comment ? selection.comment->c_str() : nullptr, visit, &notes);
    for (const std::string& note : notes) std::fprintf(stderr, "heliarc-cli: warning: %s\n", note.c_str());
}

bool WriteRowsByDay(const Selection& selection, const RowFormat& row) {
    const platform::CalTime* start = selection.start ? &*selection.start : nullptr;
    const platform::CalTime* end = selection.end ? &*selection.end : nullptr;
    const char* comment = selection.comment ? selection.comment->c_str() : nullptr;
    const std::vector<CSpectrumDataSet::DayFile> files = CSpectrumDataSet::FilesToScan(start, end);
    std::vector<std::vector<std::string>> notes(files.size());
    const bool written = BlockWriter::Run(
        files.size(),
        [&](std::size_t block, int worker, std::string& out) {
            CSpectrumDataSet::ScanFiles(
                files, block, block + 1, start, end, comment,
                [&](const CSpectrumData& r, platform::CalTime fileDate, int64_t offset) {
                    row(r, fileDate, offset, worker, out);
                    return true;
                },
                &notes[block]);
        },
        [](const std::string& text) { return std::fwrite(text.data(), 1, text.size(), stdout) == text.size(); });
    // Listed, but the user should know the files need looking after.
    for (const auto& day : notes)
        for (const std::string& note : day) std::fprintf(stderr, "heliarc-cli: warning: %s\n", note.c_str());
    return written;
}

// to_chars with a precision writes what printf's %.9g writes, without the locale and far faster:
// list prints five of these a record.
std::string Num(double v) {
    char buf[64];
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 9);
    return std::string(buf, r.ptr);
}

std::string Escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\t': out += "\\t"; break;
            case '\r': out += "\\r"; break;
            case '\n': out += "\\n"; break;
            case '\\': out += "\\\\"; break;
            default: out += c;
        }
    }
    return out;
}

std::string Text(const std::string& stored) { return Escape(platform::ToDisplayText(stored)); }

std::string FormatDate(platform::CalTime t) { return platform::FormatLocal(t, "%Y/%m/%d"); }
std::string FormatDateTime(platform::CalTime t) { return platform::FormatLocal(t, "%Y/%m/%d %H:%M:%S"); }

bool ParseInt(const std::string& text, long long& value) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end && *end == 0;
}

bool ParseDouble(const std::string& text, double& value) {
    if (text.empty()) return false;
    // The CLI never changes LC_NUMERIC, so strtod reads '.' decimals.
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end && *end == 0;
}

bool ParseFileDate(const std::string& text, platform::CalTime& midnight) {
    int y = 0, m = 0, d = 0;
    char extra = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d%c", &y, &m, &d, &extra) != 3) return false;
    if (m < 1 || m > 12 || d < 1 || d > 31 || !platform::JoinLocal(y, m, d, 0, 0, 0, midnight)) return false;
    platform::LocalFields f;
    return platform::SplitLocal(midnight, f) && f.day == d;
}

namespace {
std::atomic<bool> g_stop{false};
volatile sig_atomic_t g_stopSignal = 0;
struct sigaction g_oldInt {}, g_oldTerm {};

void OnStop(int sig) {
    g_stopSignal = sig;
    g_stop.store(true);
}
}  // namespace

StopSignals::StopSignals() {
    g_stop = false;
    g_stopSignal = 0;
    struct sigaction sa {};
    sa.sa_handler = OnStop;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, &g_oldInt);
    ::sigaction(SIGTERM, &sa, &g_oldTerm);
}

StopSignals::~StopSignals() {
    ::sigaction(SIGINT, &g_oldInt, nullptr);
    ::sigaction(SIGTERM, &g_oldTerm, nullptr);
}

const std::atomic<bool>& StopSignals::Flag() const { return g_stop; }
int StopSignals::Signal() const { return g_stopSignal; }

int Fail(const std::string& message) {
    std::fprintf(stderr, "%s\n", message.c_str());
    return kExitFailed;
}

namespace {
const char* g_command = nullptr;
}

void SetCurrentCommand(const char* name) { g_command = name; }

int Usage(const std::string& message) {
    std::fprintf(stderr, "heliarc-cli: %s\n", message.c_str());
    if (g_command) std::fprintf(stderr, "heliarc-cli %s --help describes its options.\n", g_command);
    return kExitUsage;
}

}  // namespace cli
