#pragma once
// What the simulated instrument knows and measures: its texts, wavelength polynomial, calibration
// tables per field of view, a clear-sky daylight spectrum whose level follows the local time of
// day (platform::Now), dark counts and noise from a seeded generator, and a memory of records.
// Answer() turns one command into its reply; it holds no I/O, so it is tested on its own.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimRandom.h"

class CSimModel {
public:
    static constexpr int kPixels = 256;
    static constexpr int kSlots = 800;
    static constexpr int kLiveSlot = 799;
    static constexpr int kSaturated = 32767;
    static constexpr int kTables = 4;

    struct Record {
        bool present = false;
        std::string memo;
        int64_t time = 0;
        int exposureMs = 0;
        float temperature = 20.0f;
        float longitude = 0.0f;
        float latitude = 0.0f;
        float altitude = 0.0f;
        int fovCode = 0;
        int tableNumber = 0;
        std::array<int16_t, kPixels> words{};
    };

    struct Answer {
        std::string reply;  // bytes to send; empty for a command that is not answered
        int busyMs = 0;     // time the instrument spends before answering (exposures)
    };

    // storedRecords (at most 799) records are put in memory, one every 20 minutes from
    // kFirstStoredTime, each with the spectrum of its own time.
    explicit CSimModel(uint64_t seed = 1, int storedRecords = 12);

    Answer Handle(const std::string& command);

    // Instrument description.
    const std::string& IdText() const { return id_; }
    const std::string& SerialText() const { return serial_; }
    const std::string& StText() const { return st_; }
    const std::string& FvText() const { return fv_; }
    const std::string& FtText() const { return ft_; }
    const std::array<double, 5>& Coefficients() const { return coeff_; }
    double Wavelength(int pixel) const;
    const std::vector<float>& CalibrationTable(int t) const { return tables_[static_cast<std::size_t>(t)]; }

    // Field of view of the live measurements (0 "180", 1 "90", 2 "45", 3 other).
    void SetFovCode(int code) { fovCode_ = code >= 0 && code < kTables ? code : 0; }
    int FovCode() const { return fovCode_; }

    // Memory; tests change records to reproduce instruments in the field.
    int StoredCount() const { return storedCount_; }
    void SetStoredCount(int n) { storedCount_ = n < 0 ? 0 : (n > kLiveSlot ? kLiveSlot : n); }
    Record& Slot(int r) { return memory_[static_cast<std::size_t>(r)]; }
    const Record& Slot(int r) const { return memory_[static_cast<std::size_t>(r)]; }

    // Irradiance at the given time and wavelength, W/m^2/um (clear sky).
    static double Irradiance(double wavelengthNm, int64_t time);
    // Counts per second per W/m^2/um of pixel p through field of view t.
    double Responsivity(int pixel, int t) const;
    // Exposure that "AM" chooses for a scene at time (one of 10 ... 5000 ms).
    int ChooseExposure(int64_t time, int fov) const;
    // Pixel words of one exposure: open (light) or closed (dark only); AM records subtract the dark.
    std::array<int16_t, kPixels> Expose(int64_t time, int exposureMs, int fov, bool open, bool subtractDark);
    // The record "AM" stores for the scene at time through field of view fov (its memory is left
    // alone): a day's or a year's worth of realistic records without a link.
    Record MeasureAuto(int64_t time, int fov);

    static constexpr int64_t kFirstStoredTime = 1781938800;  // 2026-06-20 07:00:00 UTC
    static constexpr int kStoredSpacing = 1200;

private:
    std::string Text(const std::string& s) const { return s + "\rOK\r"; }
    void Measure(int slot, int exposureMs, bool open, bool subtractDark, int64_t time, int fov);
    void Fill(Record& r, int exposureMs, bool open, bool subtractDark, int64_t time, int fov);

    CSimRandom rng_;
    std::string id_ = "ZQ118";
    std::string serial_;
    std::string st_ = "ZQ118-STD";
    std::string fv_ = "2.14";
    std::string ft_ = "SI-256";
    std::array<double, 5> coeff_{};
    std::array<std::vector<float>, kTables> tables_;
    std::array<double, kPixels> ripple_{};    // pixel-to-pixel responsivity, fixed per instrument
    std::array<double, kPixels> darkPattern_{};
    std::vector<Record> memory_;
    int storedCount_ = 0;
    int fovCode_ = 0;
    bool shutterOpen_ = true;
};
