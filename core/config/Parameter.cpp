#include "core/config/Parameter.h"

#include <algorithm>
#include <cstdint>

#include "core/platform/IniFile.h"

namespace {

struct RunOverride {
    std::string section, key, text;
};

std::vector<RunOverride>& RunOverrides() {
    static std::vector<RunOverride> overrides;
    return overrides;
}

const RunOverride* FindOverride(const std::string& section, const std::string& key) {
    for (const auto& o : RunOverrides())
        if (o.section == section && o.key == key) return &o;
    return nullptr;
}

}  // namespace

void CParameter::SetRunOverride(const std::string& section, const std::string& key, const std::string& text) {
    for (auto& o : RunOverrides()) {
        if (o.section == section && o.key == key) {
            o.text = text;
            return;
        }
    }
    RunOverrides().push_back({section, key, text});
}

void CParameter::ClearRunOverrides() { RunOverrides().clear(); }

bool CParameter::HasRunOverride(const std::string& section, const std::string& key) {
    return FindOverride(section, key) != nullptr;
}

CParameter::CParameter(std::string filePath, std::string section)
    : filePath_(std::move(filePath)), section_(std::move(section)) {}

CParameter::CParameter(const CParameter& other)
    : filePath_(other.filePath_), section_(other.section_), rejected_(other.rejected_), readError_(other.readError_) {
    const auto from = reinterpret_cast<std::uintptr_t>(&other);
    const auto to = reinterpret_cast<std::uintptr_t>(this);
    values_.reserve(other.values_.size());
    for (CPrmValue* v : other.values_)
        values_.push_back(reinterpret_cast<CPrmValue*>(to + (reinterpret_cast<std::uintptr_t>(v) - from)));
}

CParameter& CParameter::operator=(const CParameter& other) {
    // The registered values are this object's own members; only the file and state move over.
    filePath_ = other.filePath_;
    section_ = other.section_;
    rejected_ = other.rejected_;
    readError_ = other.readError_;
    return *this;
}

void CParameter::Add(const char* name, CPrmValue& value, const char* defaultText) {
    if (name) value.SetName(name);
    if (defaultText) value.SetDefaultString(defaultText);
    values_.push_back(&value);
}

void CParameter::Add(CPrmValue& value, const char* defaultText) { Add(nullptr, value, defaultText); }

bool CParameter::Load() {
    rejected_.clear();
    platform::IniFile ini(filePath_);
    const bool readable = ini.Load();
    readError_ = ini.ErrorText();
    for (CPrmValue* v : values_) {
        if (v->GetName().empty()) continue;  // a value without a key cannot be stored
        const std::string def = v->GetDefaultString();
        if (!v->SetString(ini.Get(section_, v->GetName(), def))) {
            rejected_.push_back(v->GetName());
            v->SetString(def);
        }
        if (const RunOverride* o = FindOverride(section_, v->GetName())) v->SetString(o->text);
    }
    return readable && rejected_.empty();
}

bool CParameter::Save() const { return SaveKeeping(nullptr); }

bool CParameter::SaveKeeping(const std::function<bool(const CPrmValue&)>& keepStored) const {
    platform::IniFile ini(filePath_);
    // Writing after a failed read would replace the file with this section alone.
    if (!ini.Load()) return false;
    for (const CPrmValue* v : values_) {
        if (v->GetName().empty()) continue;
        if (keepStored && keepStored(*v) && ini.Has(section_, v->GetName())) continue;
        if (FindOverride(section_, v->GetName())) continue;
        ini.Set(section_, v->GetName(), v->GetString());
    }
    return ini.Save();
}

bool CParameter::WasRejected(const CPrmValue& value) const {
    return !value.GetName().empty() &&
           std::find(rejected_.begin(), rejected_.end(), value.GetName()) != rejected_.end();
}
