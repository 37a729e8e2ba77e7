// list, spectrum and standard: reading the data folder and the standard data history.
#include <cstdio>
#include <string>

#include "cli/Cli.h"
#include "core/config/BaseDataPrm.h"
#include "core/config/GeneralPrm.h"
#include "core/data/BaseDataSet.h"
#include "core/data/DayFileLayout.h"
#include "core/data/DerivedWeights.h"
#include "core/data/SpectrumDataReader.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"

namespace cli {
namespace {

void AppendRow(std::string& out, const std::vector<std::string>& cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) {
        if (i) out += '\t';
        out += cells[i];
    }
    out += '\n';
}

void PrintRow(const std::vector<std::string>& cells) {
    std::string line;
    AppendRow(line, cells);
    std::fwrite(line.data(), 1, line.size(), stdout);
}

// Reads the record stored at offset of the daily file of fileDate.
bool ReadStored(platform::CalTime fileDate, long long offset, CSpectrumData& record, std::string& error) {
    CSpectrumDataReader reader;
    std::string path;
    if (!reader.General().DailyFilePath(fileDate, path)) {
        error = "No daily data file for that date.";
        return false;
    }
    platform::File file;
    if (!file.Open(path, platform::File::Mode::Read)) {
        error = "Cannot open " + path + ".";
        return false;
    }
    // Records start every 2560 bytes, except after a partial record in the middle of a damaged file.
    const DayFileLayout layout = DayFileLayout::Of(file);
    if (!layout.HasRecordAt(offset)) {
        const std::string file = platform::MapPath(path);
        error = "No record starts at offset " + std::to_string(offset) + " of " + file +
                (layout.Damaged() ? " (" + layout.Describe(file) + ")" : "; records start at multiples of 2560.");
        return false;
    }
    if (!file.Seek(offset) || reader.ReadRecord(file, record) != 1) {
        error = "No readable record at offset " + std::to_string(offset) + " of " + path + ".";
        return false;
    }
    return true;
}

constexpr const char* kHistoryNotSaved = "Cannot save the standard data history to ./ZQ118_BASE.ini.";

// In the order of the unit numbers the graphs and the settings use.
constexpr NamedValue kSpectrumUnits[] = {
    {"W/m^2/um", "watts per square metre and micrometre (default)"},
    {"umol/m^2/s/um", "micromoles of photons per square metre, second and micrometre"},
    {"mW/cm^2/nm", "milliwatts per square centimetre and nanometre"},
    {"W/m^2/nm", "watts per square metre and nanometre"},
    {"photon/cm^2/s/nm", "photons per square centimetre, second and nanometre"},
};

}  // namespace

int RunList(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, kSelectionOptions, {}, error)) return Usage(error);
    if (!args.Positional().empty()) return Usage("list takes no arguments");
    Selection selection;
    if (!ReadSelection(args, selection, error)) return Usage(error);
    PrintRow({"file_date", "offset", "time", "memo", "type", "id", "serial", "st", "fv", "ft", "exposure",
              "temperature", "longitude", "latitude", "altitude", "fov", "pixels", "par", "photon", "lux", "uva",
              "uvb"});
    // Printed as read, a day at a time on both cores: a year of records is never held at once.
    WriteRowsByDay(selection, [](const CSpectrumData& r, platform::CalTime fileDate, int64_t offset, int,
                                 std::string& out) {
        // The derived values from weights prepared once per instrument, on each worker.
        thread_local DerivedCalculator derived;
        const DerivedValues v = derived.Of(r);
        AppendRow(out, {FormatDate(fileDate), std::to_string(offset), FormatDateTime(r.GetTime()),
                  Text(r.GetMemo()), Text(r.GetTypeCode()), Text(r.GetIdText()), Text(r.GetSerialNumber()),
                  Text(r.GetStText()), Text(r.GetFvText()), Text(r.GetFtText()),
                  std::to_string(r.GetExposureTime()), Num(r.GetTemperature()), Num(r.GetLongitude()),
                  Num(r.GetLatitude()), Num(r.GetAltitude()), r.FovText(), std::to_string(r.PixelCount()),
                  Num(v.par), Num(v.photon), Num(v.lux), Num(v.uvA), Num(v.uvB)});
    });
    return kExitOk;
}

int RunSpectrum(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, {"--unit"}, {}, error)) return Usage(error);
    int unit = 0;
    if (args.Has("--unit") && !ReadNamed(args, "--unit", kSpectrumUnits, unit, error)) return Usage(error);
    const auto& pos = args.Positional();
    CSpectrumData record;
    if (pos.size() >= 1 && pos[0] == "jis") {
        if (pos.size() > 2) return Usage("spectrum jis takes no further arguments");
        record.LoadJisStandard();
    } else {
        if (pos.size() != 2) return Usage("spectrum needs DATE OFFSET (or jis)");
        platform::CalTime date;
        long long offset;
        if (!ParseFileDate(pos[0], date)) return Usage("DATE must be YYYY/MM/DD");
        if (!ParseInt(pos[1], offset)) return Usage("OFFSET must be a number");
        if (!ReadStored(date, offset, record, error)) return Fail(error);
    }
    PrintRow({"pixel", "wavelength", "signal", "calibration", "irradiance"});
    for (int i = 0; i < record.PixelCount(); ++i) {
        const auto idx = static_cast<std::size_t>(i);
        float cal = idx < record.GetCalibration().size() ? record.GetCalibration()[idx] : 0.0f;
        PrintRow({std::to_string(i), Num(record.Wavelength(i)), Num(record.GetSignal()[idx]), Num(cal),
                  Num(record.Irradiance(i, unit))});
    }
    return kExitOk;
}

int RunStandard(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, {}, {}, error)) return Usage(error);
    const auto& pos = args.Positional();
    if (pos.empty()) return Usage("standard needs list, register, select, remove or jis");
    // A change is made to the history as read here: no other writer of it comes in between.
    const auto lock = pos[0] == "list" ? nullptr : CBaseDataPrm().LockHistory();
    CBaseDataSet standard;
    const std::string& sub = pos[0];
    auto position = [&](long long& p) {
        return pos.size() == 2 && ParseInt(pos[1], p) && p >= 0 && p < standard.ItemCount();
    };
    if (sub == "list") {
        if (pos.size() != 1) return Usage("standard list takes no arguments");
        PrintRow({"position", "file_date", "offset", "time", "memo", "par", "photon", "lux"});
        for (int p = 0; p < standard.ItemCount(); ++p) {
            CSpectrumData r = standard.Item(p);
            platform::CalTime date;
            int64_t offset;
            bool stored = standard.ItemLocation(p, date, offset);
            PrintRow({std::to_string(p), stored ? FormatDate(date) : "-", stored ? std::to_string(offset) : "-",
                      FormatDateTime(r.GetTime()), Text(r.GetMemo()), Num(r.GetPar()), Num(r.GetPhoton()),
                      Num(r.GetLux())});
        }
        return kExitOk;
    }
    if (sub == "register") {
        if (pos.size() != 3) return Usage("standard register needs DATE OFFSET");
        platform::CalTime date;
        long long offset;
        if (!ParseFileDate(pos[1], date)) return Usage("DATE must be YYYY/MM/DD");
        if (!ParseInt(pos[2], offset)) return Usage("OFFSET must be a number");
        CSpectrumData probe;
        if (!ReadStored(date, offset, probe, error)) return Fail(error);
        // The record was just read, so a failure here is the history file that could not be written.
        if (!standard.Register(date, offset)) return Fail(kHistoryNotSaved);
        return kExitOk;
    }
    if (sub == "select" || sub == "remove") {
        long long p;
        if (!position(p)) return Usage("standard " + sub + " needs a position of the standard data list");
        const bool saved = sub == "select" ? standard.Select(static_cast<int>(p)) : standard.Remove(static_cast<int>(p));
        return saved ? kExitOk : Fail(kHistoryNotSaved);
    }
    if (sub == "jis") {
        if (pos.size() != 2 || (pos[1] != "on" && pos[1] != "off")) return Usage("standard jis needs on or off");
        return standard.SetSelectJis(pos[1] == "on" ? 1 : 0) ? kExitOk : Fail(kHistoryNotSaved);
    }
    return Usage("unknown standard command " + sub);
}

namespace {

const std::string kListHelp = std::string(
    "usage: heliarc-cli list [--from TEXT] [--to TEXT] [--comment TEXT]\n"
    "\n"
    "The records of the data folder, as the data browser lists them: all of them, or those the\n"
    "selection finds.\n"
    "\n") + kSelectionHelp + "\n"
    "One row per record, tab-separated, after one header row:\n"
    "  file_date offset   the daily file (YYYY/MM/DD) and byte offset: they name the record for\n"
    "                     spectrum and standard register\n"
    "  time memo          local time and comment\n"
    "  type id serial st fv ft   the record's header fields\n"
    "  exposure temperature longitude latitude altitude fov pixels\n"
    "  par photon lux uva uvb    PAR (W/m^2), photon flux (umol/m^2/s), illuminance (lx), UV-A and\n"
    "                     UV-B (W/m^2)\n";

const std::string kSpectrumHelp =
    "usage: heliarc-cli spectrum DATE OFFSET [--unit UNIT]\n"
    "       heliarc-cli spectrum jis [--unit UNIT]\n"
    "\n"
    "One stored record pixel by pixel: the record at byte OFFSET (a multiple of 2560) of the daily\n"
    "file of DATE (YYYY/MM/DD), as the file_date and offset columns of list give them; jis prints\n"
    "the built-in JIS standard spectrum.\n"
    "\n"
    "  --unit UNIT   the unit of the irradiance column, by number or name (any case):\n" +
    DescribeValues(kSpectrumUnits) +
    "\n"
    "Columns: pixel wavelength (nm) signal calibration irradiance\n";

const char* const kStandardHelp =
    "usage: heliarc-cli standard list\n"
    "       heliarc-cli standard register DATE OFFSET\n"
    "       heliarc-cli standard select POS\n"
    "       heliarc-cli standard remove POS\n"
    "       heliarc-cli standard jis on|off\n"
    "\n"
    "The standard data history of ./ZQ118_BASE.ini, as the program's standard data list shows it.\n"
    "  list       the list: position file_date offset time memo par photon lux, one row each\n"
    "             (the built-in record shows - as file date and offset)\n"
    "  register   makes the record at byte OFFSET of the daily file of DATE (YYYY/MM/DD, as list\n"
    "             gives them) the current standard data\n"
    "  select     makes the record at position POS of the list current\n"
    "  remove     removes the record at position POS from the history\n"
    "  jis on     makes the built-in JIS standard data current; jis off gives that up again\n";

const CommandRegistrar kList(10, "list", RunList, "the records of the data folder, one row each", kListHelp.c_str());
const CommandRegistrar kSpectrum(20, "spectrum", RunSpectrum, "one stored record pixel by pixel",
                                 kSpectrumHelp.c_str());
const CommandRegistrar kStandard(25, "standard", RunStandard,
                                 "the standard data history: list, register, select, remove, jis", kStandardHelp);

}  // namespace

}  // namespace cli
