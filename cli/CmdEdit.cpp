// delete and comment: the data browser's "Delete data..." and "Edit comment..." on the records a
// selection finds, rewritten in place in their daily files.
#include <set>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "platform/StringIds.h"
#include "platform/StringTable.h"
#include "platform/Text.h"

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

int RunDelete(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    Selection selection;
    if (!ParseSelection(argv, "delete", 0, selection, args, error)) return Usage(error);
    CSpectrumDataSet set;
    SelectRecords(selection, set);
    std::set<int> all;
    for (int i = 0; i < set.Count(); ++i) all.insert(i);
    if (!all.empty() && !set.Delete(all)) return Fail(platform::LoadString(ids::kUpdateDataFailure));
    return kExitOk;
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
    bool ok = true;
    for (int i = 0; i < set.Count(); ++i) {
        set.At(i).record.SetMemo(args.Positional()[0]);
        if (!set.Update(i)) ok = false;  // the others are still written, as the browser does
    }
    return ok ? kExitOk : Fail(platform::LoadString(ids::kUpdateDataFailure));
}

const CommandRegistrar kDelete(40, "delete", RunDelete, "[--from TEXT] [--to TEXT] [--comment TEXT]   marks the records deleted");
const CommandRegistrar kComment(45, "comment", RunComment, "TEXT [--from TEXT] [--to TEXT] [--comment TEXT]   sets their comment");

}  // namespace
}  // namespace cli
