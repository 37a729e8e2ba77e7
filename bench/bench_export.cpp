// CSV export of 1,000 records in 1 nm steps (701 wavelength rows x 1,000 columns), against writing
// the same bytes with a plain buffered write. Target: under 1 s, and within 2x the plain write.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/config/ExportPrm.h"
#include "core/data/SpectrumDataSet.h"
#include "core/exchange/CSVExporter.h"

namespace {

constexpr int kRecords = 1000;

struct Fixture {
    std::string dir;
    CSpectrumDataSet set;
    std::vector<CSpectrumData> pristine;  // the same records, never exported: their sums are not yet known
    CExportPrm prm;
    std::string bytes;  // what the export writes, for the plain write

    // oneInstrument: every record has the same wavelength coefficients, as those of one
    // instrument do; otherwise ten sets of coefficients alternate from record to record.
    explicit Fixture(bool oneInstrument = false) {
        char tmpl[] = "/tmp/heliarc-bench-export-XXXXXX";
        const char* d = ::mkdtemp(tmpl);
        dir = d ? d : "/tmp";
        for (int k = 0; k < kRecords; ++k) {
            CSpectrumData r;
            r.SetTime(1242079200 + 300LL * k);
            r.SetTypeCode("100");
            r.SetMemo("record " + std::to_string(k));
            r.SetValid(1);
            r.SetFovCode(0);
            r.SetExposureTime(50 + k % 7);
            r.SetTemperature(15.0f + static_cast<float>(k % 20));
            r.SetCoefficient(0, oneInstrument ? 300.0f : 300.0f + 0.01f * static_cast<float>(k % 10));
            r.SetCoefficient(1, 3.1372549f);
            r.SetCoefficient(2, -1.2e-4f);
            r.SetCoefficient(3, 0.0f);
            r.SetCoefficient(4, 0.0f);
            std::vector<float> sig(256), cal(256);
            for (int i = 0; i < 256; ++i) {
                sig[static_cast<std::size_t>(i)] = 1000.0f + 37.0f * static_cast<float>((i * 13 + k) % 101);
                cal[static_cast<std::size_t>(i)] = 0.0123f + 1e-5f * static_cast<float>(i);
            }
            r.SetSignal(sig);
            r.SetCalibration(cal);
            set.Append(r, 0, 0);
            pristine.push_back(r);
        }
        prm.m_EXPORT_TYPE = 0;
        prm.m_SPECTRUM_UNIT = 0;
        prm.m_WAVELENGTH_TYPE = 1;
        prm.m_MIN_WAVELENGTH = 350.0f;
        prm.m_MAX_WAVELENGTH = 1050.0f;
        const std::string probe = dir + "/probe.csv";
        if (CCSVExporter().ExportDataSet(probe, set, nullptr, prm)) {
            std::ifstream in(probe, std::ios::binary);
            bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        std::remove(probe.c_str());
    }
    ~Fixture() { ::rmdir(dir.c_str()); }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

Fixture& OneInstrument() {
    static Fixture f(true);
    return f;
}

void ExportRepeatedly(benchmark::State& state, Fixture& f, const std::string& path) {
    for (auto _ : state) {
        bool ok = CCSVExporter().ExportDataSet(path, f.set, nullptr, f.prm);
        if (!ok) state.SkipWithError("export failed");
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
    state.counters["file_bytes"] = static_cast<double>(f.bytes.size());
    std::remove(path.c_str());
}

void BM_Export1nm1000Records(benchmark::State& state) { ExportRepeatedly(state, Data(), Data().dir + "/export.csv"); }
BENCHMARK(BM_Export1nm1000Records)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same export of records from one instrument, whose pixels all lie at the same wavelengths.
void BM_Export1nm1000RecordsOneInstrument(benchmark::State& state) {
    ExportRepeatedly(state, OneInstrument(), OneInstrument().dir + "/export-one.csv");
}
BENCHMARK(BM_Export1nm1000RecordsOneInstrument)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The first export of a set also computes each record's sums (PAR, photon, lux), which the set's
// records then keep: here every export gets records whose sums are not yet known.
void BM_Export1nm1000RecordsSumsUnknown(benchmark::State& state) {
    Fixture& f = Data();
    const std::string path = f.dir + "/export-fresh.csv";
    for (auto _ : state) {
        state.PauseTiming();
        CSpectrumDataSet fresh;
        for (const CSpectrumData& r : f.pristine) fresh.Append(r, 0, 0);  // records of their own
        state.ResumeTiming();
        bool ok = CCSVExporter().ExportDataSet(path, fresh, nullptr, f.prm);
        if (!ok) state.SkipWithError("export failed");
        benchmark::DoNotOptimize(ok);
        state.PauseTiming();
        fresh = CSpectrumDataSet();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_Export1nm1000RecordsSumsUnknown)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same bytes, already formatted, written as the export writes them: rows appended to a buffer
// flushed with write() every 64 KiB, into a temporary file renamed over the target at the end.
void BM_PlainBufferedWriteSameBytes(benchmark::State& state) {
    Fixture& f = Data();
    const std::string path = f.dir + "/plain.csv";
    std::vector<std::string> rows;
    for (std::size_t at = 0; at < f.bytes.size();) {
        std::size_t end = f.bytes.find("\r\n", at);
        end = end == std::string::npos ? f.bytes.size() : end + 2;
        rows.push_back(f.bytes.substr(at, end - at));
        at = end;
    }
    constexpr std::size_t kFlushAt = 1 << 16;
    for (auto _ : state) {
        std::string tmpl = path + ".csv-XXXXXX";
        const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("cannot create");
            break;
        }
        std::string buf;
        buf.reserve(kFlushAt + 4096);
        bool ok = true;
        auto flush = [&] {
            const char* p = buf.data();
            std::size_t left = buf.size();
            while (ok && left > 0) {
                const ssize_t n = ::write(fd, p, left);
                if (n <= 0) ok = false;
                else p += n, left -= static_cast<std::size_t>(n);
            }
            buf.clear();
        };
        for (const auto& row : rows) {
            buf += row;
            if (buf.size() >= kFlushAt) flush();
        }
        flush();
        ::close(fd);
        if (!ok || ::rename(tmpl.c_str(), path.c_str()) != 0) {
            ::unlink(tmpl.c_str());
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(f.bytes.size()));
    std::remove(path.c_str());
}
BENCHMARK(BM_PlainBufferedWriteSameBytes)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// For scale: the spectral rows alone from precomputed values, formatted with fprintf("%.6g").
void BM_FprintfSpectralRowsOnly(benchmark::State& state) {
    Fixture& f = Data();
    const std::string path = f.dir + "/fprintf.csv";
    std::vector<float> values;
    values.reserve(701u * kRecords);
    for (int k = 0; k < 701; ++k)
        for (int j = 0; j < kRecords; ++j) values.push_back(f.set.Record(j)->IrradianceAt(350.0f + k, 0));
    for (auto _ : state) {
        FILE* out = std::fopen(path.c_str(), "wb");
        if (!out) {
            state.SkipWithError("cannot create");
            break;
        }
        for (int k = 0; k < 701; ++k) {
            std::fprintf(out, "%.6g", 350.0 + k);
            for (int j = 0; j < kRecords; ++j) std::fprintf(out, ",%.6g", static_cast<double>(values[k * kRecords + j]));
            std::fputs("\r\n", out);
        }
        std::fclose(out);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_FprintfSpectralRowsOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

BENCHMARK_MAIN();
