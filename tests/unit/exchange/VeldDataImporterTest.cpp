// Import files are built by the tests from the format (ExchangeTestUtil.h).
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>

#include "core/data/BaseDataSet.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/exchange/VeldDataImporter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"

using namespace exchangetest;

namespace {

std::vector<std::string> Memos(const std::vector<CSpectrumData>& day) {
    std::vector<std::string> m;
    for (const auto& r : day) m.push_back(r.GetMemo());
    return m;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (dirent* e = ::readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class VeldDataImporterTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Europe/Berlin"};
    testsupport::TempWorkDir dir_;
    std::string data_;

    void SetUp() override {
        data_ = dir_.Path() + "/data";
        ::mkdir(data_.c_str(), 0755);
        SetGeneral(data_, "SPC");
    }

    void Store(const std::vector<std::pair<platform::CalTime, std::string>>& records) {
        std::vector<CSpectrumData> list;
        for (const auto& [t, memo] : records) list.push_back(InstrumentRecord(t, memo, 10.0f));
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.WriteAll(list), 1);
    }

    std::vector<CSpectrumData> Day(int y, int m, int d) {
        std::vector<CSpectrumData> list;
        CSpectrumDataReader().ReadDay(y, m, d, list);
        return list;
    }

    std::string DayFile(const char* date) { return data_ + "/SPC_" + date + ".hlx"; }

    bool Import(const std::string& bytes, bool overwrite = false) {
        testsupport::WriteFileBytes("in.srd", bytes);
        return CVeldDataImporter("in.srd").Import(overwrite);
    }
};

TEST_F(VeldDataImporterTest, RecordsOfAVersion3FileFollowTheStoredOnesOfTheirDay) {
    Store({{Local(2009, 5, 12, 8), "stored 8"}, {Local(2009, 5, 12, 9), "stored 9"}});
    ASSERT_TRUE(Import(HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "imported 10!", 2) +
                       RecordV3(Local(2009, 5, 12, 11), "eleven", 0, 7.0f)));
    std::vector<CSpectrumData> day = Day(2009, 5, 12);
    ASSERT_EQ(Memos(day), (std::vector<std::string>{"stored 8", "stored 9", "imported 1", "eleven"}));

    const CSpectrumData& r = day[2];
    EXPECT_EQ(r.GetTime(), Local(2009, 5, 12, 10));
    EXPECT_EQ(r.GetIdText(), "ZQ118-A");
    EXPECT_EQ(r.GetSerialNumber(), "SN42");
    EXPECT_EQ(r.GetStText(), "ST-1");
    EXPECT_EQ(r.GetFvText(), "FV-2");
    EXPECT_EQ(r.GetFtText(), "FT-3");
    EXPECT_EQ(r.GetTypeCode(), "100");  // the file has none; the writer's default
    EXPECT_FLOAT_EQ(r.GetCoefficient(0), 300.5f);
    EXPECT_FLOAT_EQ(r.GetCoefficient(1), 3.25f);
    EXPECT_FLOAT_EQ(r.GetCoefficient(2), -0.001f);
    EXPECT_FLOAT_EQ(r.GetCoefficient(3), 1e-7f);
    EXPECT_EQ(r.GetValid(), 1);
    EXPECT_EQ(r.GetExposureTime(), 40);
    EXPECT_EQ(r.GetTemperature(), 25.5f);
    EXPECT_EQ(r.GetLongitude(), static_cast<float>(139.123456789));
    EXPECT_EQ(r.GetLatitude(), -35.5f);
    EXPECT_EQ(r.GetAltitude(), 123.0f);
    EXPECT_EQ(r.GetFovCode(), 1);
    ASSERT_EQ(r.PixelCount(), 256);
    EXPECT_EQ(r.GetSignal()[255], 355.0f);
    EXPECT_EQ(r.GetCalibration()[0], 3.0f);  // table 2
    EXPECT_EQ(r.GetCalibration()[255], 3.0f + 255.0f / 1024.0f);
    EXPECT_EQ(day[3].GetCalibration()[1], 1.0f + 1.0f / 1024.0f);  // table 0
    EXPECT_EQ(day[3].GetSignal()[0], 7.0f);
}

TEST_F(VeldDataImporterTest, MergesInTimeOrderAndKeepsOrReplacesRecordsOfTheSameTime) {
    const std::vector<std::pair<platform::CalTime, std::string>> stored = {
        {Local(2009, 5, 12, 9), "s09"}, {Local(2009, 5, 12, 11), "s11"}, {Local(2009, 5, 12, 13), "s13"},
        {Local(2009, 5, 13, 9), "t09"}};
    const std::string file = HeaderV3() + RecordV3(Local(2009, 5, 12, 8), "i08") + RecordV3(Local(2009, 5, 12, 11), "i11") +
                             RecordV3(Local(2009, 5, 12, 12), "i12") + RecordV3(Local(2009, 5, 12, 14), "i14") +
                             RecordV3(Local(2009, 5, 13, 9), "j09") + RecordV3(Local(2009, 5, 14, 0), "k00");

    Store(stored);
    ASSERT_TRUE(Import(file, false));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"i08", "s09", "s11", "i12", "s13", "i14"}));
    EXPECT_EQ(Memos(Day(2009, 5, 13)), (std::vector<std::string>{"t09"}));
    EXPECT_EQ(Memos(Day(2009, 5, 14)), (std::vector<std::string>{"k00"}));

    // Importing the same file again adds nothing.
    ASSERT_TRUE(Import(file, false));
    EXPECT_EQ(testsupport::FileSize(DayFile("20090512")), 6 * 2560);

    for (const char* d : {"20090512", "20090513", "20090514"}) ASSERT_EQ(::unlink(DayFile(d).c_str()), 0);
    Store(stored);
    ASSERT_TRUE(Import(file, true));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"i08", "s09", "i11", "i12", "s13", "i14"}));
    EXPECT_EQ(Memos(Day(2009, 5, 13)), (std::vector<std::string>{"j09"}));
    // Only the day files remain in the folder: no temporary file is left behind.
    EXPECT_EQ(FolderNames(data_),
              (std::vector<std::string>{"SPC_20090512.hlx", "SPC_20090513.hlx", "SPC_20090514.hlx"}));
}

TEST_F(VeldDataImporterTest, ARecordOfAnEarlierDayAfterALaterOneIsMergedIntoTheRewrittenDay) {
    Store({{Local(2009, 5, 12, 12), "s12"}});
    ASSERT_TRUE(Import(HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "a10") + RecordV3(Local(2009, 5, 13, 10), "b10") +
                       RecordV3(Local(2009, 5, 12, 14), "a14")));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"a10", "s12", "a14"}));
    EXPECT_EQ(Memos(Day(2009, 5, 13)), (std::vector<std::string>{"b10"}));
}

// The history keeps (file date, offset); a record merged in before the standard moves it. The data
// folder may be the working folder, where the history's lock is the data folder's.
TEST_F(VeldDataImporterTest, TheStandardHistoryFollowsItsRecordWhenAnImportMovesIt) {
    SetGeneral(dir_.Path(), "SPC");
    Store({{Local(2009, 5, 12, 10), "ten"}, {Local(2009, 5, 12, 12), "noon"}});
    ASSERT_TRUE(CBaseDataSet().Register(Local(2009, 5, 12), 2560));
    ASSERT_TRUE(Import(HeaderV3() + RecordV3(Local(2009, 5, 12, 11), "eleven", 0)));
    auto current = [](int64_t& offset) {
        CBaseDataSet standard;
        platform::CalTime date = 0;
        offset = -1;
        EXPECT_TRUE(standard.ItemLocation(0, date, offset));
        return standard.Current() ? standard.Current()->GetMemo() : std::string("none");
    };
    int64_t offset;
    EXPECT_EQ(current(offset), "noon");
    EXPECT_EQ(offset, 2 * 2560);
    // Replaced by an overwriting import, it names the record that took its place.
    ASSERT_TRUE(Import(HeaderV3() + RecordV3(Local(2009, 5, 12, 9), "nine", 0) + RecordV3(Local(2009, 5, 12, 12), "new noon", 0),
                       true));
    EXPECT_EQ(current(offset), "new noon");
    EXPECT_EQ(offset, 3 * 2560);
}

// 01:30 comes twice on the night daylight saving ends; the day file stores both as 01:30:00. In
// calendar order 01:10 EST follows 01:50 EDT, which the day file orders the other way.
TEST_F(VeldDataImporterTest, RecordsOfTheRepeatedHourAreFoundAgainByTheirStoredClock) {
    testsupport::TzGuard newYork("America/New_York");
    const platform::CalTime edt = 1793511000, est = edt + 3600, three = 1793520000;  // 01:30 EDT, 01:30 EST, 03:00
    const std::string file = HeaderV3() + RecordV3(edt, "edt", 0) + RecordV3(edt + 1200, "edt 1:50", 0) +
                             RecordV3(est - 1200, "est 1:10", 0) + RecordV3(est, "est", 0) + RecordV3(three, "three", 0);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(Import(file, round == 2));
        EXPECT_EQ(Memos(Day(2026, 11, 1)), (std::vector<std::string>{"est 1:10", "edt", "est", "edt 1:50", "three"}))
            << round;
    }
    // The record of 01:10 given as the first pass is the same stored record.
    ASSERT_TRUE(Import(HeaderV3() + RecordV3(edt - 1200, "again 1:10", 0), true));
    EXPECT_EQ(Memos(Day(2026, 11, 1)), (std::vector<std::string>{"again 1:10", "edt", "est", "edt 1:50", "three"}));
}

// The day's file lost part of a record in the middle: merging would move every record and drop
// those bytes, so the import stops at that day and says which file it is.
TEST_F(VeldDataImporterTest, ADayFileDamagedInTheMiddleIsNotMergedInto) {
    Store({{Local(2009, 5, 12, 8), "a"}, {Local(2009, 5, 12, 9), "b"}, {Local(2009, 5, 12, 10), "c"}});
    std::string bytes = testsupport::ReadFileBytes(DayFile("20090512"));
    bytes.erase(2560, 700);
    testsupport::WriteFileBytes(DayFile("20090512"), bytes);
    testsupport::WriteFileBytes("in.srd", HeaderV3() + RecordV3(Local(2009, 5, 11, 9), "earlier", 0) +
                                              RecordV3(Local(2009, 5, 12, 11), "later", 0));
    CVeldDataImporter importer("in.srd");
    EXPECT_FALSE(importer.Import(false));
    EXPECT_EQ(importer.LastFailure(), CVeldDataImporter::Failure::DataFolder);
    EXPECT_NE(importer.Detail().find(DayFile("20090512") + " is damaged"), std::string::npos) << importer.Detail();
    EXPECT_TRUE(testsupport::ReadFileBytes(DayFile("20090512")) == bytes);
    EXPECT_EQ(Memos(Day(2009, 5, 11)), (std::vector<std::string>{"earlier"}));
}

TEST_F(VeldDataImporterTest, OlderVersionsCarryTheMemoInTheHeaderAndFewerTables) {
    ASSERT_TRUE(Import(HeaderOld("01.50", 0) + RecordOld(Local(2009, 5, 12, 6)) + RecordOld(Local(2009, 5, 12, 7), 60.0f)));
    std::vector<CSpectrumData> day = Day(2009, 5, 12);
    ASSERT_EQ(day.size(), 2u);
    for (const auto& r : day) {
        EXPECT_EQ(r.GetMemo(), "old memo");
        EXPECT_EQ(r.GetIdText(), "ZQ100");
        EXPECT_EQ(r.GetSerialNumber(), "S7");
        EXPECT_EQ(r.GetFtText(), "ft");
        EXPECT_EQ(r.GetExtraReal(), 2.5f);
        EXPECT_EQ(r.GetExtraInteger(), -17);
        EXPECT_EQ(r.GetCoefficient(0), 350.0f);
        EXPECT_EQ(r.GetExposureTime(), 80);
        EXPECT_EQ(r.GetTemperature(), 10.0f);
        // Fields the file does not give keep a new record's values.
        EXPECT_EQ(r.GetFovCode(), 3);
        EXPECT_EQ(r.GetLongitude(), 0.0f);
        ASSERT_EQ(r.GetCalibration().size(), 256u);
        for (float c : r.GetCalibration()) ASSERT_EQ(c, 1.0f);
    }
    EXPECT_EQ(day[1].GetSignal()[3], 63.0f);

    // "02.00" up to "03.00" has one table.
    ASSERT_TRUE(Import(HeaderOld("02.50", 1) + RecordOld(Local(2009, 5, 13, 6))));
    day = Day(2009, 5, 13);
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].GetCalibration()[4], 1.0f + 4.0f / 1024.0f);
    EXPECT_EQ(day[0].GetMemo(), "old memo");
}

TEST_F(VeldDataImporterTest, TheVersionComparesAsSixBytes) {
    // A CR before the LF belongs to the value: "03.00\r" sorts after "03.00"; "02.00\r" after "02.00".
    ASSERT_TRUE(Import(HeaderV3("03.00\r") + RecordV3(Local(2009, 5, 1, 1), "cr")));
    EXPECT_EQ(Memos(Day(2009, 5, 1)), (std::vector<std::string>{"cr"}));
    ASSERT_TRUE(Import(HeaderOld("02.00\r", 1) + RecordOld(Local(2009, 5, 2, 1))));
    EXPECT_EQ(Day(2009, 5, 2).at(0).GetCalibration()[0], 1.0f);
    EXPECT_EQ(Day(2009, 5, 2).at(0).GetCalibration()[1], 1.0f + 1.0f / 1024.0f);
    // "03.0" is shorter and so below "03.00"; "0.9" is below "02.00"; "10.00" is above "03.00".
    ASSERT_TRUE(Import(HeaderOld("03.0", 1) + RecordOld(Local(2009, 5, 3, 1))));
    ASSERT_TRUE(Import(HeaderOld("0.9", 0) + RecordOld(Local(2009, 5, 4, 1))));
    ASSERT_TRUE(Import(HeaderV3("10.00") + RecordV3(Local(2009, 5, 5, 1), "ten")));
    EXPECT_EQ(Day(2009, 5, 3).size(), 1u);
    EXPECT_EQ(Day(2009, 5, 4).size(), 1u);
    EXPECT_EQ(Memos(Day(2009, 5, 5)), (std::vector<std::string>{"ten"}));
    // A version line of any length.
    ASSERT_TRUE(Import(HeaderV3("03.00" + std::string(100000, 'x')) + RecordV3(Local(2009, 5, 6, 1), "long")));
    EXPECT_EQ(Memos(Day(2009, 5, 6)), (std::vector<std::string>{"long"}));
}

TEST_F(VeldDataImporterTest, AFileEndingAfterTheTablesImportsNothing) {
    ASSERT_TRUE(Import(HeaderV3()));
    ASSERT_TRUE(Import(HeaderOld("01.00", 0)));
    EXPECT_TRUE(FolderNames(data_).empty());
}

TEST_F(VeldDataImporterTest, DamagedFilesFailAndLeaveEveryStoredRecord) {
    Store({{Local(2009, 5, 12, 9), "s09"}, {Local(2009, 5, 12, 13), "s13"}});
    const std::string before = testsupport::ReadFileBytes(DayFile("20090512"));
    const std::string good = HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "i10") + RecordV3(Local(2009, 5, 12, 11), "i11");
    const std::string header = HeaderV3();
    const std::size_t versionLine = std::string("Version,03.00\n").size();

    const std::vector<std::pair<const char*, std::string>> damaged = {
        {"empty", ""},
        {"version without LF", "Version,03.00"},
        {"header cut", header.substr(0, versionLine + 20)},
        {"no comma", "Version 03.00\n" + header.substr(versionLine)},
        {"skipped line without LF", header.substr(0, header.find("Pixel data") + 5)},
        {"tables cut", header.substr(0, header.size() - 1)},
        {"record cut", good.substr(0, good.size() - 500)},
        {"last 4 bytes missing", good.substr(0, good.size() - 4)},
        {"one byte more", good + "x"},
        {"table 4", HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "t4", 4)},
        {"table -1", HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "i10") + RecordV3(Local(2009, 5, 12, 11), "t", -1)},
        {"time beyond the calendar", HeaderV3() + RecordV3(int64_t{1} << 60, "far")},
        {"old record cut", HeaderOld("01.00", 0) + RecordOld(Local(2009, 5, 12, 10)).substr(0, 1039)},
    };
    for (const auto& [name, bytes] : damaged) {
        EXPECT_FALSE(Import(bytes, true)) << name;
        EXPECT_EQ(testsupport::ReadFileBytes(DayFile("20090512")), before) << name;
        EXPECT_EQ(FolderNames(data_), (std::vector<std::string>{"SPC_20090512.hlx"})) << name;
    }
    CVeldDataImporter missing("missing.srd");
    EXPECT_FALSE(missing.Import(false));
    EXPECT_EQ(missing.LastFailure(), CVeldDataImporter::Failure::File);
    testsupport::WriteFileBytes("cut.srd", good.substr(0, good.size() - 4));
    CVeldDataImporter cut("cut.srd");
    EXPECT_FALSE(cut.Import(false));
    EXPECT_EQ(cut.LastFailure(), CVeldDataImporter::Failure::File);
    ASSERT_TRUE(Import(good));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"s09", "i10", "i11", "s13"}));
}

TEST_F(VeldDataImporterTest, DaysFinishedBeforeAFailureStayMergedAndTheDayBeingMergedStaysAsItWas) {
    Store({{Local(2009, 5, 12, 9), "s09"}, {Local(2009, 5, 13, 9), "t09"}, {Local(2009, 5, 13, 18), "t18"}});
    const std::string before13 = testsupport::ReadFileBytes(DayFile("20090513"));
    const std::string file = HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "a10") + RecordV3(Local(2009, 5, 13, 8), "b08") +
                             RecordV3(Local(2009, 5, 13, 10), "b10");
    EXPECT_FALSE(Import(file.substr(0, file.size() - 100)));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"s09", "a10"}));
    EXPECT_EQ(testsupport::ReadFileBytes(DayFile("20090513")), before13);
}

// A real write failure in the middle of rewriting a day: the file size limit stops the temporary
// file after two records while the merged day needs five.
TEST_F(VeldDataImporterTest, AWriteFailurePartWayLeavesTheDayFileIntact) {
    Store({{Local(2009, 5, 12, 9), "s09"}, {Local(2009, 5, 12, 10), "s10"}, {Local(2009, 5, 12, 13), "s13"}});
    const std::string before = testsupport::ReadFileBytes(DayFile("20090512"));
    const std::string file =
        HeaderV3() + RecordV3(Local(2009, 5, 12, 11), "i11") + RecordV3(Local(2009, 5, 12, 12), "i12");
    testsupport::WriteFileBytes("in.srd", file);

    CVeldDataImporter full("in.srd");
    bool ok;
    {
        testsupport::FileSizeLimit limit(2 * 2560 + 100);
        ok = full.Import(false);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(full.LastFailure(), CVeldDataImporter::Failure::DataFolder);
    EXPECT_EQ(testsupport::ReadFileBytes(DayFile("20090512")), before);
    EXPECT_EQ(FolderNames(data_), (std::vector<std::string>{"SPC_20090512.hlx"}));
    ASSERT_TRUE(CVeldDataImporter("in.srd").Import(false));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"s09", "s10", "i11", "i12", "s13"}));
}

TEST_F(VeldDataImporterTest, BytesTheReaderCannotDecodeAreCarriedOverNotDropped) {
    Store({{Local(2009, 5, 12, 9), "s09"}});
    std::string bytes = testsupport::ReadFileBytes(DayFile("20090512"));
    std::string foreign(2560, '\xff');  // N far outside 0..280
    bytes += foreign + "partial tail";
    testsupport::WriteFileBytes(DayFile("20090512"), bytes);

    ASSERT_TRUE(Import(HeaderV3() + RecordV3(Local(2009, 5, 12, 8), "i08")));
    const std::string after = testsupport::ReadFileBytes(DayFile("20090512"));
    ASSERT_EQ(after.size(), 2u * 2560u + foreign.size() + 12u);
    EXPECT_EQ(after.substr(2 * 2560), foreign + "partial tail");
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"i08", "s09"}));
}

TEST_F(VeldDataImporterTest, ADayFileNamedInAnotherCaseIsRewrittenInPlace) {
    Store({{Local(2009, 5, 12, 9), "s09"}});
    ASSERT_EQ(::rename(DayFile("20090512").c_str(), (data_ + "/spc_20090512.HLX").c_str()), 0);
    ASSERT_TRUE(Import(HeaderV3() + RecordV3(Local(2009, 5, 12, 10), "i10")));
    EXPECT_EQ(FolderNames(data_), (std::vector<std::string>{"spc_20090512.HLX"}));
    EXPECT_EQ(Memos(Day(2009, 5, 12)), (std::vector<std::string>{"s09", "i10"}));
}

}  // namespace
