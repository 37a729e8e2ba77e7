#include "core/exchange/CSVExporter.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/exchange/CsvText.h"
#include "core/exchange/LightQualityRows.h"
#include "core/data/Range.h"
#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

namespace {

constexpr int kTypeSpectral = 0;
constexpr int kTypeCalculation = 1;
constexpr int kTypeRatio = 2;
constexpr int kTypeDifference = 3;
constexpr int kTypeLightQuality = 4;

// A stepped column of more rows than this comes only from a damaged setting (a range of hundreds of
// kilometres, or a minimum so large that adding a step no longer changes it); it is refused rather
// than written for ever.
constexpr std::size_t kMaxWavelengthRows = 1000000;

// The export file, buffered. It is written under a temporary name beside the target and put in
// place only once every byte is written, so a full disk, a crash or a stop leaves an earlier file of
// that name as it was and never a partial export under the real name. Every failure sticks, so the
// caller checks once at the end.
class CsvFile {
public:
    CsvFile(const std::string& storedPath, const std::atomic<bool>* cancel) : cancel_(cancel) {
        const std::string target = platform::MapPath(storedPath);
        // Temporaries of exports to this folder that were killed before they could clean up.
        platform::RemoveStaleTemporaries(platform::FolderOf(target), platform::kCsvTag, [](const std::string& base) {
            return base.size() > 4 && strcasecmp(base.c_str() + base.size() - 4, ".csv") == 0;
        });
        ok_ = file_.Begin(target, platform::kCsvTag);
        buf_.reserve(kFlushAt + 4096);
    }
    CsvFile(const CsvFile&) = delete;
    CsvFile& operator=(const CsvFile&) = delete;

    bool Opened() const { return file_.Active(); }
    bool Good() const { return ok_; }
    bool Cancelled() const { return cancel_ != nullptr && cancel_->load(std::memory_order_relaxed); }
    std::string& Buffer() { return buf_; }
    const std::string& Error() const { return file_.Error(); }

    void EndRow() {
        buf_ += "\r\n";
        FlushIfFull();
    }
    void FlushIfFull() {
        if (buf_.size() >= kFlushAt) Flush();
    }

    void Flush() {
        WriteBytes(buf_.data(), buf_.size());
        buf_.clear();
    }

    // Text formatted elsewhere, after what is buffered.
    void Write(std::string_view text) {
        Flush();
        WriteBytes(text.data(), text.size());
    }

    // Flushes and puts the file in place; true when every byte reached it.
    bool Close() {
        Flush();
        if (ok_ && Cancelled()) ok_ = false;
        if (ok_) ok_ = file_.Commit();
        file_.Abandon();
        return ok_;
    }

private:
    void WriteBytes(const char* p, std::size_t n) {
        if (ok_ && Cancelled()) ok_ = false;
        if (!ok_ || n == 0) return;
        ok_ = file_.Write(p, n);
        written_ += n;
        StartWriteback();
    }

    // Each written megabyte is handed to the disk while the rest is still being formatted. Left to
    // the end, the rename over the old file did it all at once (ext4 writes out a file that replaces
    // another), a quarter of a large export's time with both cores but one idle. Only a start:
    // nothing waits for the disk here. A file system that cannot do it keeps its own timing; a write
    // error it reports fails the export.
    void StartWriteback() {
        constexpr std::size_t kWritebackAt = std::size_t{1} << 20;
        if (!ok_ || written_ - handedOver_ < kWritebackAt) return;
        if (::sync_file_range(file_.Descriptor(), static_cast<off_t>(handedOver_),
                              static_cast<off_t>(written_ - handedOver_), SYNC_FILE_RANGE_WRITE) != 0 &&
            (errno == EIO || errno == ENOSPC)) {
            file_.WriteFailed(errno);
            ok_ = false;
        }
        handedOver_ = written_;
    }

    static constexpr std::size_t kFlushAt = 1 << 16;
    platform::AtomicReplace file_;
    const std::atomic<bool>* cancel_;
    bool ok_ = false;
    std::size_t written_ = 0;     // bytes written so far
    std::size_t handedOver_ = 0;  // of those, bytes whose writeback was started
    std::string buf_;
};

void AppendText(std::string& out, std::string_view text) { csvtext::AppendField(out, text); }


// IrradianceAt of one record for many wavelengths: the per-pixel wavelengths and irradiances are
// computed once, then each lookup finds the record's nearest pixel and draws its straight line over
// those values, so the result is the same float as IrradianceAt gives.
class SpectrumLookup {
public:
    SpectrumLookup(const CSpectrumData& record, int unit) {
        record.PixelValues(unit, wl_, irr_);
        Prepare();
    }
    SpectrumLookup(std::vector<float> wavelengths, std::vector<float> irradiances)
        : wl_(std::move(wavelengths)), irr_(std::move(irradiances)) {
        Prepare();
    }

    // With finite wavelengths that each exceed the one before by at least 1 nm (every instrument),
    // the halving search always ends on the pair that brackets x and compares the same two truncated
    // distances, so walking to that pair gives its answer.
    static bool Regular(const std::vector<float>& wl) {
        bool regular = !wl.empty() && std::isfinite(wl[0]);
        for (std::size_t k = 1; regular && k < wl.size(); ++k)
            regular = std::isfinite(wl[k]) && wl[k] - wl[k - 1] >= 1.0f;
        return regular;
    }

    static int64_t Truncated(float v) {
        if (v >= -9.2e18f && v <= 9.2e18f) return static_cast<int64_t>(v);
        return v < 0 ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
    }

    float At(float x) const {
        if (n_ < 2) return 0.0f;
        const int b = Nearest(x);
        int p;
        if (b == 0) p = 1;
        else if (b == n_ - 1) p = b - 1;
        else p = W(b) >= x ? b - 1 : b + 1;
        const float xb = W(b), xp = W(p);
        const float yb = irr_[static_cast<std::size_t>(b)];
        if (xb == xp) return yb;
        return static_cast<float>(CDRangeMap(xb, xp, yb, irr_[static_cast<std::size_t>(p)]).Map(x));
    }

private:
    void Prepare() {
        n_ = static_cast<int>(wl_.size());
        regular_ = Regular(wl_);
    }

    float W(int i) const { return wl_[static_cast<std::size_t>(i)]; }

    // A regular table is walked from where the last lookup ended (the column ascends); any other
    // table takes the halving search itself.
    int Nearest(float x) const {
        if (regular_ && !std::isnan(x)) return BracketNearest(x);
        return HalvingSearch(x);
    }

    int BracketNearest(float x) const {
        int j = hint_;
        if (j > 0 && !(W(j - 1) < x)) j = static_cast<int>(std::lower_bound(wl_.begin(), wl_.end(), x) - wl_.begin());
        else
            while (j < n_ && W(j) < x) ++j;
        hint_ = j;
        if (j == 0) return 0;
        if (j == n_) return n_ - 1;
        return Truncated(x - W(j - 1)) < Truncated(W(j) - x) ? j - 1 : j;
    }

    int HalvingSearch(float x) const {
        int a = n_ / 2;
        int step = a;
        for (int round = 0; round <= n_ + 64; ++round) {
            if (step >= 2) step /= 2;
            a = std::clamp(a, 0, n_ - 1);
            const float d = W(a);
            if (d >= x) {
                if (a < 1) return 0;
                const float e = W(a - 1);
                if (x >= e) return Truncated(x - e) < Truncated(d - x) ? a - 1 : a;
                a -= step;
            } else {
                if (a + 1 >= n_) return n_ - 1;
                const float e = W(a + 1);
                if (e >= x) return Truncated(x - d) < Truncated(e - x) ? a : a + 1;
                a += step;
            }
        }
        return std::clamp(a, 0, n_ - 1);
    }

    int n_ = 0;
    bool regular_ = false;
    mutable int hint_ = 0;
    std::vector<float> wl_;
    std::vector<float> irr_;
};

// SpectrumLookup's values of many records at one column of wavelengths. The records of one
// instrument share their pixel wavelengths, and which two pixels a wavelength's line is drawn
// between, and its distances, depend on those alone: they are worked out once for each set of
// wavelengths (a few sets are kept, for records of several instruments in turn), and each record
// then costs a few operations a row (finding the pixels again for every record took half the
// lookups' time). Same floats as SpectrumLookup::At.
class ColumnLookup {
public:
    ColumnLookup(const std::vector<float>& xs, int unit) : xs_(xs), unit_(unit) {}

    void Fill(const CSpectrumData& record, float* out) {
        record.PixelValues(unit_, wl_, irr_);
        Apply(wl_, irr_, out);
    }

    // The values at the column of pixels at these wavelengths with these irradiances.
    void Apply(const std::vector<float>& wl, const std::vector<float>& irr, float* out) {
        const Plan& plan = PlanFor(wl);
        if (!plan.ok) {
            const SpectrumLookup lookup(wl, irr);
            for (std::size_t k = 0; k < xs_.size(); ++k) out[k] = lookup.At(xs_[k]);
            return;
        }
        const float* y = irr.data();
        const Step* step = plan.steps.data();
        for (std::size_t k = 0; k < xs_.size(); ++k) {
            const Step& st = step[k];
            // CDRangeMap(xb, xp, yb, yp).Map(x), its operations in its order.
            const double yb = y[st.b];
            out[k] = static_cast<float>((static_cast<double>(y[st.p]) - yb) * st.t / st.den + yb);
        }
    }

    int Unit() const { return unit_; }
    // The pixel wavelengths and irradiances of the record filled last.
    const std::vector<float>& Wavelengths() const { return wl_; }
    const std::vector<float>& Irradiances() const { return irr_; }

private:
    struct Step {
        uint32_t b, p;  // the nearest pixel and the other one of the line
        double t;       // x - wavelength of b
        double den;     // wavelength of p - wavelength of b, never 0 in a regular table
    };

    struct Plan {
        std::vector<float> wavelengths;  // the pixel wavelengths the steps were worked out for
        bool ok = false;                 // false: the plain lookup is used
        std::vector<Step> steps;
    };

    // The plan for these wavelengths: the last one used, another kept one (records of a few
    // instruments, in turn), or a new one in place of the one unused longest.
    static constexpr std::size_t kPlans = 16;
    const Plan& PlanFor(const std::vector<float>& w) {
        auto same = [&](const Plan& p) {
            return p.wavelengths.size() == w.size() &&
                   std::memcmp(p.wavelengths.data(), w.data(), w.size() * sizeof(float)) == 0;
        };
        if (!plans_.empty() && same(plans_[last_])) return plans_[last_];
        for (std::size_t i = 0; i < plans_.size(); ++i)
            if (same(plans_[i])) {
                used_[i] = ++clock_;
                return plans_[last_ = i];
            }
        if (plans_.size() < kPlans) {
            plans_.emplace_back();
            used_.push_back(0);
            last_ = plans_.size() - 1;
        } else {
            last_ = static_cast<std::size_t>(std::min_element(used_.begin(), used_.end()) - used_.begin());
        }
        Plan& plan = plans_[last_];
        used_[last_] = ++clock_;
        plan.wavelengths = w;
        plan.ok = MakePlan(plan.wavelengths, plan.steps);
        return plan;
    }

    // For a regular table of at least two pixels and a column that ascends; false otherwise.
    bool MakePlan(const std::vector<float>& planned, std::vector<Step>& steps) const {
        const int n = static_cast<int>(planned.size());
        if (n < 2 || !SpectrumLookup::Regular(planned)) return false;
        for (std::size_t k = 0; k < xs_.size(); ++k)
            if (std::isnan(xs_[k]) || (k > 0 && !(xs_[k - 1] <= xs_[k]))) return false;
        const float* w = planned.data();
        steps.resize(xs_.size());
        int j = 0;  // first pixel whose wavelength is not below x
        for (std::size_t k = 0; k < xs_.size(); ++k) {
            const float x = xs_[k];
            while (j < n && w[j] < x) ++j;
            // The pair around x (the first or last two beyond the ends), and which of them is
            // nearest, as SpectrumLookup::At chooses them.
            const int lo = std::clamp(j - 1, 0, n - 2);
            const int nearLo =
                j == 0 || (j < n && SpectrumLookup::Truncated(x - w[lo]) < SpectrumLookup::Truncated(w[lo + 1] - x));
            const int b = lo + 1 - nearLo;
            const int p = lo + nearLo;
            steps[k] = {static_cast<uint32_t>(b), static_cast<uint32_t>(p),
                         static_cast<double>(x) - static_cast<double>(w[b]),
                         static_cast<double>(w[p]) - static_cast<double>(w[b])};
        }
        return true;
    }

    const std::vector<float>& xs_;
    const int unit_;
    std::vector<float> wl_, irr_;
    std::vector<Plan> plans_;
    std::vector<uint64_t> used_;  // when each plan was last used
    uint64_t clock_ = 0;
    std::size_t last_ = 0;
};

// A record's sums (PAR, photon, lux) from the pixel values its column was just filled from, at
// the whole nanometres the record would look up itself, with the same lookups, so the floats are
// the same. A first export of records read from files computes every record's sums: working them
// out again from the pixels, apart from the columns and on one thread, took more time than all the
// columns.
class SumsLookup {
public:
    // xs: the export's column of wavelengths, filled in `unit`.
    SumsLookup(const std::vector<float>& xs, int unit) : lookup_(Wavelengths(), kUnitWm2um) {
        // A column in W/m^2/um that holds the whole nanometres in a row (1 nm steps from at most
        // 360 nm) already holds the values the sums need.
        const std::vector<float>& need = Wavelengths();
        const auto first = std::find(xs.begin(), xs.end(), need.front());
        if (unit == kUnitWm2um && static_cast<std::size_t>(xs.end() - first) >= need.size() &&
            std::equal(need.begin(), need.end(), first))
            inColumn_ = static_cast<std::size_t>(first - xs.begin());
    }

    // After column.Fill(record, values).
    void Fill(const CSpectrumData& record, const ColumnLookup& column, const float* values) {
        if (record.GetSumsValid() != 0) return;
        if (inColumn_ != kNone) {
            record.ComputeSumsFrom(values + inColumn_);
            return;
        }
        if (column.Unit() == kUnitWm2um) lookup_.Apply(column.Wavelengths(), column.Irradiances(), at_);
        else lookup_.Fill(record, at_);
        record.ComputeSumsFrom(at_);
    }

private:
    static const std::vector<float>& Wavelengths() {
        static const std::vector<float> xs = [] {
            std::vector<float> v;
            for (int k = 0; k < CSpectrumData::kLuminousRows; ++k)
                v.push_back(static_cast<float>(CSpectrumData::LuminousWavelength(k)));
            return v;
        }();
        return xs;
    }

    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t inColumn_ = kNone;  // the column's row of 360 nm, where the sums can take their values
    ColumnLookup lookup_;
    float at_[CSpectrumData::kLuminousRows];
};

const std::string& Text(int id) { return platform::LoadString(id); }

// The spectral values, a row of the columns after another, each row starting on a cache line.
class ValueTable {
public:
    static constexpr std::size_t kLine = 16;  // floats in a cache line

    ValueTable(std::size_t rows, std::size_t cols)
        : stride_((cols + kLine - 1) / kLine * kLine),
          values_(static_cast<float*>(std::aligned_alloc(64, std::max<std::size_t>(1, rows * stride_ / kLine) * 64))) {
        if (!values_) throw std::bad_alloc();
    }

    const float* Row(std::size_t k) const { return values_.get() + k * stride_; }

    // Columns j0 .. j0 + width - 1, given column after column (`rows` values each). A whole line of
    // a row is written with non-temporal stores: the table is larger than the caches, and plain
    // stores read each line in only to overwrite it, a quarter of the time spent filling.
    void Put(std::size_t j0, std::size_t width, const float* group, std::size_t rows) {
        float* const base = values_.get() + j0;
#if defined(__SSE2__)
        if (width == kLine && j0 % kLine == 0) {
            for (std::size_t k = 0; k < rows; ++k) {
                const float* c = group + k;
                float* const dst = base + k * stride_;
                for (std::size_t q = 0; q < kLine; q += 4)
                    _mm_stream_ps(dst + q, _mm_setr_ps(c[q * rows], c[(q + 1) * rows], c[(q + 2) * rows], c[(q + 3) * rows]));
            }
            return;
        }
#endif
        for (std::size_t k = 0; k < rows; ++k)
            for (std::size_t g = 0; g < width; ++g) base[k * stride_ + g] = group[g * rows + k];
    }

    // After a thread's last Put: its stores are seen by the thread that reads the rows.
    static void Publish() {
#if defined(__SSE2__)
        _mm_sfence();
#endif
    }

private:
    struct Free {
        void operator()(float* p) const { std::free(p); }
    };
    std::size_t stride_;
    std::unique_ptr<float[], Free> values_;
};

// Below this many numbers a second thread costs more than it saves.
constexpr std::size_t kParallelValues = 50000;

// work() on a second thread and on this one at once (work shares itself out), this one doing
// first() before it; only on this one when no thread can be started. What the second thread throws
// is thrown here, after both ended.
template <class Work, class First>
void OnTwoThreads(const Work& work, const First& first) {
    std::exception_ptr error;
    std::thread helper;
    try {
        helper = std::thread([&] {
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
        });
    } catch (const std::system_error&) {
    }
    try {
        first();
        work();
    } catch (...) {
        if (helper.joinable()) helper.join();
        throw;
    }
    if (helper.joinable()) helper.join();
    if (error) std::rethrow_exception(error);
}

// The spectral rows, formatted in blocks of rows that both threads take in turn, each into a buffer
// of its own; this thread writes the finished blocks in order. Taking blocks as they come, rather
// than half each, keeps both busy when one of them starts late or is slowed.
class RowBlocks {
public:
    static constexpr std::size_t kRows = 8;  // ~8 KB a row at 1,000 records: blocks of ~64 KB

    // format(k, p) writes row k from p, at most maxRow bytes, and returns its end.
    template <class Format>
    static void Write(std::size_t rows, std::size_t maxRow, CsvFile& file, const Format& format) {
        RowBlocks shared(rows);
        auto formatBlock = [&](std::size_t b) {
            Slot& slot = shared.SlotOf(b);
            // Sized once: growing a string for each row filled its bytes with zeros first.
            if (slot.text.size() < kRows * maxRow) slot.text.resize(kRows * maxRow);
            char* const start = slot.text.data();
            char* p = start;
            for (std::size_t k = b * kRows; k < std::min(rows, (b + 1) * kRows); ++k) p = format(k, p);
            slot.used = static_cast<std::size_t>(p - start);
        };
        std::thread helper;
        try {
            helper = std::thread([&] {
                std::unique_lock<std::mutex> lock(shared.mutex_);
                try {
                    for (;;) {
                        shared.changed_.wait(lock, [&] { return shared.stop_ || shared.AllTaken() || shared.CanTake(); });
                        if (shared.stop_ || shared.AllTaken()) return;
                        const std::size_t b = shared.Take();
                        lock.unlock();
                        formatBlock(b);
                        lock.lock();
                        shared.SlotOf(b).state = State::Full;
                        shared.changed_.notify_all();
                    }
                } catch (...) {
                    if (!lock.owns_lock()) lock.lock();
                    shared.error_ = std::current_exception();
                    shared.stop_ = true;
                    shared.changed_.notify_all();
                }
            });
        } catch (const std::system_error&) {
            // No second thread: this one takes every block.
        }
        auto finish = [&] {
            if (!helper.joinable()) return;
            {
                std::lock_guard<std::mutex> lock(shared.mutex_);
                shared.stop_ = true;
            }
            shared.changed_.notify_all();
            helper.join();
        };
        try {
            std::unique_lock<std::mutex> lock(shared.mutex_);
            for (std::size_t written = 0; written < shared.blocks_ && file.Good() && !shared.error_;) {
                Slot& next = shared.SlotOf(written);
                if (next.state == State::Full) {
                    lock.unlock();
                    file.Write(std::string_view(next.text.data(), next.used));
                    lock.lock();
                    next.state = State::Free;
                    ++written;
                    shared.changed_.notify_all();
                } else if (shared.CanTake()) {
                    const std::size_t b = shared.Take();
                    lock.unlock();
                    formatBlock(b);
                    lock.lock();
                    shared.SlotOf(b).state = State::Full;
                } else {
                    shared.changed_.wait(lock, [&] { return next.state == State::Full || shared.CanTake() || shared.error_; });
                }
            }
        } catch (...) {
            finish();
            throw;
        }
        finish();
        if (shared.error_) std::rethrow_exception(shared.error_);
    }

private:
    enum class State { Free, Formatting, Full };
    struct Slot {
        std::vector<char> text;
        std::size_t used = 0;  // bytes of text that hold the block
        State state = State::Free;
    };
    static constexpr std::size_t kSlots = 6;

    explicit RowBlocks(std::size_t rows) : blocks_((rows + kRows - 1) / kRows) {}
    Slot& SlotOf(std::size_t block) { return slots_[block % kSlots]; }
    // With the lock held: a block is left and its buffer has been written out.
    bool AllTaken() const { return taken_ == blocks_; }
    bool CanTake() const { return !AllTaken() && slots_[taken_ % kSlots].state == State::Free; }
    std::size_t Take() {
        slots_[taken_ % kSlots].state = State::Formatting;
        return taken_++;
    }

    const std::size_t blocks_;
    Slot slots_[kSlots];
    std::size_t taken_ = 0;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stop_ = false;
    std::exception_ptr error_;
};

struct Settings {
    int type = 0;
    bool umol = false;
    int step = 0;
    float minWavelength = 0;
    float maxWavelength = 0;
};

bool ReadSettings(const CExportPrm& prm, Settings& s) {
    s.type = prm.m_EXPORT_TYPE.Get();
    s.umol = prm.m_SPECTRUM_UNIT.Get() != 0;
    s.step = prm.m_WAVELENGTH_TYPE.Get();
    s.minWavelength = prm.m_MIN_WAVELENGTH.Get();
    s.maxWavelength = prm.m_MAX_WAVELENGTH.Get();
    if (s.type < kTypeSpectral || s.type > kTypeLightQuality) return false;
    // The interval matters only where a wavelength column is written.
    return s.type == kTypeCalculation || s.type == kTypeLightQuality || (s.step >= 0 && s.step <= 2);
}

// Rows 15 ...: the first record's own pixel wavelengths, or steps from the minimum up to and
// including the first step at or beyond the maximum.
bool WavelengthColumn(const Settings& s, const CSpectrumData& first, std::vector<float>& out) {
    out.clear();
    if (s.step == 0) {
        const int n = first.PixelCount();
        out.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) out.push_back(first.Wavelength(i));
        return true;
    }
    if (!std::isfinite(s.minWavelength) || !std::isfinite(s.maxWavelength)) return false;
    const int stride = s.step == 1 ? 1 : 5;
    for (std::size_t i = 0;; ++i) {
        if (i >= kMaxWavelengthRows) return false;
        const float lambda = s.minWavelength + static_cast<float>(static_cast<long long>(i) * stride);
        out.push_back(lambda);
        if (lambda >= s.maxWavelength) return true;
    }
}

bool WriteCsv(const std::string& fileName, const std::vector<const CSpectrumData*>& records, const CSpectrumData* standard,
              const Settings& s, const std::atomic<bool>* cancel, std::string& error) {
    const bool spectral = s.type != kTypeCalculation && s.type != kTypeLightQuality;
    std::vector<float> wavelengths;
    if (spectral && !WavelengthColumn(s, *records.front(), wavelengths)) {
        error = Text(ids::kExportSettingsInvalid);
        return false;
    }

    CsvFile file(fileName, cancel);
    auto finish = [&] {
        const bool ok = file.Close();
        error = file.Error();
        return ok;
    };
    if (!file.Opened()) return finish();
    std::string& out = file.Buffer();

    auto textRow = [&](int labelId, auto value) {
        AppendText(out, Text(labelId));
        for (const CSpectrumData* r : records) {
            out += ',';
            AppendText(out, value(*r));
        }
        file.EndRow();
    };
    // A row of the same text under every record, quoted once.
    auto sameRow = [&](int labelId, const std::string& text) {
        AppendText(out, Text(labelId));
        std::string field = ",";
        AppendText(field, text);
        for (std::size_t j = 0; j < records.size(); ++j) out += field;
        file.EndRow();
    };
    auto numberRow = [&](int labelId, auto value) {
        AppendText(out, Text(labelId));
        for (const CSpectrumData* r : records) {
            out += ',';
            // The values are floats, so "%g" of them is exactly what WriteG6 writes.
            const float v = value(*r);
            char buf[csvtext::kMaxG6];
            out.append(buf, static_cast<std::size_t>(csvtext::WriteG6(buf, v) - buf));
        }
        file.EndRow();
    };

    // Rows 1 ..: what each record is, and above its spectrum what the numbers are. The rows up to
    // the temperature first, the sums from the next on: a spectral export computes the sums still
    // unknown while it fills the columns. Only spectra and calculation data have the location,
    // temperature and sums rows.
    const bool calculationRows = s.type == kTypeSpectral || s.type == kTypeCalculation;
    auto writeTop = [&] {
        textRow(ids::kCsvDate, [](const CSpectrumData& r) { return r.FormatTime("%Y/%m/%d"); });
        textRow(ids::kCsvTime, [](const CSpectrumData& r) { return r.FormatTime("%H:%M:%S"); });
        textRow(ids::kCsvExposedTime, [](const CSpectrumData& r) { return std::to_string(r.GetExposureTime()); });
        textRow(ids::kCsvMemo, [](const CSpectrumData& r) { return platform::ToDisplayText(r.GetMemo()); });
        textRow(ids::kCsvFov, [](const CSpectrumData& r) { return r.FovText(); });
        if (calculationRows) {
            numberRow(ids::kCsvLongitude, [](const CSpectrumData& r) { return r.GetLongitude(); });
            numberRow(ids::kCsvLatitude, [](const CSpectrumData& r) { return r.GetLatitude(); });
            numberRow(ids::kCsvAltitude, [](const CSpectrumData& r) { return r.GetAltitude(); });
            numberRow(ids::kCsvTemperature, [](const CSpectrumData& r) { return r.GetTemperature(); });
        }
    };
    auto writeRest = [&] {
        if (calculationRows) {
            numberRow(ids::kCsvPar, [](const CSpectrumData& r) { return r.GetPar(); });
            numberRow(ids::kCsvPhoton, [](const CSpectrumData& r) { return r.GetPhoton(); });
            numberRow(ids::kLabelLuxLx, [](const CSpectrumData& r) { return r.GetLux(); });
        }
        if (!spectral) return;
        const int stepLabel = s.step == 0 ? ids::kWavelengthOriginal : s.step == 1 ? ids::kCsv1nmStep : ids::kCsv5nmStep;
        sameRow(ids::kCsvWavelengthInterval, Text(stepLabel));
        std::string column;
        if (s.type == kTypeRatio) {
            column = Text(ids::kRatioPercent);
        } else {
            column = Text(s.type == kTypeSpectral ? ids::kIrradiance : ids::kCsvDifference);
            column += Text(s.umol ? ids::kUnitUmolM2SUm : ids::kUnitWm2Um);
        }
        sameRow(ids::kWavelengthNm, column);
    };
    if (!spectral) {
        writeTop();
        writeRest();
        if (s.type == kTypeLightQuality) {
            CLightQualityRows::Write(records, [&](const std::string& row) {
                out += row;
                file.EndRow();
            });
        }
        return finish();
    }

    const int unit = s.umol ? kUnitUmolM2sUm : kUnitWm2um;
    const std::size_t rows = wavelengths.size();
    const std::size_t cols = records.size();
    // The standard's value at a wavelength is the same for every record: look it up once per row.
    std::vector<float> base;
    if (s.type != kTypeSpectral) {
        base.resize(rows);
        const SpectrumLookup lookup(*standard, unit);
        for (std::size_t k = 0; k < rows; ++k) base[k] = lookup.At(wavelengths[k]);
    }
    // Column by column, each record's lookups stay together; rows are written afterwards.
    ValueTable values(rows, cols);
    // A group of columns is worked out first and then laid into the rows a cache line at a time:
    // one value per row and column, written straight across rows, missed the cache at every store.
    constexpr std::size_t kGroup = ValueTable::kLine;
    // Each thread keeps one lookup for all the groups it takes, so a set of wavelengths is planned
    // once per thread rather than once per group.
    struct Filler {
        std::vector<float> group;
        ColumnLookup lookup;
        SumsLookup sums;
    };
    auto newFiller = [&] {
        return Filler{std::vector<float>(kGroup * rows), ColumnLookup(wavelengths, unit), SumsLookup(wavelengths, unit)};
    };
    auto fillColumns = [&](Filler& filler, std::size_t from, std::size_t to) {
        std::vector<float>& group = filler.group;
        ColumnLookup& lookup = filler.lookup;
        for (std::size_t j0 = from; j0 < to; j0 += kGroup) {
            const std::size_t width = std::min(kGroup, to - j0);
            for (std::size_t g = 0; g < width; ++g) {
                float* column = &group[g * rows];
                lookup.Fill(*records[j0 + g], column);
                // Each record is in one group, so only this thread touches its sums.
                if (calculationRows) filler.sums.Fill(*records[j0 + g], lookup, column);
                if (s.type == kTypeRatio) {
                    for (std::size_t k = 0; k < rows; ++k) {
                        const float v = column[k] / base[k] * 100.0f;
                        column[k] = std::isfinite(v) ? v : 0.0f;
                    }
                } else if (s.type == kTypeDifference) {
                    for (std::size_t k = 0; k < rows; ++k) column[k] -= base[k];
                }
            }
            values.Put(j0, width, group.data(), rows);
        }
    };
    // A row's largest size: rows are formatted straight into buffers of that much room.
    const std::size_t maxRow = (cols + 1) * (csvtext::kMaxG6 + 1) + 2;
    auto formatRow = [&](std::size_t k, char* p) {
        p = csvtext::WriteG6Row(p, wavelengths[k], values.Row(k), cols);
        *p++ = '\r';
        *p++ = '\n';
        return p;
    };
    // Large exports use both of a machine's cores; the bytes are the same either way.
    if (rows * cols >= kParallelValues) {
        // Column groups taken in turn, for the same reason as the row blocks.
        std::atomic<std::size_t> nextGroup{0};
        // This thread writes the first rows (the dates take a while) and then joins in; the sums'
        // rows follow once every column is filled.
        OnTwoThreads(
            [&] {
                Filler filler = newFiller();
                for (std::size_t g; !file.Cancelled() && (g = nextGroup.fetch_add(1)) * kGroup < cols;)
                    fillColumns(filler, g * kGroup, std::min(cols, (g + 1) * kGroup));
                ValueTable::Publish();
            },
            writeTop);
        if (file.Cancelled()) return finish();  // the table is not complete
        writeRest();
        RowBlocks::Write(rows, maxRow, file, formatRow);
    } else {
        Filler filler = newFiller();
        fillColumns(filler, 0, cols);
        ValueTable::Publish();
        writeTop();
        writeRest();
        std::vector<char> row(maxRow);
        for (std::size_t k = 0; k < rows; ++k) {
            out.append(row.data(), static_cast<std::size_t>(formatRow(k, row.data()) - row.data()));
            file.FlushIfFull();
        }
    }
    return finish();
}

}  // namespace

bool CCSVExporter::ExportDataSet(const std::string& fileName, const CSpectrumDataSet& set,
                                 const CSpectrumData* standard, const CExportPrm& settings) {
    error_.clear();
    Settings s;
    if (!ReadSettings(settings, s)) {
        error_ = Text(ids::kExportSettingsInvalid);
        return false;
    }
    // Ratio and difference against nothing would be a file of meaningless numbers.
    if ((s.type == kTypeRatio || s.type == kTypeDifference) && standard == nullptr) {
        error_ = Text(ids::kExportNeedsStandard);
        return false;
    }
    if (set.Count() == 0) {
        error_ = Text(ids::kExportNoRecords);
        return false;
    }
    // The set's records themselves, shared: a record the set holds keeps the sums computed here.
    std::vector<std::shared_ptr<const CSpectrumData>> held;
    std::vector<const CSpectrumData*> records;
    held.reserve(static_cast<std::size_t>(set.Count()));
    records.reserve(static_cast<std::size_t>(set.Count()));
    for (int i = 0; i < set.Count(); ++i) {
        held.push_back(set.Record(i, &error_));
        if (!held.back()) return false;
        records.push_back(held.back().get());
    }
    return WriteCsv(fileName, records, standard, s, cancel_, error_);
}

bool CCSVExporter::ExportRecord(const std::string& fileName, const CSpectrumData& record,
                                const CSpectrumData* standard, const CExportPrm& settings) {
    error_.clear();
    Settings s;
    if (!ReadSettings(settings, s)) {
        error_ = Text(ids::kExportSettingsInvalid);
        return false;
    }
    // The run's log is still wanted without a standard record: it then holds the measured spectrum.
    if ((s.type == kTypeRatio || s.type == kTypeDifference) && standard == nullptr) s.type = kTypeSpectral;
    const std::vector<const CSpectrumData*> records{&record};
    return WriteCsv(fileName, records, standard, s, cancel_, error_);
}
