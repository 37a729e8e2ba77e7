// export and import: the CSV export of a selection and the import of the maker's data files, with
// the settings of the EXPORT section unless an option says otherwise for this run.
#include <csignal>
#include <span>
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

// The values of the EXPORT section, numbered as the export dialog stores its choices.
constexpr NamedValue kExportTypes[] = {
    {"spectral", "spectral data and calculation data"},
    {"calculation", "calculation data only"},
    {"ratio", "ratio of each record's spectrum to the standard data"},
    {"difference", "difference of each record's spectrum from the standard data"},
    {"quality", "light quality data: one row per metric of heliarc-cli metrics"},
};
constexpr NamedValue kExportUnits[] = {
    {"W/m^2/um", "watts per square metre and micrometre"},
    {"umol/m^2/s/um", "micromoles of photons per square metre, second and micrometre"},
};
constexpr NamedValue kExportSteps[] = {
    {"original", "the wavelengths of the instrument's pixels"},
    {"1nm", "1 nm steps from the minimum wavelength, interpolated"},
    {"5nm", "5 nm steps from the minimum wavelength, interpolated"},
};

// Option values are checked as the export dialog checks its controls, then handed to the EXPORT
// section as run-only values.
bool ApplyExportOptions(const Args& args, std::string& error) {
    struct Choice {
        const char* option;
        const char* key;
        std::span<const NamedValue> values;
    };
    const Choice kChoices[] = {{"--type", "EXPORT_TYPE", kExportTypes},
                               {"--unit", "SPECTRUM_UNIT", kExportUnits},
                               {"--step", "WAVELENGTH_TYPE", kExportSteps}};
    for (const auto& c : kChoices) {
        if (!args.Has(c.option)) continue;
        int v;
        if (!ReadNamed(args, c.option, c.values, v, error)) return false;
        CParameter::SetRunOverride("EXPORT", c.key, std::to_string(v));
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

const std::string kExportHelp = std::string(
    "usage: heliarc-cli export OUT.csv [--from TEXT] [--to TEXT] [--comment TEXT] [--type TYPE]\n"
    "                          [--unit UNIT] [--step STEP] [--min NM] [--max NM]\n"
    "                          [--standard current|jis|none]\n"
    "\n"
    "Writes the selected records (every record without a selection) to the CSV file OUT.csv, as\n"
    "the export dialog does, with the settings of the EXPORT section of ./ZQ118.ini unless an\n"
    "option says otherwise for this run. OUT.csv is replaced only by a complete file.\n"
    "\n") + kSelectionHelp +
    "  --type TYPE     what is written, by number or name (any case):\n" + DescribeValues(kExportTypes) +
    "  --unit UNIT     the unit of the spectral irradiance:\n" + DescribeValues(kExportUnits) +
    "  --step STEP     the wavelengths of the spectral rows:\n" + DescribeValues(kExportSteps) +
    "  --min NM, --max NM\n"
    "                  the wavelength range written, 350 to 1050 nm\n"
    "  --standard current|jis|none\n"
    "                  the standard data of ratio and difference: the current one of the standard\n"
    "                  data list (default), the built-in JIS data, or none\n";

const char* const kImportHelp =
    "usage: heliarc-cli import [--overwrite] FILE...\n"
    "\n"
    "Merges the records of older data files (*.srd, *.rad) into the daily data files, file by file\n"
    "in the order given. Files imported before a failure stay imported; each day file is replaced\n"
    "only once its merge is complete.\n"
    "\n"
    "  --overwrite   an imported record replaces a stored record of the same time; without it such\n"
    "                records are skipped\n";

const CommandRegistrar kExport(30, "export", RunExport, "the selected records to a CSV file", kExportHelp.c_str());
const CommandRegistrar kImport(35, "import", RunImport, "merges older data files (*.srd, *.rad) into the data folder",
                               kImportHelp);

}  // namespace
}  // namespace cli
