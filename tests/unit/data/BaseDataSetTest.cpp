#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "core/config/BaseDataPrm.h"
#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace datatest;

namespace {

class BaseDataSetTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    void SetUp() override { SetGeneral(dir_.Path(), "SPC"); }
    // n records on 12 May 2009, one per minute, memos "r0".. "r(n-1)".
    CSpectrumDataSet WriteRecords(int n) {
        std::vector<CSpectrumData> list;
        for (int i = 0; i < n; ++i) list.push_back(MakeRecord(Local(2009, 5, 12, 10, i), "r" + std::to_string(i)));
        CSpectrumDataWriter writer;
        EXPECT_EQ(writer.WriteAll(list), 1);
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, nullptr);
        return set;
    }
    static std::vector<std::string> Items(const CBaseDataSet& b) {
        std::vector<std::string> m;
        for (int p = 0; p < b.ItemCount(); ++p) m.push_back(b.Item(p).GetMemo());
        return m;
    }
};

}  // namespace

TEST_F(BaseDataSetTest, FreshInstallationHasOnlyTheBuiltInRecord) {
    CBaseDataSet b;
    ASSERT_NE(b.Current(), nullptr);
    EXPECT_TRUE(b.Current()->HasExplicitWavelengths());
    EXPECT_EQ(b.Current()->GetMemo(), "JIS Standard Data");
    EXPECT_EQ(b.ItemCount(), 1);
    EXPECT_EQ(b.ItemToHistoryIndex(0), CBaseDataSet::kBuiltIn);
    b.SetJisEnabled(0);
    EXPECT_EQ(b.Current(), nullptr);
    EXPECT_EQ(b.ItemCount(), 0);
    b.SetJisEnabled(1);
    b.Remove(0);  // the only item: nothing changes
    EXPECT_EQ(b.ItemCount(), 1);
    EXPECT_TRUE(b.CurrentIsBuiltIn());
}

TEST_F(BaseDataSetTest, RegisteringTwentyLeavesNineteenAndSurvivesRestart) {
    CSpectrumDataSet set = WriteRecords(20);
    {
        CBaseDataSet b;
        for (int i = 0; i < 20; ++i) set.RegisterAsStandard(i, b);
        EXPECT_EQ(b.HistoryCount(), 19);
        EXPECT_FALSE(b.CurrentIsBuiltIn());
        EXPECT_EQ(b.Current()->GetMemo(), "r19");
        EXPECT_EQ(b.Item(18).GetMemo(), "r1");  // r0 is gone
    }
    CBaseDataSet reloaded;
    EXPECT_EQ(reloaded.HistoryCount(), 19);
    EXPECT_EQ(reloaded.Current()->GetMemo(), "r19");
    CBaseDataPrm prm;
    prm.LoadHistory();
    EXPECT_EQ(prm.m_FileDates.size(), 19u);
    EXPECT_EQ(prm.m_Offsets.back(), 19u * 2560u);
}

TEST_F(BaseDataSetTest, SameTimeReplacesAndSelectReorders) {
    CSpectrumDataSet set = WriteRecords(3);
    CBaseDataSet b;
    for (int i = 0; i < 3; ++i) set.RegisterAsStandard(i, b);
    EXPECT_EQ(Items(b), (std::vector<std::string>{"r2", "r1", "r0"}));
    b.Select(2);
    EXPECT_EQ(Items(b), (std::vector<std::string>{"r0", "r2", "r1"}));
    set.RegisterAsStandard(1, b);  // same time as an entry: moved to newest, not doubled
    EXPECT_EQ(Items(b), (std::vector<std::string>{"r1", "r0", "r2"}));
    b.SetSelectJis(1);
    EXPECT_EQ(Items(b), (std::vector<std::string>{"JIS Standard Data", "r1", "r0", "r2"}));
    EXPECT_EQ(b.ItemToHistoryIndex(1), 2);
    b.Remove(0);  // the built-in record: deselected, history stays
    EXPECT_EQ(Items(b), (std::vector<std::string>{"r1", "r0", "r2"}));
    b.Remove(1);
    EXPECT_EQ(Items(b), (std::vector<std::string>{"r1", "r2"}));
    platform::CalTime date;
    int64_t offset;
    ASSERT_TRUE(b.ItemLocation(1, date, offset));
    EXPECT_EQ(date, Local(2009, 5, 12));
    EXPECT_EQ(offset, 2 * 2560);
}

TEST_F(BaseDataSetTest, UnreadableEntriesAreDroppedAtStartUp) {
    CSpectrumDataSet set = WriteRecords(3);
    {
        CBaseDataSet b;
        for (int i = 0; i < 3; ++i) set.RegisterAsStandard(i, b);
        EXPECT_FALSE(b.Register(Local(2009, 5, 20), 0));  // no such file: nothing changes
        EXPECT_EQ(b.HistoryCount(), 3);
    }
    // Cut the file after the first record: the other two entries cannot be read any more.
    std::string path = dir_.Path() + "/SPC_20090512.hlx";
    testsupport::WriteFileBytes(path, testsupport::ReadFileBytes(path).substr(0, 2560));
    CBaseDataSet b;
    EXPECT_EQ(Items(b), (std::vector<std::string>{"r0"}));
    CBaseDataPrm prm;
    prm.LoadHistory();
    EXPECT_EQ(prm.m_FileDates.size(), 1u);
}

// Entries are dropped only when their day file is gone from a data folder that is there, read
// with the settings as stored; anything else once wiped the whole history.
TEST_F(BaseDataSetTest, AMissingFolderOrUnusableSettingsPruneNothing) {
    using testsupport::ReadFileBytes;
    ASSERT_EQ(::mkdir("data", 0755), 0);
    SetGeneral("data", "SPC");
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.WriteAll({MakeRecord(Local(2009, 5, 12, 10), "a"), MakeRecord(Local(2009, 5, 13, 10), "b"),
                               MakeRecord(Local(2009, 5, 14, 10), "c")}),
              1);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    {
        CBaseDataSet b;
        for (int i = 0; i < 3; ++i) set.RegisterAsStandard(i, b);
    }
    const std::string saved = ReadFileBytes("ZQ118_BASE.ini");
    const auto keptThrough = [&](const std::function<void()>& spoil, const std::function<void()>& mend) {
        spoil();
        {
            CBaseDataSet b;
            EXPECT_EQ(b.HistoryCount(), 0);
        }
        mend();
        EXPECT_EQ(ReadFileBytes("ZQ118_BASE.ini"), saved);
    };
    // The data folder missing for a while (a disk not mounted); a change meanwhile keeps them too.
    ASSERT_EQ(::rename("data", "away"), 0);
    {
        CBaseDataSet b;
        EXPECT_EQ(b.HistoryCount(), 0);
        EXPECT_TRUE(b.SetSelectJis(1));
    }
    ASSERT_EQ(::rename("away", "data"), 0);
    EXPECT_EQ(Items(CBaseDataSet()), (std::vector<std::string>{"JIS Standard Data", "c", "b", "a"}));
    ASSERT_TRUE(CBaseDataSet().SetSelectJis(0));
    EXPECT_EQ(ReadFileBytes("ZQ118_BASE.ini"), saved);
    // Settings that cannot be read (their defaults name another folder), or an unusable file name ID.
    keptThrough([] { ASSERT_EQ(::rename("ZQ118.ini", "kept.ini"), 0); ASSERT_EQ(::mkdir("ZQ118.ini", 0755), 0); },
                [] { ASSERT_EQ(::rmdir("ZQ118.ini"), 0); ASSERT_EQ(::rename("kept.ini", "ZQ118.ini"), 0); });
    keptThrough([] { SetGeneral("data", "../SPC"); }, [] { SetGeneral("data", "SPC"); });
    // A day file gone from a folder that is there still takes its entry with it.
    ASSERT_EQ(::unlink("data/SPC_20090513.hlx"), 0);
    EXPECT_EQ(Items(CBaseDataSet()), (std::vector<std::string>{"c", "a"}));
    CBaseDataPrm prm;
    prm.LoadHistory();
    EXPECT_EQ(prm.m_FileDates.size(), 2u);
}

// Every measurement run reads the history; saving what it read would undo a change another program
// made meanwhile.
TEST_F(BaseDataSetTest, ReadingTheHistoryLeavesTheFileAlone) {
    CSpectrumDataSet set = WriteRecords(2);
    {
        CBaseDataSet b;
        for (int i = 0; i < 2; ++i) ASSERT_TRUE(set.RegisterAsStandard(i, b));
    }
    struct stat before {}, after {};
    ASSERT_EQ(::stat("ZQ118_BASE.ini", &before), 0);
    CBaseDataSet reader;
    ASSERT_EQ(::stat("ZQ118_BASE.ini", &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(reader.HistoryCount(), 2);
}

// A position names an entry of the list as this object showed it; after another program's change
// it may name another one.
TEST_F(BaseDataSetTest, AChangeIsMadeToTheHistoryAsTheFileHoldsIt) {
    CSpectrumDataSet set = WriteRecords(3);
    CBaseDataSet shown, other;
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(set.RegisterAsStandard(i, shown));
    ASSERT_TRUE(set.RegisterAsStandard(2, other));
    EXPECT_EQ(Items(CBaseDataSet()), (std::vector<std::string>{"r2", "r1", "r0"}));

    EXPECT_FALSE(shown.Remove(1));  // r0 as shown, r1 in the file
    EXPECT_TRUE(shown.Outdated());
    EXPECT_EQ(Items(shown), (std::vector<std::string>{"r2", "r1", "r0"}));
    EXPECT_EQ(Items(CBaseDataSet()), (std::vector<std::string>{"r2", "r1", "r0"}));
    EXPECT_TRUE(shown.Remove(1));
    EXPECT_FALSE(shown.Outdated());
    // The flag and a registration name no position: they apply to the history as it now is.
    EXPECT_TRUE(other.SetSelectJis(1));
    EXPECT_EQ(Items(CBaseDataSet()), (std::vector<std::string>{"JIS Standard Data", "r2", "r0"}));
    EXPECT_TRUE(set.RegisterAsStandard(1, shown));
    EXPECT_EQ(Items(CBaseDataSet()), (std::vector<std::string>{"r1", "r2", "r0"}));
}

TEST_F(BaseDataSetTest, DeletedRecordStillLoadsAsStandard) {
    CSpectrumDataSet set = WriteRecords(2);
    {
        CBaseDataSet b;
        set.RegisterAsStandard(0, b);
    }
    ASSERT_EQ(set.Delete({0}), 1);
    CBaseDataSet b;
    ASSERT_EQ(b.HistoryCount(), 1);
    EXPECT_EQ(b.Current()->GetMemo(), "r0");
    EXPECT_EQ(b.Current()->GetValid(), 0);
}

TEST_F(BaseDataSetTest, BuiltInIrradianceAt400nm) {
    CBaseDataSet b;
    const CSpectrumData& jis = b.BuiltIn();
    ASSERT_EQ(jis.PixelCount(), 120);
    EXPECT_FLOAT_EQ(jis.IrradianceAt(400.0f, 0), static_cast<float>(1013.1 * 1.02195609));
}
