#include "sim/SimModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/platform/LocalTime.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kNoonLevel = 1800.0;   // W/m^2/um at 500 nm, sun at its highest
constexpr double kPeakResponse = 380.0; // counts/s per W/m^2/um at 650 nm, 180 degree diffuser
constexpr double kFovThroughput[CSimModel::kTables] = {1.0, 0.55, 0.22, 0.08};
constexpr int kExposures[] = {5000, 2000, 1000, 500, 200, 100, 50, 20, 10};

// HELIARC_SIM_SUN_HOUR (0..24) holds the sun at that hour of every day, so a demonstration
// shows daylight whenever it runs; negative when unset.
double FixedSunHour() {
    static const double hour = [] {
        const char* text = std::getenv("HELIARC_SIM_SUN_HOUR");
        if (!text || !*text) return -1.0;
        char* end = nullptr;
        double h = std::strtod(text, &end);
        return (end != text && h >= 0.0 && h <= 24.0) ? h : -1.0;
    }();
    return hour;
}

// Sine of the sun's height in a day from 06:00 to 18:00 local time; 0 at night.
double SunHeight(int64_t time) {
    platform::LocalFields f;
    if (!platform::SplitLocal(time, f)) return 0.0;
    double hour = f.hour + f.minute / 60.0 + f.second / 3600.0;
    if (FixedSunHour() >= 0.0) hour = FixedSunHour();
    double s = std::sin(kPi * (hour - 6.0) / 12.0);
    return s > 0.0 ? s : 0.0;
}

double Planck(double nm) {
    const double x = 1.4388e7 / (nm * 5778.0);
    return 1.0 / (std::pow(nm, 5.0) * (std::exp(x) - 1.0));
}

double Rayleigh(double nm, double airMass) { return std::exp(-0.0088 * std::pow(nm / 1000.0, -4.05) * airMass); }

double Dip(double nm, double centre, double depth, double width) {
    double d = (nm - centre) / width;
    return 1.0 - depth * std::exp(-0.5 * d * d);
}

double Absorption(double nm) {
    double a = Dip(nm, 760.0, 0.7, 2.5) * Dip(nm, 720.0, 0.25, 8.0) * Dip(nm, 820.0, 0.3, 10.0) *
               Dip(nm, 940.0, 0.65, 20.0) * Dip(nm, 1135.0, 0.8, 25.0);
    if (nm < 335.0) {  // ozone cuts the far UV
        double d = (335.0 - nm) / 13.0;
        a *= std::exp(-d * d);
    }
    return a;
}

std::string Format(const char* fmt, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

bool ParseArgs(const std::string& text, std::vector<long>& out) {
    out.clear();
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t comma = text.find(',', pos);
        std::string part = text.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
        if (part.empty() || part.size() > 9) return false;
        for (char c : part) {
            if (c < '0' || c > '9') return false;
        }
        out.push_back(std::strtol(part.c_str(), nullptr, 10));
        if (comma == std::string::npos) return true;
        pos = comma + 1;
    }
    return false;
}

}  // namespace

CSimModel::CSimModel(uint64_t seed, int storedRecords) : rng_(seed), memory_(kSlots) {
    serial_ = "ZQ" + std::to_string(100000 + static_cast<int>(seed % 900000));
    // About 300 nm at pixel 0 and 1100 nm at pixel 255, slightly bent like a real grating.
    coeff_ = {299.8 + rng_.Uniform() * 0.4, 3.23, -4.0e-4, 5.0e-7, -1.0e-9};
    for (int p = 0; p < kPixels; ++p) {
        ripple_[static_cast<std::size_t>(p)] = 1.0 + 0.02 * (rng_.Uniform() * 2.0 - 1.0);
        darkPattern_[static_cast<std::size_t>(p)] = 300.0 + 40.0 * rng_.Uniform();
    }
    for (int t = 0; t < kTables; ++t) {
        auto& table = tables_[static_cast<std::size_t>(t)];
        table.resize(kPixels);
        for (int p = 0; p < kPixels; ++p) table[static_cast<std::size_t>(p)] = static_cast<float>(1.0 / Responsivity(p, t));
    }
    storedCount_ = std::clamp(storedRecords, 0, kLiveSlot);
    for (int d = 0; d < storedCount_; ++d) {
        int64_t time = kFirstStoredTime + static_cast<int64_t>(d) * kStoredSpacing;
        int fov = d % 3;
        int exposure = ChooseExposure(time, fov);
        Measure(d, exposure, true, true, time, fov);
        Record& r = Slot(d);
        char memo[16];
        std::snprintf(memo, sizeof memo, "FIELD%03d", d + 1);
        r.memo = memo;
    }
    // The live slot always holds the last measurement; before the first one, a dark frame.
    Measure(kLiveSlot, 100, false, true, kFirstStoredTime, 0);
}

double CSimModel::Wavelength(int pixel) const {
    double n = pixel;
    return coeff_[0] + coeff_[1] * n + coeff_[2] * n * n + coeff_[3] * n * n * n + coeff_[4] * n * n * n * n;
}

double CSimModel::Irradiance(double nm, int64_t time) {
    double s = SunHeight(time);
    if (s <= 0.0) return 0.0;
    double airMass = 1.0 / std::max(s, 0.05);
    return kNoonLevel * s * (Planck(nm) / Planck(500.0)) * (Rayleigh(nm, airMass) / Rayleigh(500.0, 1.0)) *
           Absorption(nm);
}

double CSimModel::Responsivity(int pixel, int t) const {
    double d = (Wavelength(pixel) - 650.0) / 230.0;
    return kPeakResponse * kFovThroughput[std::clamp(t, 0, kTables - 1)] * std::exp(-0.5 * d * d) *
           ripple_[static_cast<std::size_t>(pixel)];
}

int CSimModel::ChooseExposure(int64_t time, int fov) const {
    double peak = 0.0;
    for (int p = 0; p < kPixels; ++p) peak = std::max(peak, Irradiance(Wavelength(p), time) * Responsivity(p, fov));
    for (int e : kExposures) {
        if (peak * e / 1000.0 + 400.0 < 28000.0) return e;
    }
    return 10;
}

std::array<int16_t, CSimModel::kPixels> CSimModel::Expose(int64_t time, int exposureMs, int fov, bool open,
                                                          bool subtractDark) {
    std::array<int16_t, kPixels> words{};
    for (int p = 0; p < kPixels; ++p) {
        double dark = darkPattern_[static_cast<std::size_t>(p)] + 0.02 * exposureMs;
        double signal = open ? Irradiance(Wavelength(p), time) * Responsivity(p, fov) * exposureMs / 1000.0 : 0.0;
        double raw = dark + signal + rng_.Normal() * std::sqrt(9.0 + 0.25 * signal);
        double v = subtractDark ? raw - dark : raw;
        if (raw >= kSaturated) v = kSaturated;
        v = std::clamp(std::round(v), -32768.0, static_cast<double>(kSaturated));
        words[static_cast<std::size_t>(p)] = static_cast<int16_t>(v);
    }
    return words;
}

CSimModel::Record CSimModel::MeasureAuto(int64_t time, int fov) {
    Record r;
    Fill(r, ChooseExposure(time, fov), true, true, time, fov);
    return r;
}

void CSimModel::Measure(int slot, int exposureMs, bool open, bool subtractDark, int64_t time, int fov) {
    Fill(Slot(slot), exposureMs, open, subtractDark, time, fov);
}

void CSimModel::Fill(Record& r, int exposureMs, bool open, bool subtractDark, int64_t time, int fov) {
    r.present = true;
    r.time = time;
    r.exposureMs = exposureMs;
    double s = SunHeight(time);
    r.temperature = static_cast<float>(std::round((18.0 + 9.0 * s) * 10.0) / 10.0);
    r.longitude = 139.7671f;
    r.latitude = 35.6812f;
    r.altitude = 40.0f;
    r.fovCode = fov;
    r.tableNumber = fov;
    r.words = Expose(time, exposureMs, fov, open, subtractDark);
}

CSimModel::Answer CSimModel::Handle(const std::string& command) {
    Answer a;
    const std::string err = "ERR\r";
    std::string name = command.substr(0, command.find(','));
    std::vector<long> args;
    bool hasArgs = command.find(',') != std::string::npos;
    if (hasArgs && !ParseArgs(command.substr(name.size() + 1), args)) {
        a.reply = err;
        return a;
    }
    auto slotOk = [](long r) { return r >= 0 && r < kSlots; };

    if (!hasArgs) {
        if (name == "ID") a.reply = Text(id_);
        else if (name == "SER") a.reply = Text(serial_);
        else if (name == "ST") a.reply = Text(st_);
        else if (name == "FV") a.reply = Text(fv_);
        else if (name == "FT") a.reply = Text(ft_);
        else if (name == "RI") a.reply = Text(std::to_string(storedCount_));
        else if (name == "OP") { shutterOpen_ = true; a.reply = "OK\r"; }
        else if (name == "CL") { shutterOpen_ = false; a.reply = "OK\r"; }
        else if (name.size() == 2 && name[0] == 'C' && name[1] >= '0' && name[1] <= '4')
            a.reply = Text(Format("%.9e", static_cast<float>(coeff_[static_cast<std::size_t>(name[1] - '0')])));
        else a.reply = err;
        return a;
    }
    if (name == "CALT" && args.size() == 1 && args[0] >= 0 && args[0] < kTables) {
        std::string text;
        text.reserve(kPixels * 16);
        for (float f : tables_[static_cast<std::size_t>(args[0])]) text += Format("%.8e", f) + ",";
        a.reply = Text(text);
    } else if (name == "DPM" && args.size() == 2 && slotOk(args[0]) && Slot(static_cast<int>(args[0])).present) {
        const Record& r = Slot(static_cast<int>(args[0]));
        switch (args[1]) {
        case 0: a.reply = Text(r.memo); break;
        case 1: a.reply = Text(std::to_string(r.time)); break;
        case 2: a.reply = Text(std::to_string(r.exposureMs)); break;
        case 3: a.reply = Text(Format("%.1f", r.temperature)); break;
        case 4: a.reply = Text(Format("%.4f", r.longitude)); break;
        case 5: a.reply = Text(Format("%.4f", r.latitude)); break;
        case 6: a.reply = Text(Format("%.1f", r.altitude)); break;
        case 7: a.reply = Text(std::to_string(r.fovCode)); break;
        case 8: a.reply = Text(std::to_string(r.tableNumber)); break;
        default: a.reply = err; break;
        }
    } else if (name == "RB" && args.size() == 1 && slotOk(args[0]) && Slot(static_cast<int>(args[0])).present) {
        const Record& r = Slot(static_cast<int>(args[0]));
        a.reply.reserve(515);
        for (int16_t w : r.words) {
            auto u = static_cast<uint16_t>(w);
            a.reply.push_back(static_cast<char>(u & 0xFF));
            a.reply.push_back(static_cast<char>(u >> 8));
        }
        a.reply += "OK\r";
    } else if (name == "GM" && args.size() == 3 && args[0] > 0 && args[0] <= 60000 && slotOk(args[1]) &&
               args[2] == 0) {
        Measure(static_cast<int>(args[1]), static_cast<int>(args[0]), shutterOpen_, false, platform::Now(), fovCode_);
        a.busyMs = static_cast<int>(args[0]);
        a.reply = "OK\r";
    } else if (name == "AM" && args.size() == 1 && slotOk(args[0])) {
        int64_t now = platform::Now();
        int e = ChooseExposure(now, fovCode_);
        Measure(static_cast<int>(args[0]), e, true, true, now, fovCode_);
        a.busyMs = e;
        a.reply = "OK\r";
    } else {
        a.reply = err;
    }
    return a;
}
