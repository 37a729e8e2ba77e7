// The daily data file reader on arbitrary bytes: record images one by one, and the whole input as a
// day file that a search walks. A record the reader accepts must store again unchanged.
#include <cstdint>
#include <cstring>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/data/Range.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

constexpr std::size_t kSize = CSpectrumDataReader::kRecordSize;

void CheckImage(const unsigned char* image) {
    CSpectrumData record;
    (void)CSpectrumDataReader::PassesQuickFilter(image, "a");
    if (!CSpectrumDataReader::Decode(image, record)) return;
    FUZZ_CHECK(record.PixelCount() <= CSpectrumDataReader::kMaxPixels);

    // Every derived value and series must come out of any accepted record without a fault.
    (void)record.GetPar();
    (void)record.GetPhoton();
    (void)record.GetLux();
    (void)record.GetUvA();
    (void)record.GetUvB();
    (void)record.FovText();
    (void)record.FormatTime("%Y/%m/%d %H:%M:%S");
    for (int unit = 0; unit <= 4; ++unit) {
        GraphSeries series;
        record.SpectrumSeries(300.0, 1100.0, unit, series);
        (void)record.IrradianceAt(555.0f, unit);
    }
    if (record.PixelCount() > 0) (void)record.NearestIndex(record.Wavelength(record.PixelCount() / 2));

    // Stored again and read back, the record is the same image (a rewrite of a comment or a deletion
    // mark must not change anything else).
    std::vector<unsigned char> once(kSize), twice(kSize);
    FUZZ_CHECK(CSpectrumDataWriter::Encode(record, once.data()));
    CSpectrumData again;
    FUZZ_CHECK(CSpectrumDataReader::Decode(once.data(), again));
    FUZZ_CHECK(CSpectrumDataWriter::Encode(again, twice.data()));
    FUZZ_CHECK(std::memcmp(once.data(), twice.data(), kSize) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzzsupport::WorkDir();
    for (std::size_t at = 0; at + kSize <= size; at += kSize) CheckImage(data + at);

    // The same bytes as the day file 2026/12/08: the search skips what it cannot read and never
    // lists more records than the file holds whole.
    fuzzsupport::EmptyFolder("data");
    fuzzsupport::WriteFile("data/F_20261208.hlx", data, size);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    // Whatever the damage, each listed record lies whole in the file, after the one before it,
    // and is a record the reader accepts there.
    int64_t next = 0;
    for (int i = 0; i < set.Count(); ++i) {
        const int64_t at = set.At(i).FileOffset;
        FUZZ_CHECK(at >= next && at + static_cast<int64_t>(kSize) <= static_cast<int64_t>(size));
        CSpectrumData record;
        FUZZ_CHECK(CSpectrumDataReader::PassesQuickFilter(data + at, nullptr) && CSpectrumDataReader::Decode(data + at, record));
        next = at + static_cast<int64_t>(kSize);
    }
    // A file the search finds undamaged is read on the grid: exactly the records that read back and
    // are not deleted.
    if (set.DamageNotes().empty()) {
        int readable = 0;
        for (std::size_t at = 0; at + kSize <= size; at += kSize) {
            CSpectrumData record;
            if (CSpectrumDataReader::PassesQuickFilter(data + at, nullptr) && CSpectrumDataReader::Decode(data + at, record))
                ++readable;
        }
        FUZZ_CHECK(set.Count() == readable);
        for (int i = 0; i < set.Count(); ++i) FUZZ_CHECK(set.At(i).FileOffset % static_cast<int64_t>(kSize) == 0);
    }
    CSpectrumDataSet filtered;
    filtered.Search(nullptr, nullptr, "a");
    FUZZ_CHECK(filtered.Count() <= set.Count());
    return 0;
}
