// The INI store and the configuration sections on arbitrary file contents. Loading never fails
// hard; a section saved and loaded again holds the values it had; setting one key keeps every
// other key's value.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/config/3DGraphPrm.h"
#include "core/config/BaseDataPrm.h"
#include "core/config/DataGraphPrm.h"
#include "core/config/ExportPrm.h"
#include "core/config/GeneralPrm.h"
#include "core/config/MeasurementPrm.h"
#include "core/config/NumericalGraphPrm.h"
#include "core/config/SearchPrm.h"
#include "core/platform/IniFile.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

std::vector<std::string> Strings(const CParameter& section) {
    std::vector<std::string> out;
    for (const CPrmValue* v : section.Values()) out.push_back(v->GetString());
    return out;
}

// Load, save, load again: the second load sees exactly the values of the first.
template <class Section>
void RoundTrip(const char* file) {
    Section a;
    a.SetFilePath(file);
    (void)a.Load();
    const std::vector<std::string> loaded = Strings(a);
    if (!a.Save()) return;
    Section b;
    b.SetFilePath(file);
    FUZZ_CHECK(b.Load());
    FUZZ_CHECK(Strings(b) == loaded);
}

// Section and key names as a naive reader of the text would see them.
std::vector<std::pair<std::string, std::string>> NamesIn(const std::string& text) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::size_t at = 0;
    while (at < text.size() && names.size() < 64) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line[0] == '[') {
            std::size_t close = line.find(']');
            if (close != std::string::npos) section = line.substr(1, close - 1);
        } else if (std::size_t eq = line.find('='); eq != std::string::npos && eq > 0) {
            names.emplace_back(section, line.substr(0, eq));
        }
    }
    return names;
}

// The store's own comparison of section names: blanks around ignored, case-insensitive.
bool SameName(std::string name, const char* other) {
    platform::IniFile probe("unused");
    probe.Set(other, "K", "1");
    return probe.Get(name, "K", "") == "1";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    fuzzsupport::WorkDir();
    const std::string text(reinterpret_cast<const char*>(data), size);

    fuzzsupport::WriteFile("fuzz.ini", data, size);
    platform::IniFile ini("fuzz.ini");
    FUZZ_CHECK(ini.Load());
    const auto names = NamesIn(text);
    std::vector<std::string> values;
    for (const auto& [s, k] : names) values.push_back(ini.Get(s, k, "\x01"));
    for (const std::string& v : values) FUZZ_CHECK(v.size() <= platform::IniFile::kMaxValueBytes || v == "\x01");

    ini.Set("FUZZ", "KEY", "value 1");
    if (ini.Save()) {
        platform::IniFile back("fuzz.ini");
        FUZZ_CHECK(back.Load());
        FUZZ_CHECK(back.Get("FUZZ", "KEY", "") == "value 1");
        for (std::size_t i = 0; i < names.size(); ++i) {
            const auto& [s, k] = names[i];
            if (SameName(s, "FUZZ")) continue;  // the section that was written to
            FUZZ_CHECK(back.Get(s, k, "\x01") == values[i]);
        }
    }

    // One section of either file, chosen by the first byte (loading all of them each time would cost
    // most of the run in parsing the same text eight times).
    fuzzsupport::WriteFile("ZQ118_FUZZ.ini", data, size);
    switch (size > 0 ? data[0] % 8 : 0) {
    case 0: RoundTrip<CGeneralPrm>("ZQ118_FUZZ.ini"); break;
    case 1: RoundTrip<CSearchPrm>("ZQ118_FUZZ.ini"); break;
    case 2: RoundTrip<CMeasurementPrm>("ZQ118_FUZZ.ini"); break;
    case 3: RoundTrip<CExportPrm>("ZQ118_FUZZ.ini"); break;
    case 4: RoundTrip<CDataGraphPrm>("ZQ118_FUZZ.ini"); break;
    case 5: RoundTrip<CNumericalGraphPrm>("ZQ118_FUZZ.ini"); break;
    case 6: RoundTrip<C3DGraphPrm>("ZQ118_FUZZ.ini"); break;
    default: {
        RoundTrip<CBaseDataPrm>("ZQ118_FUZZ.ini");
        CBaseDataPrm history;
        history.SetFilePath("ZQ118_FUZZ.ini");
        (void)history.LoadHistory();
    }
    }
    return 0;
}
