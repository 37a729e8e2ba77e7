// The importer of the maker's *.srd/*.rad files on arbitrary bytes, into an empty and into a filled
// data folder: it may refuse a file, but every day file it leaves is whole records, and no record
// that was stored before the import is lost.
#include <cstdint>
#include <string>

#include "core/data/SpectrumDataSet.h"
#include "core/exchange/VeldDataImporter.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzzsupport::WorkDir();
    fuzzsupport::EmptyFolder("data");
    fuzzsupport::WriteFile("in.srd", data, size);

    CVeldDataImporter importer("in.srd");
    (void)importer.Import(false);  // a refused file may still have finished some days
    CSpectrumDataSet before;
    before.Search(nullptr, nullptr, nullptr);

    // Again over what is now stored: without overwrite nothing changes; with it nothing is lost.
    (void)importer.Import(false);
    CSpectrumDataSet same;
    same.Search(nullptr, nullptr, nullptr);
    FUZZ_CHECK(same.Count() == before.Count());
    (void)importer.Import(true);
    CSpectrumDataSet after;
    after.Search(nullptr, nullptr, nullptr);
    FUZZ_CHECK(after.Count() == before.Count());

    for (const std::string& name : fuzzsupport::ListFiles("data")) {
        FUZZ_CHECK(name.find(".import-") == std::string::npos);  // no temporary left behind
        FUZZ_CHECK(fuzzsupport::SizeOf("data/" + name) % 2560 == 0);
    }
    return 0;
}
