#include "core/instrument/Measurement.h"

#include <algorithm>
#include <cstdio>
#include <exception>

#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/exchange/CSVExporter.h"
#include "core/platform/File.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace {

constexpr int kPixels = CInstrumentProtocol::kPixels;
constexpr int kLive = CInstrumentProtocol::kLiveSlot;
constexpr int kTimeout = CInstrumentProtocol::kTimeoutMs;
constexpr int kFixedExposures[] = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000};

// Overlap: longest exposure first; the shortest is repeated to tame its noise.
constexpr int kOverlapExposures[4] = {5000, 500, 50, 10};
constexpr int kOverlapRepeats[4] = {1, 1, 1, 10};
constexpr double kBlendFrom = 28000.0;
constexpr double kBlendWidth = 4767.0;  // 28000 + 4767 = 32767

// Hears the worker-side operations that tests drive without a run.
class SilentListener final : public CRunListener {
public:
    void OnExposure(int, bool) override {}
    void OnWaiting(platform::CalTime) override {}
    void OnMeasuring() override {}
    void OnStored(const CSpectrumData&, const StoredPlace&, bool) override {}
    void OnFinished() override {}
    void OnError(const std::string&) override {}
    void OnTransferProgress(int, int) override {}
    void OnTransferSkipped(int, platform::CalTime, const std::string&) override {}
    void OnMonitorMeasured(const CSpectrumData&) override {}
    void OnMonitorFinished() override {}
};

CRunListener& Silent() {
    static SilentListener silent;
    return silent;
}

}  // namespace

CMeasurement::CMeasurement() : protocol_(link_), listener_(&Silent()) {}

CMeasurement::~CMeasurement() { Stop(); }

int CMeasurement::FixedExposureMs(int index) {
    if (index < 1 || index > 9) return 0;
    return kFixedExposures[index - 1];
}

int CMeasurement::EffectiveExposureIndex(int index) {
    // Anything past the table would index outside it; measure as the instrument sees fit.
    return index >= 0 && index < kExposureCount ? index : 0;
}

std::string CMeasurement::GetErrorText() const {
    std::lock_guard<std::mutex> lock(errorMutex_);
    return errorText_;
}

void CMeasurement::SetError(const std::string& text) {
    std::lock_guard<std::mutex> lock(errorMutex_);
    errorText_ = text;
}

void CMeasurement::TakeProtocolError() { SetError(protocol_.GetErrorText()); }

bool CMeasurement::Fail(const std::string& text) {
    SetError(text);
    Stop();
    return false;
}

void CMeasurement::ReportError() { listener_->OnError(GetErrorText()); }

void CMeasurement::PlaySound() {
    if (settings_.m_MEASUREMENT_SOUND.Get() == 0 && sound_) sound_();
}

bool CMeasurement::OpenLink() {
    if (transportFactory_) {
        std::unique_ptr<CTransport> transport = transportFactory_();
        if (!transport || !transport->IsOpen()) return false;
        link_.Attach(std::move(transport));
        return true;
    }
    return link_.OpenPort(settings_);
}

bool CMeasurement::Start(const CMeasurementPrm& settings, CRunListener& listener) {
    Stop();
    settings_ = settings;
    const int type = settings_.m_MEASUREMENT_TYPE.Get();
    // The grid of start times is built by dividing by the span: a run without one cannot start.
    // A window too short for any grid point (or ending before it starts) would wait forever.
    platform::CalTime next = 0;
    int64_t waitMs = 0;
    if (type == kInterval &&
        !ComputeNextIntervalStart(settings_, platform::NowMilliseconds(), next, waitMs)) {
        SetError(platform::LoadString(ids::kInvalidIntervalSpan));
        return false;
    }

    // Copies for the run-time log, so the worker never reads sections the user-interface thread
    // may be loading at the same time.
    export_.Load();
    general_.Load();
    {
        CBaseDataSet standard;
        standard.SetJisEnabled(0);  // the log compares with registered history records only
        const CSpectrumData* current = standard.Current();
        if (current != nullptr) standard_ = *current;
        else standard_.reset();
    }

    if (!OpenLink()) {
        // A busy port says what holds it (a program, or a mark left by a killed run).
        const std::string why = transportFactory_ ? std::string() : link_.OpenFailure();
        return Fail(platform::LoadString(ids::kCannotOpenPort) + (why.empty() ? "" : "\r\n" + why));
    }
    try {
        stopEvent_ = std::make_unique<platform::Event>(false, false);
    } catch (const std::exception&) {
        return Fail(platform::LoadString(ids::kInternalSystemFailure));
    }
    record_.SetMemo(settings_.m_Memo.Get());

    void (CMeasurement::*procedure)() = nullptr;
    switch (type) {
        case kManual: procedure = &CMeasurement::RunManual; break;
        case kInterval: procedure = &CMeasurement::RunInterval; break;
        case kTransfer: procedure = &CMeasurement::RunTransfer; break;
        case kMonitor: procedure = &CMeasurement::RunMonitor; break;
        default: return Fail(platform::LoadString(ids::kInternalSystemFailure));
    }
    listener_ = &listener;
    try {
        worker_ = std::thread([this, procedure] {
            // Nothing may escape the worker: a failure becomes the run's error message.
            try {
                (this->*procedure)();
            } catch (const std::exception&) {
                SetError(platform::LoadString(ids::kInternalSystemFailure));
                ReportError();
            }
        });
    } catch (const std::exception&) {
        return Fail(platform::LoadString(ids::kInternalSystemFailure));
    }
    return true;
}

void CMeasurement::Stop() {
    if (stopEvent_) stopEvent_->Set();
    // A listener that calls Stop from the worker itself (instead of on its own thread) only gets
    // the run to end; the worker cannot wait for itself.
    if (worker_.joinable() && worker_.get_id() == std::this_thread::get_id()) return;
    if (worker_.joinable()) worker_.join();
    ReleaseRun();
}

void CMeasurement::ReleaseRun() {
    stopEvent_.reset();
    link_.ClosePort();
    listener_ = &Silent();
}

bool CMeasurement::EnsureInstrumentInfo() {
    if (record_.GetValid() != 0) return true;
    if (protocol_.ReadInstrumentInfo(record_)) return true;
    TakeProtocolError();
    return false;
}

bool CMeasurement::MeasureOnce() {
    if (!protocol_.Command("ID\r", kTimeout)) {
        TakeProtocolError();
        return false;
    }
    // Stamped before any exposure; the cached values must be those of this measurement.
    record_.SetTime(platform::Now());
    record_.SetSumsValid(0);
    record_.SetUvValid(0);

    const int index = EffectiveExposureIndex(settings_.m_EXPOSED_TIME.Get());
    bool ok;
    if (index == 0) {
        ok = protocol_.Command(CInstrumentProtocol::AutoMeasureCommand(kLive), CInstrumentProtocol::kAutoTimeoutMs) &&
             protocol_.ReadStoredRecord(record_, kLive, false);
        if (!ok) TakeProtocolError();
        else KeepRunMemo();
        return ok;
    }
    if (!protocol_.ReadRecordHeader(record_, kLive, false)) {
        TakeProtocolError();
        return false;
    }
    KeepRunMemo();
    return index == kOverlapIndex ? MeasureOverlap() : MeasureFixed(FixedExposureMs(index));
}

void CMeasurement::KeepRunMemo() {
    // The header's memo item would replace the comment the user gave this run; without one the
    // instrument's memo stays, as it always has.
    const std::string memo = settings_.m_Memo.Get();
    if (!memo.empty()) record_.SetMemo(memo);
}

bool CMeasurement::Expose(int exposureMs, bool dark, std::array<int16_t, kPixels>& words) {
    listener_->OnExposure(exposureMs, dark);
    if (!protocol_.Command(CInstrumentProtocol::MeasureCommand(exposureMs, kLive),
                           exposureMs + CInstrumentProtocol::kMeasureMarginMs) ||
        !protocol_.ReadPixelWords(kLive, words)) {
        TakeProtocolError();
        return false;
    }
    return true;
}

bool CMeasurement::MeasureFixed(int exposureMs) {
    if (exposureMs <= 0) {
        SetError(platform::LoadString(ids::kInternalSystemFailure));
        return false;
    }
    std::array<int16_t, kPixels> light{}, dark{};
    if (!protocol_.Command("OP\r", kTimeout)) {
        TakeProtocolError();
        return false;
    }
    if (!Expose(exposureMs, false, light)) return false;
    if (!protocol_.Command("CL\r", kTimeout)) {
        TakeProtocolError();
        return false;
    }
    if (!Expose(exposureMs, true, dark)) return false;

    std::vector<float> signal(kPixels);
    for (std::size_t p = 0; p < signal.size(); ++p) {
        signal[p] = static_cast<float>(light[p] - dark[p]) * 1000.0f / static_cast<float>(exposureMs);
    }
    record_.SetExposureTime(exposureMs);
    record_.SetSignal(signal);
    return true;
}

bool CMeasurement::MeasureOverlap() {
    // mean[phase][k][p]: phase 0 light, 1 dark.
    std::vector<double> mean(2 * 4 * kPixels, 0.0);
    auto at = [&mean](int phase, int k, int p) -> double& {
        return mean[static_cast<std::size_t>((phase * 4 + k) * kPixels + p)];
    };
    for (int phase = 0; phase < 2; ++phase) {
        if (!protocol_.Command(phase == 0 ? "OP\r" : "CL\r", kTimeout)) {
            TakeProtocolError();
            return false;
        }
        for (int k = 0; k < 4; ++k) {
            std::array<int16_t, kPixels> words{};
            for (int n = 0; n < kOverlapRepeats[k]; ++n) {
                if (!Expose(kOverlapExposures[k], phase == 1, words)) return false;
                for (int p = 0; p < kPixels; ++p) at(phase, k, p) += words[static_cast<std::size_t>(p)];
            }
            for (int p = 0; p < kPixels; ++p) at(phase, k, p) /= kOverlapRepeats[k];
        }
    }

    std::vector<float> signal(kPixels, 0.0f);
    for (int p = 0; p < kPixels; ++p) {
        int k = 0;
        while (k < 4 && !(at(0, k, p) < CInstrumentProtocol::kSaturated)) ++k;
        if (k == 4) continue;  // saturated at every exposure
        const double light = at(0, k, p);
        const double s = (light - at(1, k, p)) * 1000.0 / kOverlapExposures[k];
        double value = s;
        if (k < 3 && light > kBlendFrom) {
            const double w = (light - kBlendFrom) / kBlendWidth;
            const double shorter = (at(0, k + 1, p) - at(1, k + 1, p)) * 1000.0 / kOverlapExposures[k + 1];
            value = (1.0 - w) * s + w * shorter;
        }
        signal[static_cast<std::size_t>(p)] = static_cast<float>(value);
    }
    record_.SetExposureTime(0);
    record_.SetSignal(signal);
    return true;
}

bool CMeasurement::ComputeNextIntervalStart(const CMeasurementPrm& settings, int64_t nowMs, platform::CalTime after,
                                            platform::CalTime& next, int64_t& waitMs) {
    const int64_t span = settings.m_INTERVAL_MEASUREMENT_SPAN.Get();
    if (span <= 0) return false;
    const platform::CalTime now = nowMs >= 0 ? nowMs / 1000 : -((-nowMs + 999) / 1000);

    platform::LocalFields today, startFields, endFields;
    if (!platform::SplitLocal(now, today) ||
        !platform::SplitLocal(settings.m_INTERVAL_MEASUREMENT_START_TIME.Get(), startFields) ||
        !platform::SplitLocal(settings.m_INTERVAL_MEASUREMENT_END_TIME.Get(), endFields))
        return false;
    // Only the time of day of the settings counts. Today's window first, then the following days'
    // (placed by the calendar, so the window keeps its wall-clock times across daylight saving).
    // Two days on are enough: a window that holds a grid point at all holds one on nearly every day.
    for (int d = 0; d < 3; ++d) {
        platform::CalTime midnight, start, end;
        if (!platform::JoinLocal(today.year, today.month, today.day + d, 0, 0, 0, midnight) ||
            !platform::JoinLocal(today.year, today.month, today.day + d, startFields.hour, startFields.minute,
                                 startFields.second, start) ||
            !platform::JoinLocal(today.year, today.month, today.day + d, endFields.hour, endFields.minute,
                                 endFields.second, end))
            return false;
        platform::CalTime from = start;  // the first second a start may fall on
        if (d == 0) {
            if (now > end) continue;
            // A grid point the clock has reached is done, except the window's start itself, which
            // a run begun on it must not skip.
            if (now > start) from = now + 1;
        }
        // The point measured last is done even while the clock still reads its second.
        if (after != kNoStart && from <= after) from = after + 1;
        int64_t r = (from - midnight) % span;
        if (r < 0) r += span;
        const platform::CalTime point = r != 0 ? from - r + span : from;  // grid counted from midnight
        if (point > end) continue;  // nothing is measured after the window's end
        next = point;
        waitMs = next * 1000 - nowMs + kStartSlackMs;
        return true;
    }
    return false;
}

std::string CMeasurement::NextStartText(platform::CalTime next, platform::CalTime now) {
    platform::LocalFields a, b;
    const bool today = platform::SplitLocal(next, a) && platform::SplitLocal(now, b) && a.year == b.year &&
                       a.month == b.month && a.day == b.day;
    return platform::FormatLocal(next, today ? "%H:%M:%S " : "%Y/%m/%d %H:%M:%S ");
}

bool CMeasurement::NextIntervalStart(platform::CalTime after, platform::CalTime& next, int64_t& waitMs) const {
    return ComputeNextIntervalStart(settings_, platform::NowMilliseconds(), after, next, waitMs);
}

std::string CMeasurement::RunTimeLogPath(const std::string& folder, platform::CalTime t) {
    std::string path = folder;
    // "C:\" already ends in its separator; a second one would name the root of the drive mapping.
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
    return path + "RunTime_" + platform::FormatLocal(t, "%Y%m%d_%H%M%S.csv");
}

bool CMeasurement::WriteRunTimeLog() {
    const std::string path = RunTimeLogPath(general_.m_DATA_STORED_FOLDER.Get(), record_.GetTime());
    CCSVExporter exporter;
    return exporter.ExportRecord(path, record_, standard_ ? &*standard_ : nullptr, export_);
}

bool CMeasurement::StoreRecord(StoredPlace* place) {
    // The writer takes the data folder's write lock and leaves no part of a record it could not
    // write; a clean-up out here, without the lock, could cut off another writer's record.
    // The GENERAL section as loaded when the run started: the worker never reads the settings file.
    CSpectrumDataWriter writer(general_);
    if (writer.AppendRecord(record_) != 1) return false;
    if (place != nullptr) {
        place->offset = writer.LastAppendOffset();
        // The writer found the day file by this date, so the calendar places it.
        platform::LocalMidnight(record_.GetTime(), place->fileDate);
    }
    return true;
}

void CMeasurement::RunManual() {
    if (!EnsureInstrumentInfo() || !MeasureOnce()) {
        ReportError();
        return;
    }
    PlaySound();
    StoredPlace place;
    if (!StoreRecord(&place)) {
        SetError(platform::LoadString(ids::kCannotSaveData));
        ReportError();
        return;
    }
    listener_->OnStored(record_, place, true);
}

void CMeasurement::RunInterval() {
    if (!EnsureInstrumentInfo()) {
        ReportError();
        return;
    }
    const int64_t span = settings_.m_INTERVAL_MEASUREMENT_SPAN.Get();
    platform::CalTime last = kNoStart;  // time of the last record of this run
    for (;;) {
        platform::CalTime next = 0;
        int64_t waitMs = 0;
        if (!NextIntervalStart(last, next, waitMs)) {  // checked at Start: the calendar failed
            SetError(platform::LoadString(ids::kInternalSystemFailure));
            ReportError();
            break;
        }
        listener_->OnWaiting(next);
        // A start already due (now lies within its 10 ms) is taken at once. A wait that ends
        // while the wall clock still reads before the start (the clock was set back, or runs
        // behind the timer) waits for the rest, so the record never carries an earlier second.
        bool stopped = false;
        for (;;) {
            if (stopEvent_->Wait(std::max<int64_t>(waitMs, 0))) {
                stopped = true;
                break;
            }
            waitMs = next * 1000 + kStartSlackMs - platform::NowMilliseconds();
            if (waitMs <= kStartSlackMs) break;
        }
        if (stopped) break;
        // Woken a whole span late (the clock jumped ahead, the machine slept): that start is
        // gone, and the next one may lie past the window's end or on another day.
        if (platform::Now() >= next + span) continue;

        listener_->OnMeasuring();
        if (!MeasureOnce()) {
            ReportError();
            break;
        }
        last = std::max(next, record_.GetTime());
        PlaySound();
        StoredPlace place;
        if (!StoreRecord(&place)) {
            SetError(platform::LoadString(ids::kCannotSaveData));
            ReportError();
            return;
        }
        WriteRunTimeLog();  // a missing log costs the user nothing that the data file lacks
        listener_->OnStored(record_, place, false);
    }
    listener_->OnFinished();
}

void CMeasurement::RunTransfer() {
    if (!EnsureInstrumentInfo()) {
        ReportError();
        return;
    }
    int count = 0;
    if (!protocol_.ReadRecordCount(count)) {
        TakeProtocolError();
        ReportError();
        count = 0;  // nothing to copy; the transfer still finishes
    }
    // Slots 0..798 hold stored records (799 is the live slot): a larger count is a garbled reply,
    // and believing it would keep the transfer asking for records that do not exist.
    count = std::clamp(count, 0, kLive);

    bool haveDay = false;
    platform::LocalFields day;
    // The day's stored records as the wall-clock seconds the file keeps, each able to stand for one
    // instrument record: the repeated hour of a daylight-saving change holds two records of one
    // wall-clock second, and both must be found again.
    std::vector<int64_t> dayClocks;
    std::vector<std::string> skipped;  // the records not copied, and why
    auto skip = [&](int number, const std::string& why) {
        char line[1024];
        std::snprintf(line, sizeof line, platform::LoadString(ids::kTransferRecordSkipped).c_str(), number, why.c_str());
        skipped.push_back(line);
        listener_->OnTransferSkipped(number, record_.GetTime(), line);
    };
    for (int d = 0; d < count; ++d) {
        if (stopEvent_->IsSet()) break;  // Stop ends a transfer between records
        listener_->OnTransferProgress(d + 1, count);
        protocol_.SetErrorText(std::string());
        if (!protocol_.ReadStoredRecord(record_, d, true)) {
            // One record the instrument describes wrongly (an exposure of 0, no such table) costs
            // that record only; a link that fails ends the transfer.
            if (protocol_.LastFailureWasFormat()) {
                skip(d + 1, protocol_.GetErrorText());
                continue;
            }
            TakeProtocolError();
            ReportError();
            skipped.clear();
            break;
        }
        // A time the calendar cannot place has no day file: that record stays in the instrument.
        platform::LocalFields f;
        if (!platform::SplitLocal(record_.GetTime(), f)) {
            char why[512];
            std::snprintf(why, sizeof why, platform::LoadString(ids::kReasonTimeOutsideCalendar).c_str(),
                          static_cast<long long>(record_.GetTime()));
            skip(d + 1, why);
            continue;
        }
        if (!haveDay || f.year != day.year || f.month != day.month || f.day != day.day) {
            std::vector<CSpectrumData> dayList;
            CSpectrumDataReader reader(general_);
            reader.ReadDay(f.year, f.month, f.day, dayList);
            dayClocks.clear();
            for (const CSpectrumData& r : dayList)
                if (r.GetValid() != 0) dayClocks.push_back(CSpectrumDataWriter::StoredClock(r.GetTime()));
            day = f;
            haveDay = true;
        }
        const auto stored =
            std::find(dayClocks.begin(), dayClocks.end(), CSpectrumDataWriter::StoredClock(record_.GetTime()));
        if (stored != dayClocks.end()) {
            *stored = -1;  // found once: a second record of that second is another measurement
            continue;
        }
        StoredPlace place;
        if (!StoreRecord(&place)) {
            SetError(platform::LoadString(ids::kCannotSaveData));
            ReportError();
            skipped.clear();
            break;
        }
        listener_->OnStored(record_, place, false);
    }
    if (!skipped.empty()) {
        std::string text;
        for (const std::string& line : skipped) text += (text.empty() ? "" : "\r\n") + line;
        SetError(text);
        ReportError();
    }
    PlaySound();
    listener_->OnFinished();
}

void CMeasurement::RunMonitor() {
    if (!EnsureInstrumentInfo()) {
        ReportError();
        return;
    }
    // One spectrum after another, stored nowhere (no day file, no run-time log) and silent. Stop is
    // seen between measurements, so the run always ends with the instrument idle.
    while (!stopEvent_->IsSet()) {
        if (!MeasureOnce()) {
            ReportError();
            return;
        }
        listener_->OnMonitorMeasured(record_);
    }
    listener_->OnMonitorFinished();
}
