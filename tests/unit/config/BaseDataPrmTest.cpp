#include <gtest/gtest.h>

#include "ConfigTestSupport.h"
#include "core/config/BaseDataPrm.h"

using configtest::Local;

namespace {

class BaseDataPrmTest : public configtest::WorkFolderTest {
protected:
    // The stored text of one key, or "<none>".
    std::string Stored(const std::string& key) {
        const std::string text = ReadFile("ZQ118_BASE.ini");
        std::size_t at = text.find("\n" + key + "=");
        if (at == std::string::npos) return "<none>";
        at += key.size() + 2;
        return text.substr(at, text.find('\n', at) - at);
    }
};

}  // namespace

TEST_F(BaseDataPrmTest, FreshHistoryIsEmptyWithTheBuiltInRecordSelected) {
    CBaseDataPrm prm;
    EXPECT_TRUE(prm.LoadHistory());
    EXPECT_EQ(prm.m_SELECT_JIS_DATA, 1);
    EXPECT_TRUE(prm.m_FileDates.empty());
    EXPECT_TRUE(prm.m_Offsets.empty());
    EXPECT_EQ(prm.m_DATE[19].GetString(), "2000/01/01 00:00:00");
    EXPECT_EQ(prm.FilePath(), "./ZQ118_BASE.ini");
    ASSERT_EQ(prm.Values().size(), 61u);
    EXPECT_EQ(prm.Values()[0]->GetName(), "SELECT_JIS_DATA");
    EXPECT_EQ(prm.Values()[1]->GetName(), "VALID00");
    EXPECT_EQ(prm.Values()[2]->GetName(), "DATE00");
    EXPECT_EQ(prm.Values()[3]->GetName(), "POS00");
    EXPECT_EQ(prm.Values()[60]->GetName(), "POS19");
}

TEST_F(BaseDataPrmTest, FirstUnusedSlotEndsTheHistory) {
    WriteFile("ZQ118_BASE.ini",
              "[BASE_DATA_HISTORY]\nSELECT_JIS_DATA=0\nVALID00=1\nDATE00=2009/05/12 00:00:00\nPOS00=2560\n"
              "VALID01=0\nVALID02=1\nDATE02=2009/05/13 00:00:00\nPOS02=5120\n");
    CBaseDataPrm prm;
    EXPECT_TRUE(prm.LoadHistory());
    EXPECT_EQ(prm.m_SELECT_JIS_DATA, 0);
    ASSERT_EQ(prm.m_FileDates.size(), 1u);
    EXPECT_EQ(prm.m_FileDates[0], Local(2009, 5, 12));
    EXPECT_EQ(prm.m_Offsets, std::vector<uint32_t>{2560});
}

TEST_F(BaseDataPrmTest, AllTwentySlotsLoad) {
    std::string text = "[BASE_DATA_HISTORY]\n";
    for (int i = 0; i < 20; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "VALID%02d=1\nDATE%02d=2010/1/%d\nPOS%02d=%d\n", i, i, i + 1, i, i * 2560);
        text += line;
    }
    WriteFile("ZQ118_BASE.ini", text);
    CBaseDataPrm prm;
    EXPECT_TRUE(prm.LoadHistory());
    ASSERT_EQ(prm.m_FileDates.size(), 20u);
    EXPECT_EQ(prm.m_FileDates[19], Local(2010, 1, 20));
    EXPECT_EQ(prm.m_Offsets[19], 19u * 2560u);
}

TEST_F(BaseDataPrmTest, UnreadableDateEndsTheHistoryThere) {
    WriteFile("ZQ118_BASE.ini",
              "[BASE_DATA_HISTORY]\nVALID00=1\nDATE00=2009/05/12\nPOS00=0\nVALID01=1\nDATE01=2009/13/40\nPOS01=2560\n"
              "VALID02=1\nDATE02=2009/05/14\nPOS02=5120\n");
    CBaseDataPrm prm;
    EXPECT_FALSE(prm.LoadHistory());
    EXPECT_EQ(prm.RejectedKeys(), std::vector<std::string>{"DATE01"});
    ASSERT_EQ(prm.m_FileDates.size(), 1u);
    EXPECT_EQ(prm.m_Offsets.size(), 1u);
    EXPECT_EQ(prm.m_FileDates[0], Local(2009, 5, 12));
}

TEST_F(BaseDataPrmTest, SavingAShorterHistoryLeavesLaterSlotsAlone) {
    std::string text = "[BASE_DATA_HISTORY]\nSELECT_JIS_DATA=1\n";
    for (int i = 0; i < 20; ++i) {
        char line[96];
        std::snprintf(line, sizeof line, "VALID%02d=1\nDATE%02d=2011/2/%d 0:00:00\nPOS%02d=%d\n", i, i, i + 1, i, i);
        text += line;
    }
    WriteFile("ZQ118_BASE.ini", text);

    CBaseDataPrm prm;  // deliberately not loaded: later slots must survive anyway
    prm.m_SELECT_JIS_DATA = 0;
    prm.m_FileDates = {Local(2009, 5, 12), Local(2009, 5, 13), Local(2009, 5, 14)};
    prm.m_Offsets = {0, 2560, 5120};
    ASSERT_TRUE(prm.SaveHistory());
    EXPECT_EQ(Stored("SELECT_JIS_DATA"), "0");
    EXPECT_EQ(Stored("VALID00"), "1");
    EXPECT_EQ(Stored("DATE01"), "2009/05/13 00:00:00");
    EXPECT_EQ(Stored("POS02"), "5120");
    EXPECT_EQ(Stored("VALID03"), "0");
    EXPECT_EQ(Stored("DATE03"), "2011/2/4 0:00:00");
    EXPECT_EQ(Stored("POS03"), "3");
    for (int i = 4; i < 20; ++i) {
        char key[16];
        std::snprintf(key, sizeof key, "VALID%02d", i);
        EXPECT_EQ(Stored(key), "1") << key;
    }
    EXPECT_EQ(Stored("DATE19"), "2011/2/20 0:00:00");

    CBaseDataPrm back;
    EXPECT_TRUE(back.LoadHistory());
    EXPECT_EQ(back.m_FileDates, prm.m_FileDates);
    EXPECT_EQ(back.m_Offsets, prm.m_Offsets);
}

TEST_F(BaseDataPrmTest, EmptyHistoryClearsTheFirstSlotAndMissingKeysAreWritten) {
    CBaseDataPrm prm;
    prm.LoadHistory();
    ASSERT_TRUE(prm.SaveHistory());
    EXPECT_EQ(Stored("VALID00"), "0");
    EXPECT_EQ(Stored("POS19"), "0");  // keys the file lacked are written from the values
    CBaseDataPrm back;
    back.LoadHistory();
    EXPECT_TRUE(back.m_FileDates.empty());
}

TEST_F(BaseDataPrmTest, OverlongOrUnevenListsSaveOnlyCompleteSlots) {
    CBaseDataPrm prm;
    prm.LoadHistory();
    for (int i = 0; i < 25; ++i) prm.m_FileDates.push_back(Local(2012, 1, 1) + i * 86400);
    for (int i = 0; i < 22; ++i) prm.m_Offsets.push_back(static_cast<uint32_t>(i));
    ASSERT_TRUE(prm.SaveHistory());
    CBaseDataPrm back;
    back.LoadHistory();
    ASSERT_EQ(back.m_FileDates.size(), 20u);
    EXPECT_EQ(back.m_Offsets[19], 19u);

    prm.m_FileDates.resize(2);
    prm.m_Offsets.resize(1);
    ASSERT_TRUE(prm.SaveHistory());
    back.LoadHistory();
    EXPECT_EQ(back.m_FileDates.size(), 1u);
}
