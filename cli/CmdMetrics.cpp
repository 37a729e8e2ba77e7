// metrics and dli: the light-quality metrics of each selected record, and the daily light integral
// of each day of the selection.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "cli/MetricsText.h"
#include "core/metrics/DailyLightIntegral.h"
#include "core/metrics/MetricsCalculator.h"

namespace cli {
namespace {

const std::string kMetricsHelp = std::string(
    "usage: heliarc-cli metrics [--from TEXT] [--to TEXT] [--comment TEXT]\n"
    "\n") + kSelectionHelp + "\n"
    "Light-quality metrics of each selected record, from its spectral irradiance interpolated to\n"
    "every whole nanometre. One row per record, tab-separated, after one header row:\n"
    "  file_date offset time memo   where the record is stored, its local time and comment\n"
    "  ppfd eppfd                   photon flux density 400-700 and 400-750 nm, umol/m^2/s\n"
    "  pfd_uva pfd_blue pfd_green pfd_red pfd_farred\n"
    "                               315-400, 400-500, 500-600, 600-700, 700-750 nm, umol/m^2/s\n"
    "  r_fr                         photon flux 655-665 nm over 725-735 nm\n"
    "  X Y Z x y u_prime v_prime    CIE 1931 2 degree tristimulus values (Y in lx), xy, CIE 1976 u'v'\n"
    "  cct duv                      correlated colour temperature (K) and Duv, Ohno's method\n"
    "  ra r1 ... r14                CIE 13.3 colour rendering indices\n"
    "  mel_edi mel_der              melanopic equivalent daylight (D65) illuminance (lx) and ratio\n"
    "  g173_<from>_<to>             band irradiance over that of ASTM G173 global tilt\n"
    "  partial                      the columns computed over the covered part of their band only\n"
    "A value that does not apply is n/a: a band outside the record's wavelengths; colour unless the\n"
    "record covers 380-780 nm; chromaticity without light in X, Y and Z; a CCT with |Duv| above\n"
    "0.05; colour rendering without a CCT or above 25000 K.\n";

const std::string kDliHelp = std::string(
    "usage: heliarc-cli dli [--from TEXT] [--to TEXT] [--comment TEXT]\n"
    "\n") + kSelectionHelp + "\n"
    "Daily light integral of each local calendar day of the selected records: their PPFD\n"
    "(400-700 nm) integrated over time by the trapezoid rule between neighbours, in mol/m^2/d.\n"
    "A gap longer than three spans (the day's median spacing of records) is not bridged and the\n"
    "day is incomplete; the time before the day's first and after its last record is not counted.\n"
    "Columns: date dli records hours complete\n"
    "  records   the day's records that cover 400-700 nm (n/a for the day when none does)\n"
    "  hours     the time the integral covers\n"
    "  complete  yes when no gap was left out, else no\n";

// Standard output failed (a full disk, a closed pipe): the rows did not all reach it.
int Finish() {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) return Fail("Cannot write the output.");
    return kExitOk;
}

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

int RunMetrics(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, kSelectionOptions, {}, error)) return Usage(error);
    if (!args.Positional().empty()) return Usage("metrics takes no arguments");
    Selection selection;
    if (!ReadSelection(args, selection, error)) return Usage(error);
    Write("file_date\toffset\ttime\tmemo\t" + MetricsHeader() + "\n");
    // Both cores compute days in turn, each with its own prepared weights.
    metrics::MetricsCalculator calculators[2];
    WriteRowsByDay(selection, [&](const CSpectrumData& r, platform::CalTime fileDate, int64_t offset, int worker,
                                  std::string& out) {
        out += FormatDate(fileDate);
        out += '\t';
        out += std::to_string(offset);
        out += '\t';
        out += FormatDateTime(r.GetTime());
        out += '\t';
        out += Text(r.GetMemo());
        AppendMetrics(out, calculators[worker].Compute(r));
        out += '\n';
    });
    return Finish();
}

int RunDli(Context&, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.Parse(argv, kSelectionOptions, {}, error)) return Usage(error);
    if (!args.Positional().empty()) return Usage("dli takes no arguments");
    Selection selection;
    if (!ReadSelection(args, selection, error)) return Usage(error);
    metrics::MetricsCalculator calculator;
    std::vector<metrics::PpfdSample> samples;
    std::set<platform::CalTime> days;  // every day of the selection has its row
    ScanRecords(selection, [&](const CSpectrumData& r, platform::CalTime, int64_t) {
        platform::CalTime midnight;
        if (platform::LocalMidnight(r.GetTime(), midnight)) days.insert(midnight);
        double ppfd;
        if (calculator.Ppfd(r, ppfd)) samples.push_back({r.GetTime(), ppfd});
        return true;
    });
    std::map<platform::CalTime, metrics::DayLightIntegral> integrals;
    for (const auto& day : metrics::DailyLightIntegrals(std::move(samples))) integrals[day.midnight] = day;
    Write("date\tdli\trecords\thours\tcomplete\n");
    for (platform::CalTime midnight : days) {
        const auto it = integrals.find(midnight);
        if (it == integrals.end()) {
            Write(FormatDate(midnight) + "\tn/a\t0\t0\tno\n");
            continue;
        }
        const metrics::DayLightIntegral& day = it->second;
        Write(FormatDate(midnight) + '\t' + Num(day.dli) + '\t' + std::to_string(day.records) + '\t' +
              Num(day.hours) + '\t' + (day.complete ? "yes" : "no") + '\n');
    }
    return Finish();
}

const CommandRegistrar kMetrics(60, "metrics", RunMetrics, "light-quality metrics of the selected records, one row each",
                                kMetricsHelp.c_str());
const CommandRegistrar kDli(61, "dli", RunDli, "daily light integral of each day of the selection", kDliHelp.c_str());

}  // namespace
}  // namespace cli
