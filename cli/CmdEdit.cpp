// delete and comment: the data browser's "Delete data..." and "Edit comment..." on the records a
// selection finds, rewritten in place in their daily files.
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

namespace cli {
namespace {

// Both commands change stored records: an empty selection would mean every record, which is
// never what a script that forgot its --from meant.
bool ParseSelection(const std::vector<std::string>& argv, const char* command, std::size_t positional,
                    Selection& selection, Args& args, std::string& error) {
    if (!args.Parse(argv, kSelectionOptions, {}, error)) return false;
    if (args.Positional().size() != positional) {
        error = std::string(command) + (positional ? " needs one TEXT" : " takes no arguments");
        return false;
    }
    if (!ReadSelection(args, selection, error)) return false;
    if (!selection.Any()) {
        error = std::string(command) + " needs --from, --to or --comment";
        return false;
    }
    return true;
}

// Each refused record on its own line, then how many were changed; exit 1 when any was refused.
int Report(const std::vector<CSpectrumDataSet::Refused>& refused, int selected) {
    if (refused.empty()) return kExitOk;
    std::string message = platform::LoadString(ids::kUpdateDataFailure);
    for (const auto& r : refused) message += "\n" + r.message;
    char count[256];
    std::snprintf(count, sizeof count, platform::LoadString(ids::kRecordsChangedCount).c_str(),
                  selected - static_cast<int>(refused.size()), selected);
    return Fail(message + "\n" + count);
}

int RunDelete(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    Selection selection;
    if (!ParseSelection(argv, "delete", 0, selection, args, error)) return Usage(error);
    CSpectrumDataSet set;
    SelectRecords(selection, set);
    std::set<int> all;
    for (int i = 0; i < set.Count(); ++i) all.insert(i);
    std::vector<CSpectrumDataSet::Refused> refused;
    set.Delete(all, &refused);
    return Report(refused, static_cast<int>(all.size()));
}

int RunComment(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    Selection selection;
    if (!ParseSelection(argv, "comment", 1, selection, args, error)) return Usage(error);
    // Comments this program writes are UTF-8 (cut to 63 bytes between characters).
    if (!platform::IsValidUtf8(args.Positional()[0])) return Usage("comment TEXT must be UTF-8 text");
    CSpectrumDataSet set;
    SelectRecords(selection, set);
    std::set<int> all;
    for (int i = 0; i < set.Count(); ++i) all.insert(i);
    std::vector<CSpectrumDataSet::Refused> refused;
    set.SetComment(all, args.Positional()[0], &refused);
    return Report(refused, static_cast<int>(all.size()));
}

// A record is changed only while it is still stored as the selection found it; several records
// cannot change all or none, so the others are changed and each refused one is named.
constexpr const char* kRefusals =
    "is written, and only where the record is still as the\n"
    "selection found it (not changed, moved or deleted by another program since): the others are\n"
    "changed, each record left as it was is named on standard error with why, with how many were\n"
    "changed, and the exit status is then 1.\n";

const std::string kDeleteHelp = std::string(
    "usage: heliarc-cli delete [--from TEXT] [--to TEXT] [--comment TEXT]\n"
    "\n"
    "Marks the records the selection finds deleted, as the data browser's \"Delete data...\" does.\n"
    "At least one of the options is needed: never every record by accident.\n"
    "\n") + kSelectionHelp + "\n"
    "Only the deleted flag " + kRefusals;

const std::string kCommentHelp = std::string(
    "usage: heliarc-cli comment TEXT [--from TEXT] [--to TEXT] [--comment TEXT]\n"
    "\n"
    "Sets the comment of the records the selection finds to TEXT (UTF-8, cut to 63 bytes), as the\n"
    "data browser's \"Edit comment...\" does. At least one of the options is needed.\n"
    "\n") + kSelectionHelp + "\n"
    "Only the comment " + kRefusals;

const CommandRegistrar kDelete(40, "delete", RunDelete, "marks the selected records deleted", kDeleteHelp.c_str());
const CommandRegistrar kComment(45, "comment", RunComment, "sets the comment of the selected records",
                                kCommentHelp.c_str());

}  // namespace
}  // namespace cli
