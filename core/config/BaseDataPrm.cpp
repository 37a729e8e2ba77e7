#include "core/config/BaseDataPrm.h"

#include <algorithm>
#include <cstdio>

#include "core/platform/File.h"
#include "core/platform/Path.h"

namespace {

std::string SlotKey(const char* stem, int slot) {
    char key[32];
    std::snprintf(key, sizeof key, "%s%02d", stem, slot);
    return key;
}

}  // namespace

CBaseDataPrm::CBaseDataPrm() : CParameter("./ZQ118_BASE.ini", "BASE_DATA_HISTORY") {
    Add("SELECT_JIS_DATA", m_SELECT_JIS_DATA, "1");
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const int slot = static_cast<int>(i);
        Add(SlotKey("VALID", slot).c_str(), m_VALID[i], "0");
        Add(SlotKey("DATE", slot).c_str(), m_DATE[i], "2000/1/1 0:00:00");
        Add(SlotKey("POS", slot).c_str(), m_POS[i], "0");
    }
}

bool CBaseDataPrm::LoadHistory() {
    const bool ok = Load();
    m_FileDates.clear();
    m_Offsets.clear();
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        if (m_VALID[i].Get() == 0 || WasRejected(m_DATE[i])) break;
        m_FileDates.push_back(m_DATE[i].Get());
        m_Offsets.push_back(static_cast<uint32_t>(m_POS[i].Get()));
    }
    return ok;
}

bool CBaseDataPrm::SaveHistory() {
    const std::size_t n = std::min({m_FileDates.size(), m_Offsets.size(), static_cast<std::size_t>(kSlotCount)});
    for (std::size_t i = 0; i < n; ++i) {
        m_VALID[i] = 1;
        m_DATE[i] = m_FileDates[i];
        m_POS[i] = static_cast<int>(m_Offsets[i]);
    }
    if (n < kSlotCount) m_VALID[n] = 0;
    // Slots beyond the history keep whatever the file holds; this object may never have loaded them.
    return SaveKeeping([this, n](const CPrmValue& v) {
        for (std::size_t i = 0; i < kSlotCount; ++i) {
            if (&v == &m_VALID[i]) return i > n;
            if (&v == &m_DATE[i] || &v == &m_POS[i]) return i >= n;
        }
        return false;
    });
}

std::unique_ptr<platform::FolderLock> CBaseDataPrm::LockHistory() const {
    return std::make_unique<platform::FolderLock>(platform::StoredFolderOf(FilePath()), true, true);
}

bool CBaseDataPrm::SameHistory(const CBaseDataPrm& other) const {
    return m_FileDates == other.m_FileDates && m_Offsets == other.m_Offsets &&
           m_SELECT_JIS_DATA.Get() == other.m_SELECT_JIS_DATA.Get();
}
