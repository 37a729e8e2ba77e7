// The CSV field writers on arbitrary bytes: a written field reads back as the text it was given,
// and a number is written exactly as printf("%.6g") writes it.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "core/exchange/CsvText.h"
#include "tests/fuzz/FuzzSupport.h"

namespace {

// The field as a CSV reader takes it back: quoted fields lose their quotes and undouble "".
std::string ReadBack(const std::string& field) {
    if (field.empty() || field[0] != '"') return field;
    FUZZ_CHECK(field.size() >= 2 && field.back() == '"');
    std::string out;
    for (std::size_t i = 1; i + 1 < field.size(); ++i) {
        if (field[i] == '"') {
            FUZZ_CHECK(i + 2 < field.size() && field[i + 1] == '"');  // a lone quote would end the field
            ++i;
        }
        out += field[i];
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string field = "x";  // appending keeps what was there
    csvtext::AppendField(field, text);
    FUZZ_CHECK(field[0] == 'x');
    field.erase(0, 1);
    const bool special = text.find_first_of(",\"\r\n") != std::string_view::npos;
    if (special) FUZZ_CHECK(ReadBack(field) == text);
    else FUZZ_CHECK(field == text);

    std::string row = "0";  // appending keeps what was there
    std::string rowExpected = "0";
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        float value;
        std::memcpy(&value, data + at, sizeof value);
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.6g", static_cast<double>(value));
        std::string got;
        csvtext::AppendG6(got, value);
        FUZZ_CHECK(got == expected);
        row += ',';
        csvtext::AppendG6(row, value);
        rowExpected += ',';
        rowExpected += expected;
    }
    FUZZ_CHECK(row == rowExpected);
    return 0;
}
