#include "core/config/SettingsCheck.h"

#include <filesystem>

#include "core/config/BaseDataPrm.h"
#include "core/config/GeneralPrm.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

std::string FillTexts(std::string format, std::initializer_list<std::string> texts) {
    std::size_t at = 0;
    for (const std::string& text : texts) {
        at = format.find("%s", at);
        if (at == std::string::npos) break;
        format.replace(at, 2, text);
        at += text.size();  // a "%s" inside the text stays as it is
    }
    return format;
}

namespace {

// The file as the user finds it: the settings live in the working folder, which a program started
// from the menu chose.
std::string Shown(const std::string& stored) {
    std::error_code ec;
    const std::filesystem::path p = std::filesystem::absolute(platform::MapPath(stored), ec);
    return ec ? stored : p.lexically_normal().string();
}

}  // namespace

SettingsCheck CheckSettings() {
    SettingsCheck check;
    CGeneralPrm general;
    CBaseDataPrm history;
    for (CParameter* section : {static_cast<CParameter*>(&general), static_cast<CParameter*>(&history)}) {
        section->Load();
        if (!section->ReadError().empty() && check.unreadable.empty())
            check.unreadable = FillTexts(platform::LoadString(ids::kCannotReadSettings),
                                         {Shown(section->FilePath()), section->ReadError()});
    }
    if (!general.FileNameIdUsable())
        check.fileNameId = FillTexts(platform::LoadString(ids::kFileNameIdUnusable),
                                     {general.m_FILE_NAME_ID.Get(), Shown(general.FilePath())});
    return check;
}
