// export and import: the CSV export of a selection and the import of the maker's data files, with
// the settings of the EXPORT section unless an option says otherwise for this run.
#include <csignal>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "core/config/ExportPrm.h"
#include "core/config/Parameter.h"
#include "core/data/BaseDataSet.h"
#include "core/exchange/CSVExporter.h"
#include "core/exchange/VeldDataImporter.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace cli {
namespace {

struct IntOption {
    const char* option;
    const char* key;
    long long min, max;
};

// Option values are checked as the export dialog checks its controls, then handed to the EXPORT
// section as run-only values.
bool ApplyExportOptions(const Args& args, std::string& error) {
    static const IntOption kInts[] = {{"--type", "EXPORT_TYPE", 0, 4},
                                      {"--unit", "SPECTRUM_UNIT", 0, 1},
                                      {"--step", "WAVELENGTH_TYPE", 0, 2}};
    for (const auto& o : kInts) {
        if (!args.Has(o.option)) continue;
        const std::string text = args.Get(o.option);
        const bool type = std::string(o.key) == "EXPORT_TYPE";
        long long v = 4;  // the light-quality type also goes by its name
        if (!(type && text == "quality") && (!ParseInt(text, v) || v < o.min || v > o.max)) {
            error = std::string(o.option) + " must be " + std::to_string(o.min) + " to " + std::to_string(o.max) +
                    (type ? " or quality" : "");
            return false;
        }
        CParameter::SetRunOverride("EXPORT", o.key, std::to_string(v));
    }
    static const std::pair<const char*, const char*> kRange[] = {{"--min", "MIN_WAVELENGTH"},
                                                                 {"--max", "MAX_WAVELENGTH"}};
    for (const auto& [option, key] : kRange) {
        if (!args.Has(option)) continue;
        double v;
        if (!ParseDouble(args.Get(option), v) || !(v >= 350.0 && v <= 1050.0)) {
            error = std::string(option) + " must be a number from 350 to 1050";
            return false;
        }
        CParameter::SetRunOverride("EXPORT", key, args.Get(option));
    }
    return true;
}

int RunExport(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    std::vector<std::string> options = kSelectionOptions;
    options.insert(options.end(), {"--type", "--unit", "--step", "--min", "--max", "--standard"});
    if (!args.Parse(argv, options, {}, error)) return Usage(error);
    if (args.Positional().size() != 1) return Usage("export needs one output file OUT.csv");
    const std::string standardChoice = args.Get("--standard", "current");
    if (standardChoice != "current" && standardChoice != "jis" && standardChoice != "none")
        return Usage("--standard must be current, jis or none");
    Selection selection;
    if (!ReadSelection(args, selection, error)) return Usage(error);
    if (!ApplyExportOptions(args, error)) return Usage(error);

    CExportPrm prm;
    prm.Load();
    CSpectrumDataSet set;
    SelectRecords(selection, set);

    CBaseDataSet standardSet;
    CSpectrumData standard;
    const CSpectrumData* chosen = nullptr;
    if (standardChoice == "current" && standardSet.Current()) {
        standard = *standardSet.Current();
        chosen = &standard;
    } else if (standardChoice == "jis") {
        standard = standardSet.BuiltIn();
        chosen = &standard;
    }
    const std::string& out = args.Positional()[0];
    CCSVExporter exporter;
    StopSignals signals;
    exporter.SetCancel(&signals.Flag());
    if (exporter.ExportDataSet(out, set, chosen, prm)) return kExitOk;
    std::string message = platform::LoadString(ids::kExportFailure);
    if (signals.Signal() != 0) {
        message += "\nStopped by " + std::string(signals.Signal() == SIGINT ? "SIGINT" : "SIGTERM") + "; " + out +
                   " was left as it was.";
    } else if (!exporter.Error().empty()) {
        message += "\n" + exporter.Error();
        const int type = prm.m_EXPORT_TYPE.Get();
        if ((type == 2 || type == 3) && chosen == nullptr)
            message += standardChoice == "none" ? "\n--standard none gives none: use --standard current or jis."
                                                : "\nNo standard data is registered: use --standard jis, or register one.";
    }
    return Fail(message);
}

int RunImport(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, {}, {"--overwrite"}, error)) return Usage(error);
    if (args.Positional().empty()) return Usage("import needs at least one FILE");
    const bool overwrite = args.Has("--overwrite");
    // In the order given; files imported before a failure stay imported.
    for (const auto& file : args.Positional()) {
        CVeldDataImporter importer(file);
        if (importer.Import(overwrite)) continue;
        std::string message = platform::LoadString(ids::kImportFailure) + " (" + file + ")";
        if (importer.LastFailure() == CVeldDataImporter::Failure::DataFolder) {
            message += "\n" + (importer.Detail().empty() ? platform::LoadString(ids::kCannotSaveData) : importer.Detail());
            if (!importer.FolderError().empty()) message += "\n" + importer.FolderError();
        }
        return Fail(message);
    }
    return kExitOk;
}

const CommandRegistrar kExport(30, "export", RunExport,
                               "OUT.csv [--from/--to/--comment] [--type 0..4|quality] [--unit 0|1] [--step 0|1|2] "
                               "[--min NM] [--max NM] [--standard current|jis|none]");
const CommandRegistrar kImport(35, "import", RunImport, "[--overwrite] FILE...");

}  // namespace
}  // namespace cli
