#include <gtest/gtest.h>
#include <malloc.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "core/data/SearchTime.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataSet.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace datatest;

namespace {

class DataSetTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    void SetUp() override { SetGeneral(dir_.Path(), "SPC"); }
    void Write(const std::vector<CSpectrumData>& list) {
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll(list), 1);
    }
    static std::vector<std::string> Memos(const CSpectrumDataSet& s) {
        std::vector<std::string> m;
        for (int i = 0; i < s.Count(); ++i) m.push_back(s.At(i).Memo);
        return m;
    }
};

}  // namespace

TEST_F(DataSetTest, StartBoundSkipsEarlierDaysAndRecords) {
    Write({MakeRecord(Local(2009, 5, 12, 13), "d12"), MakeRecord(Local(2009, 5, 13, 11, 59, 59), "early"),
           MakeRecord(Local(2009, 5, 13, 12), "noon"), MakeRecord(Local(2009, 5, 13, 18), "evening")});
    CSpectrumDataSet set;
    platform::CalTime start = Local(2009, 5, 13, 12);
    set.Search(&start, nullptr, nullptr);
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"noon", "evening"}));
    EXPECT_EQ(set.At(0).FileDate, Local(2009, 5, 13));
    EXPECT_EQ(set.At(0).FileOffset, 1 * 2560);
    EXPECT_EQ(set.At(1).FileOffset, 2 * 2560);

    platform::CalTime end = Local(2009, 5, 13, 11, 59, 59);
    set.Search(nullptr, &end, nullptr);
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"d12", "early"}));
}

TEST_F(DataSetTest, CommentFilterIsACaseSensitiveSubstring) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "xabcx"), MakeRecord(Local(2009, 5, 12, 2), "ABC"),
           MakeRecord(Local(2009, 5, 12, 3), "")});
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, "abc");
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"xabcx"}));
    set.Search(nullptr, nullptr, "");
    EXPECT_EQ(set.Count(), 3);
}

// A memo of an older Windows system is CP932; it is found by the text the list shows, never by
// its trail bytes ("テスト" is 83 65 83 58 83 67: an 'e', an 'X' and a 'g').
TEST_F(DataSetTest, CommentsAreMatchedAsShown) {
    const std::string cp932 = "\x83\x65\x83\x58\x83\x67";
    Write({MakeRecord(Local(2009, 5, 12, 1), cp932), MakeRecord(Local(2009, 5, 12, 2), "cafe"),
           MakeRecord(Local(2009, 5, 12, 3), "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 UTF-8")});
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, "e");
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"cafe"}));
    set.Search(nullptr, nullptr, "Xg");
    EXPECT_EQ(set.Count(), 0);
    set.Search(nullptr, nullptr, "\xE3\x82\xB9\xE3\x83\x88");  // "スト"
    ASSERT_EQ(set.Count(), 2);
    EXPECT_EQ(set.At(0).Memo, cp932);  // found, and kept as stored
    set.Search(nullptr, nullptr, cp932.c_str());  // typed in CP932 it means the same
    EXPECT_EQ(set.Count(), 2);
}

TEST_F(DataSetTest, PrefixAndOddFileNamesSelectDailyFiles) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "spc")});
    SetGeneral(dir_.Path(), "XYZ");
    Write({MakeRecord(Local(2009, 5, 12, 2), "xyz")});
    // Names that fit the pattern but carry no real date are skipped, not fatal.
    testsupport::WriteFileBytes(dir_.Path() + "/XYZ_20091399.hlx", std::string(2560, '\0'));
    testsupport::WriteFileBytes(dir_.Path() + "/XYZ_abcdefgh.hlx", std::string(2560, '\0'));
    testsupport::WriteFileBytes(dir_.Path() + "/XYZ_20090230.hlx", std::string(2560, '\0'));
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"xyz"}));
    SetGeneral(dir_.Path() + "/missing", "XYZ");
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(set.Count(), 0);
}

TEST_F(DataSetTest, FileNamesMatchCaseInsensitively) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "a")});
    std::rename((dir_.Path() + "/SPC_20090512.hlx").c_str(), (dir_.Path() + "/spc_20090512.HLX").c_str());
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 1);
    set.At(0).Memo = "edited";
    EXPECT_EQ(set.Update(0), 1);
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"edited"}));
}

TEST_F(DataSetTest, DeleteMarksRecordsInTheirFilesAndRemovesThem) {
    std::vector<CSpectrumData> list;
    for (int i = 0; i < 8; ++i) list.push_back(MakeRecord(Local(2009, 5, 12 + i / 4, i), std::to_string(i)));
    Write(list);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 8);
    EXPECT_EQ(set.Delete({2, 5}), 1);
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"0", "1", "3", "4", "6", "7"}));
    EXPECT_EQ(testsupport::FileSize(dir_.Path() + "/SPC_20090512.hlx"), 4 * 2560);
    CSpectrumDataSet again;
    again.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(Memos(again), Memos(set));
    // RemoveEntries touches no file: a new search brings them back.
    again.RemoveEntries({0, 1});
    EXPECT_EQ(again.Count(), 4);
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(set.Count(), 6);
}

TEST_F(DataSetTest, AFileThatCannotBeOpenedRefusesOnlyItsOwnRecords) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "a"), MakeRecord(Local(2009, 5, 13, 1), "b")});
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    std::remove((dir_.Path() + "/SPC_20090512.hlx").c_str());
    std::vector<CSpectrumDataSet::Refused> refused;
    EXPECT_EQ(set.Delete({0, 1}, &refused), 0);
    EXPECT_EQ(Memos(set), (std::vector<std::string>{"a"}));  // "b" was deleted in its file
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].index, 0);
    EXPECT_NE(refused[0].message.find("2009/05/12 01:00:00 in " + dir_.Path() + "/SPC_20090512.hlx (byte 0)"),
              std::string::npos)
        << refused[0].message;
    EXPECT_EQ(set.Update(0), 0);
    CSpectrumDataSet again;
    again.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(again.Count(), 0);
}

TEST_F(DataSetTest, FindNearestPicksTheLaterEntryOnATie) {
    Write({MakeRecord(Local(2009, 5, 12, 10, 0)), MakeRecord(Local(2009, 5, 12, 10, 10)),
           MakeRecord(Local(2009, 5, 12, 11, 0))});
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    EXPECT_EQ(set.FindNearest(Local(2009, 5, 12, 10, 5)), 1);
    EXPECT_EQ(set.FindNearest(Local(2009, 5, 12, 10, 4)), 0);
    EXPECT_EQ(set.FindNearest(Local(2009, 5, 12, 9)), 0);
    EXPECT_EQ(set.FindNearest(Local(2009, 5, 12, 12)), 2);
    EXPECT_EQ(set.FindNearest(Local(2009, 5, 12, 10, 35)), 2);
    CSpectrumDataSet empty;
    EXPECT_EQ(empty.FindNearest(0), -1);
}

TEST_F(DataSetTest, CopySubsetKeepsIndexOrder) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "a"), MakeRecord(Local(2009, 5, 12, 2), "b"),
           MakeRecord(Local(2009, 5, 12, 3), "c")});
    CSpectrumDataSet set, sub;
    set.Search(nullptr, nullptr, nullptr);
    sub.CopySubset(set, {2, 0, 99});
    EXPECT_EQ(Memos(sub), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(sub.At(1).FileOffset, 2 * 2560);
}

TEST(SearchTimeTest, ATextIsTheTimeItNamesOrRefused) {
    testsupport::TzGuard tz("Europe/Berlin");
    const struct {
        const char* text;
        platform::CalTime expected;
    } named[] = {
        {"2009/5/12", Local(2009, 5, 12)},
        {"2009/05/12 7", Local(2009, 5, 12, 7)},
        {" 2009/5/12\t 7:08 ", Local(2009, 5, 12, 7, 8)},
        {"2009/5/12 07:08:09", Local(2009, 5, 12, 7, 8, 9)},
        {"2026-12-08", Local(2026, 12, 8)},
        {"2000/1/1", Local(2000, 1, 1)},
        {"2035/12/31 23:59:59", Local(2035, 12, 31, 23, 59, 59)},
        {"2028/2/29", Local(2028, 2, 29)},
        {"2009/7/1 12:00:00", 1246442400},  // summer time: 10:00 UTC
    };
    for (const auto& n : named) {
        platform::CalTime t = 0;
        EXPECT_EQ(ReadSearchTime(n.text, t), SearchTimeRead::Time) << n.text;
        EXPECT_EQ(t, n.expected) << n.text;
    }
    const struct {
        const char* text;
        SearchTimeRead why;
    } refused[] = {
        // Not of the form: letters, other orders, missing or extra fields, signs, odd separators.
        {"", SearchTimeRead::NotATime}, {"yesterday", SearchTimeRead::NotATime},
        {"08.12.2026", SearchTimeRead::NotATime}, {"2009/5", SearchTimeRead::NotATime},
        {"2009", SearchTimeRead::NotATime}, {"09/5/12", SearchTimeRead::NotATime},
        {"2009/5/12/23", SearchTimeRead::NotATime}, {"2009-5/12", SearchTimeRead::NotATime},
        {"2009/5/12 7:08:09:10", SearchTimeRead::NotATime}, {"2009/5/12 7:", SearchTimeRead::NotATime},
        {"2009/5/12T07:08", SearchTimeRead::NotATime}, {"2009/+5/12", SearchTimeRead::NotATime},
        {"2009/5/12 next week", SearchTimeRead::NotATime}, {"2009/005/12", SearchTimeRead::NotATime},
        // Of the form, but no such date or local time.
        {"2009/13/01", SearchTimeRead::NoSuchTime}, {"2009/0/10", SearchTimeRead::NoSuchTime},
        {"2009/4/31", SearchTimeRead::NoSuchTime}, {"2009/2/29", SearchTimeRead::NoSuchTime},
        {"2009/5/12 24:00", SearchTimeRead::NoSuchTime}, {"2009/5/12 7:60", SearchTimeRead::NoSuchTime},
        {"2026/3/29 2:30", SearchTimeRead::NoSuchTime},  // skipped by the change to summer time
        // Years a search would have clamped to another year.
        {"2041/1/1", SearchTimeRead::YearOutside}, {"1999/12/31", SearchTimeRead::YearOutside},
    };
    for (const auto& r : refused) {
        platform::CalTime t = 77;
        EXPECT_EQ(ReadSearchTime(r.text, t), r.why) << r.text;
        EXPECT_EQ(t, 77) << r.text;
    }
}

namespace {

void ExpectSameRecord(const CSpectrumData& a, const CSpectrumData& b) {
    EXPECT_EQ(a.GetTime(), b.GetTime());
    EXPECT_EQ(a.GetMemo(), b.GetMemo());
    EXPECT_EQ(a.GetTypeCode(), b.GetTypeCode());
    EXPECT_EQ(a.GetSerialNumber(), b.GetSerialNumber());
    EXPECT_EQ(a.GetValid(), b.GetValid());
    EXPECT_EQ(a.GetCoefficients(), b.GetCoefficients());
    EXPECT_EQ(a.GetSignal(), b.GetSignal());
    EXPECT_EQ(a.GetCalibration(), b.GetCalibration());
}

}  // namespace

// The search reads a day in chunks of whole records and decodes them where they lie: across chunk
// boundaries, past deleted records and up to a truncated last record it must find what the plain
// reader finds, at the offsets where the records are stored.
TEST_F(DataSetTest, SearchAgreesWithTheReaderAcrossChunks) {
    std::vector<CSpectrumData> list;
    for (int i = 0; i < 250; ++i) {
        CSpectrumData r = MakeRecord(Local(2009, 5, 13, 1) + 60 * i, "m" + std::to_string(i), static_cast<float>(i));
        if (i == 99 || i == 100 || i == 201) r.SetValid(0);
        list.push_back(r);
    }
    Write(list);
    CGeneralPrm general;
    general.Load();
    std::string path;
    ASSERT_TRUE(general.DailyFilePath(2009, 5, 13, path));
    {
        platform::File file;
        ASSERT_TRUE(file.Open(path, platform::File::Mode::ReadWrite));
        ASSERT_TRUE(file.Seek(file.Size()));
        const std::string torn(1000, 'x');
        ASSERT_TRUE(file.WriteAll(torn.data(), torn.size()));
    }
    std::vector<CSpectrumData> day;
    CSpectrumDataReader reader;
    ASSERT_EQ(reader.ReadDay(2009, 5, 13, day), 1);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 247);
    std::size_t k = 0;
    for (int i = 0; i < set.Count(); ++i) {
        while (day[k].GetValid() == 0) ++k;
        ExpectSameRecord(*set.Record(i), day[k]);
        EXPECT_EQ(set.At(i).FileOffset, static_cast<int64_t>(k) * 2560);
        ++k;
    }
    set.Search(nullptr, nullptr, "m10");  // m10, m101..m109 (m100 is deleted)
    ASSERT_EQ(set.Count(), 10);
    EXPECT_EQ(set.At(1).FileOffset, 101 * 2560);
}

// A list entry is small and holds no record: the record is read from its day file when asked
// for, is the stored one, and outlives the set. A record another program changed or moved since
// the search is not passed off as the listed one: reading it fails, naming its file and offset.
TEST_F(DataSetTest, RecordsAreReadOnDemandAndOnlyAsListed) {
    std::vector<CSpectrumData> list;
    for (int i = 0; i < 5; ++i) list.push_back(MakeRecord(Local(2009, 5, 13, 1) + i, "m" + std::to_string(i), 10.0f * i));
    Write(list);
    std::shared_ptr<const CSpectrumData> kept;
    std::string path;
    {
        CSpectrumDataSet set;
        set.Search(nullptr, nullptr, nullptr);
        ASSERT_EQ(set.Count(), 5);
        // A year of one-minute records (525,600) listed stays near 60 MB.
        EXPECT_LE(sizeof(CSpectrumDataSet::Entry), 128u);
        EXPECT_FALSE(set.At(2).Held);
        EXPECT_EQ(set.At(2).Time, list[2].GetTime());
        kept = set.Record(4);
        ASSERT_TRUE(kept);
        ExpectSameRecord(*kept, list[4]);
        ASSERT_TRUE(set.Values(3));
        EXPECT_NEAR(set.Values(3)->par, list[3].GetPar(), 1e-5 * list[3].GetPar());
        EXPECT_NEAR(set.Values(3)->uvB, list[3].GetUvB(), 1e-5 * list[3].GetUvB());

        // Another program rewrites the comment and the signal of record 1, and moves the others.
        CGeneralPrm general;
        general.Load();
        ASSERT_TRUE(general.DailyFilePath(2009, 5, 13, path));
        platform::File file;
        ASSERT_TRUE(file.Open(path, platform::File::Mode::ReadWrite));
        unsigned char image[2560];
        CSpectrumData changed = list[1];
        changed.SetMemo("theirs");
        ASSERT_TRUE(CSpectrumDataWriter::Encode(changed, image));
        ASSERT_TRUE(file.Seek(2560) && file.WriteAll(image, sizeof image));
        EXPECT_EQ(set.Record(1)->GetMemo(), "m1");  // the comment alone: still the listed record
        changed.SetSignal(std::vector<float>(256, 1.0f));
        ASSERT_TRUE(CSpectrumDataWriter::Encode(changed, image));
        ASSERT_TRUE(file.Seek(2560) && file.WriteAll(image, sizeof image));
        ASSERT_TRUE(CSpectrumDataWriter::Encode(list[0], image));
        ASSERT_TRUE(file.Seek(4 * 2560) && file.WriteAll(image, sizeof image));
        file.Close();
        std::string error;
        EXPECT_FALSE(set.Record(1, &error));
        EXPECT_NE(error.find(platform::MapPath(path) + " (byte 2560)"), std::string::npos) << error;
        EXPECT_FALSE(set.Record(4));
        ExpectSameRecord(*set.Record(0), list[0]);
    }
    ExpectSameRecord(*kept, list[4]);
}

// A graph of many records has their derived values worked out on every core, each part reading its
// own days; a record changed since the search gets none, as when asked for alone.
TEST_F(DataSetTest, PreparedValuesAreEachRecordsOwn) {
    std::vector<CSpectrumData> list;
    for (int i = 0; i < 9000; ++i)
        list.push_back(MakeRecord(Local(2009, 5, 12) + 30 * i, "", static_cast<float>(i % 40)));
    Write(list);
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), 9000);
    CGeneralPrm general;
    general.Load();
    std::string path;
    ASSERT_TRUE(general.DailyFilePath(2009, 5, 14, path));
    platform::File file;
    ASSERT_TRUE(file.Open(path, platform::File::Mode::ReadWrite));
    unsigned char image[2560];
    CSpectrumData changed = list[5760];
    changed.SetSignal(std::vector<float>(256, 1.0f));
    ASSERT_TRUE(CSpectrumDataWriter::Encode(changed, image));
    ASSERT_TRUE(file.Seek(0) && file.WriteAll(image, sizeof image));
    file.Close();
    set.PrepareValues(0, set.Count());
    for (int i = 0; i < set.Count(); ++i) {
        if (i == 5760) {
            EXPECT_FALSE(set.At(i).Values);
            continue;
        }
        ASSERT_TRUE(set.At(i).Values) << i;
        const float lux = list[static_cast<std::size_t>(i)].GetLux();
        ASSERT_NEAR(set.At(i).Values->lux, lux, 1e-5 * lux) << i;
    }
}

// The windows get the chosen records shared, not copied: one record read once, whoever shows it.
TEST_F(DataSetTest, CopySubsetSharesTheRecords) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "a"), MakeRecord(Local(2009, 5, 12, 2), "b")});
    CSpectrumDataSet set, sub;
    set.Search(nullptr, nullptr, nullptr);
    sub.CopySubset(set, {1});
    ASSERT_EQ(sub.Count(), 1);
    const CSpectrumDataSet copy = sub;
    EXPECT_EQ(sub.Record(0).get(), copy.Record(0).get());
    EXPECT_EQ(sub.Record(0)->GetMemo(), "b");
}

// A record just stored joins the list in file order when the last search shows it, once; a
// record outside its bounds or comment does not, and a set never searched takes none.
TEST_F(DataSetTest, AddStoredFollowsTheLastSearch) {
    Write({MakeRecord(Local(2009, 5, 12, 1), "keep a"), MakeRecord(Local(2009, 5, 13, 1), "keep b")});
    CSpectrumDataSet set;
    EXPECT_FALSE(set.AddStored(MakeRecord(Local(2009, 5, 13, 2), "keep"), Local(2009, 5, 13), 2560));
    const platform::CalTime end = Local(2009, 5, 13, 12);
    set.Search(nullptr, &end, "keep");
    ASSERT_EQ(set.Count(), 2);
    std::vector<CSpectrumData> stored = {MakeRecord(Local(2009, 5, 12, 2), "keep c"),
                                         MakeRecord(Local(2009, 5, 13, 2), "other"),
                                         MakeRecord(Local(2009, 5, 13, 13), "keep late"),
                                         MakeRecord(Local(2009, 5, 13, 3), "keep d")};
    Write(stored);
    EXPECT_TRUE(set.AddStored(stored[0], Local(2009, 5, 12), 2560));
    EXPECT_FALSE(set.AddStored(stored[0], Local(2009, 5, 12), 2560));
    EXPECT_FALSE(set.AddStored(stored[1], Local(2009, 5, 13), 2560));
    EXPECT_FALSE(set.AddStored(stored[2], Local(2009, 5, 13), 2 * 2560));
    EXPECT_TRUE(set.AddStored(stored[3], Local(2009, 5, 13), 3 * 2560));
    CSpectrumDataSet searched;
    searched.Search(nullptr, &end, "keep");
    ASSERT_EQ(Memos(set), Memos(searched));
    for (int i = 0; i < set.Count(); ++i) {
        EXPECT_EQ(set.At(i).FileOffset, searched.At(i).FileOffset);
        EXPECT_EQ(set.At(i).Fingerprint, searched.At(i).Fingerprint);
    }
    // Rewritable like any listed record.
    EXPECT_EQ(set.SetComment({1}, "keep edited"), 1);
    searched.Search(nullptr, &end, "keep");
    EXPECT_EQ(searched.At(1).Memo, "keep edited");
}

// Days of very different lengths, with
// deleted and foreign records, an empty day, a folder named as a day and bounds inside days: the result is
// what reading each day in turn and filtering gives, in file order, with each record's place.
TEST_F(DataSetTest, KeepAllSearchMatchesTheDaysReadInTurn) {
    const int lengths[] = {1, 0, 230, 99, 100, 101, 7, 340, 2, 150, 64, 1};
    std::vector<CSpectrumData> list;
    for (int d = 0; d < 12; ++d)
        for (int i = 0; i < lengths[d]; ++i) {
            CSpectrumData r = MakeRecord(Local(2009, 5, 1 + d) + 97 * i, std::to_string(d) + "/" + std::to_string(i),
                                         static_cast<float>(d * 1000 + i));
            if ((d + i) % 37 == 5) r.SetValid(0);
            list.push_back(r);
        }
    Write(list);
    CGeneralPrm general;
    general.Load();
    auto pathOf = [&](int d) {
        std::string p;
        EXPECT_TRUE(general.DailyFilePath(2009, 5, 1 + d, p));
        return platform::ResolveExisting(p);
    };
    {  // an empty day file, and a record no program of ours writes (month 13) inside day 7
        platform::File empty;
        ASSERT_TRUE(empty.Open(pathOf(1), platform::File::Mode::Append));
        platform::File file;
        ASSERT_TRUE(file.Open(pathOf(7), platform::File::Mode::ReadWrite));
        ASSERT_TRUE(file.Seek(150 * 2560 + 201));
        ASSERT_TRUE(file.WriteAll("13", 2));
    }
    // A folder named as day 9's file is no day file.
    std::filesystem::remove(pathOf(9));
    std::filesystem::create_directory(pathOf(9));

    const platform::CalTime start = Local(2009, 5, 3) + 97 * 10, end = Local(2009, 5, 11) + 97 * 100;
    std::vector<std::tuple<std::string, platform::CalTime, int64_t>> expected;
    CSpectrumDataReader reader;
    for (int d = 0; d < 12; ++d) {
        std::vector<CSpectrumData> day;
        ASSERT_EQ(reader.ReadDay(2009, 5, 1 + d, day), 1);
        // ReadDay drops foreign records: their offsets are found again from the memos.
        for (const CSpectrumData& r : day) {
            if (r.GetValid() == 0 || r.GetTime() < start || r.GetTime() > end) continue;
            const int64_t i = std::stoll(r.GetMemo().substr(r.GetMemo().find('/') + 1));
            expected.emplace_back(r.GetMemo(), Local(2009, 5, 1 + d), i * 2560);
        }
    }
    ASSERT_GT(expected.size(), 700u);
    {
        CSpectrumDataSet set;
        set.Search(&start, &end, nullptr);
        ASSERT_EQ(static_cast<std::size_t>(set.Count()), expected.size());
        for (int i = 0; i < set.Count(); ++i) {
            const auto& [memo, date, offset] = expected[static_cast<std::size_t>(i)];
            ASSERT_EQ(set.At(i).Memo, memo);
            EXPECT_EQ(set.At(i).FileDate, date);
            EXPECT_EQ(set.At(i).FileOffset, offset);
            const int d = std::stoi(memo), k = std::stoi(memo.substr(memo.find('/') + 1));
            const std::shared_ptr<const CSpectrumData> r = set.Record(i);
            ASSERT_TRUE(r);
            ASSERT_EQ(r->GetSignal().size(), 256u);
            EXPECT_EQ(r->GetSignal()[3], static_cast<float>(d * 1000 + k) + 3.0f);
        }
    }
}

// What a listed record costs: a listed year (525,600 entries) must fit the program's 150 MB, so
// an entry, with its comment and what the search leaves behind, stays well under 200 bytes.
TEST_F(DataSetTest, AListedRecordCostsAFewHundredBytesAtMost) {
    constexpr int kCount = 5000;
    std::vector<CSpectrumData> list;
    const CSpectrumData record = MakeRecord(Local(2009, 5, 13, 1), "roof station 7", 100.0f);
    for (int i = 0; i < kCount; ++i) {
        list.push_back(record);
        list.back().SetTime(Local(2009, 5, 13, 1) + 60 * i);
    }
    Write(list);
    list.clear();
    list.shrink_to_fit();
    const std::size_t before = mallinfo2().uordblks;
    CSpectrumDataSet set;
    set.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(set.Count(), kCount);
    const std::size_t after = mallinfo2().uordblks;
    EXPECT_LT(after - std::min(after, before), std::size_t{200} * kCount);
}
