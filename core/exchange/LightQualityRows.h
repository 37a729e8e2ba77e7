#pragma once
// The rows of the light-quality export below those that say what each record is: one row per
// metric with its label from the string table and a column per record, n/a where the record
// cannot support the metric, then the bands each record covers in part only.
#include <functional>
#include <string>
#include <vector>

class CSpectrumData;

class CLightQualityRows {
public:
    // Calls row(text) with each row's fields joined by commas, without its line end.
    static void Write(const std::vector<const CSpectrumData*>& records, const std::function<void(const std::string&)>& row);
};
