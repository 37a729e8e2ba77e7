#include <gtest/gtest.h>

#include <cstring>

#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"

using namespace datatest;
using testsupport::FileSize;
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;

namespace {

class DataFileTest : public ::testing::Test {
protected:
    testsupport::TzGuard tz_{"Asia/Tokyo"};
    testsupport::TempWorkDir dir_;
    void SetUp() override { SetGeneral(dir_.Path(), "SPC"); }
    std::string DayFile(const char* date) { return dir_.Path() + "/SPC_" + date + ".hlx"; }
};

uint32_t U32(const std::string& b, std::size_t off) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[off])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[off + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[off + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[off + 3])) << 24;
}

float F32(const std::string& b, std::size_t off) {
    uint32_t u = U32(b, off);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

}  // namespace

TEST_F(DataFileTest, RecordImageMatchesTheLayoutByteForByte) {
    CSpectrumData r = MakeRecord(Local(2009, 5, 12, 7, 8, 9), "memo text");
    r.SetTypeCode("");  // written as "100"
    r.SetExtraInteger(-7);
    r.SetExtraReal(1.5f);
    r.SetLongitude(139.5f);
    r.SetLatitude(35.25f);
    r.SetAltitude(12.0f);
    r.SetCoefficient(5, 9.0f);  // not 'H': must not be stored
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(r), 1);
    std::string b = ReadFileBytes(DayFile("20090512"));
    ASSERT_EQ(b.size(), 2560u);
    EXPECT_EQ(std::string(b.data(), 4), std::string("100\0", 4));
    EXPECT_EQ(std::string(b.data() + 4, 6), std::string("ZQ118\0", 6));
    EXPECT_EQ(std::string(b.data() + 68, 7), std::string("SN0001\0", 7));
    EXPECT_EQ(static_cast<int32_t>(U32(b, 164)), -7);
    EXPECT_EQ(F32(b, 168), 1.5f);
    EXPECT_EQ(F32(b, 172), 20.0f);
    EXPECT_EQ(F32(b, 176), 300.0f);
    EXPECT_EQ(F32(b, 180), 3.1372549f);
    EXPECT_EQ(std::string(b.data() + 196, 20), std::string("2009\0" "05\0" "12\0" "07\0" "08\0" "09\0", 20));
    EXPECT_EQ(std::string(b.data() + 216, 10), std::string("memo text\0", 10));
    EXPECT_EQ(U32(b, 280), 1u);
    EXPECT_EQ(U32(b, 284), 50u);
    EXPECT_EQ(F32(b, 288), 139.5f);
    EXPECT_EQ(F32(b, 292), 35.25f);
    EXPECT_EQ(F32(b, 296), 12.0f);
    EXPECT_EQ(U32(b, 300), 0u);
    EXPECT_EQ(U32(b, 304), 0u);
    EXPECT_EQ(U32(b, 308), 256u);
    EXPECT_EQ(U32(b, 312), 0u);  // c5 only for 'H'
    // 196 zero padding bytes, then calibration, then signal, ending exactly at 2560.
    EXPECT_EQ(b.substr(316, 196), std::string(196, '\0'));
    EXPECT_EQ(F32(b, 512), 0.5f);
    EXPECT_EQ(F32(b, 512 + 4 * 255), 0.5f);
    EXPECT_EQ(F32(b, 1536), 100.0f);
    EXPECT_EQ(F32(b, 2556), 355.0f);
}

TEST_F(DataFileTest, HTypeStoresC5AndReadsItBack) {
    CSpectrumData r = MakeRecord(Local(2009, 5, 12, 7));
    r.SetTypeCode("1H0");
    r.SetCoefficient(5, 2.5e-12f);
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(r), 1);
    std::string b = ReadFileBytes(DayFile("20090512"));
    EXPECT_EQ(F32(b, 312), 2.5e-12f);
    CSpectrumDataReader reader;
    std::vector<CSpectrumData> day;
    reader.ReadDay(2009, 5, 12, day);
    ASSERT_EQ(day.size(), 1u);
    ASSERT_GE(day[0].GetCoefficients().size(), 6u);
    EXPECT_EQ(day[0].GetCoefficient(5), 2.5e-12f);
}

TEST_F(DataFileTest, RoundTripKeepsEveryStoredField) {
    CSpectrumData r = MakeRecord(Local(2009, 5, 12, 23, 59, 59), "日本語のメモ");
    r.SetStText("ST");
    r.SetFvText("FV1");
    r.SetFtText("FT2");
    r.SetFovCode(2);
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.AppendRecord(r), 1);
    CSpectrumDataReader reader;
    std::vector<CSpectrumData> day;
    ASSERT_EQ(reader.ReadDay(2009, 5, 12, day), 1);
    ASSERT_EQ(day.size(), 1u);
    const CSpectrumData& g = day[0];
    EXPECT_EQ(g.GetTime(), r.GetTime());
    EXPECT_EQ(g.GetMemo(), r.GetMemo());
    EXPECT_EQ(g.GetStText(), "ST");
    EXPECT_EQ(g.GetFvText(), "FV1");
    EXPECT_EQ(g.GetFtText(), "FT2");
    EXPECT_EQ(g.GetFovCode(), 2);
    EXPECT_EQ(g.GetSignal(), r.GetSignal());
    EXPECT_EQ(g.GetCalibration(), r.GetCalibration());
    EXPECT_EQ(g.GetValid(), 1);
}

TEST_F(DataFileTest, WriteAllSplitsRecordsIntoTheirDays) {
    std::vector<CSpectrumData> list = {MakeRecord(Local(2009, 5, 12, 10)), MakeRecord(Local(2009, 5, 12, 11)),
                                       MakeRecord(Local(2009, 5, 12, 12)), MakeRecord(Local(2009, 5, 13, 1))};
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.WriteAll(list), 1);
    EXPECT_EQ(FileSize(DayFile("20090512")), 7680);
    EXPECT_EQ(FileSize(DayFile("20090513")), 2560);
}

TEST_F(DataFileTest, TruncatedLastRecordAndZeroPixelRecords) {
    CSpectrumData empty = MakeRecord(Local(2009, 5, 12, 10));
    empty.SetSignal(std::vector<float>());
    empty.SetCalibration(std::vector<float>());
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.WriteAll({empty, MakeRecord(Local(2009, 5, 12, 11))}), 1);
    std::string b = ReadFileBytes(DayFile("20090512"));
    EXPECT_EQ(b.substr(316, 2244), std::string(2244, '\0'));  // N = 0: all padding
    WriteFileBytes(DayFile("20090512"), b + std::string(1, 'x'));  // 5121 bytes
    CSpectrumDataReader reader;
    std::vector<CSpectrumData> day;
    reader.ReadDay(2009, 5, 12, day);
    ASSERT_EQ(day.size(), 2u);
    EXPECT_EQ(day[0].PixelCount(), 0);
    EXPECT_EQ(day[1].PixelCount(), 256);
}

TEST_F(DataFileTest, ForeignRecordsAreRejectedAndSkipped) {
    CSpectrumDataWriter writer;
    ASSERT_EQ(writer.WriteAll({MakeRecord(Local(2009, 5, 12, 1), "a"), MakeRecord(Local(2009, 5, 12, 2), "b"),
                               MakeRecord(Local(2009, 5, 12, 3), "c"), MakeRecord(Local(2009, 5, 12, 4), "d"),
                               MakeRecord(Local(2009, 5, 12, 5), "e")}),
              1);
    std::string b = ReadFileBytes(DayFile("20090512"));
    // Record 1: N = 281. Record 2: memo without its zero byte. Record 3: month 13.
    b[2560 + 308] = static_cast<char>(0x19);
    b[2560 + 309] = 0x01;
    std::memset(&b[2 * 2560 + 216], 'M', 64);
    b[3 * 2560 + 201] = '1';
    b[3 * 2560 + 202] = '3';
    WriteFileBytes(DayFile("20090512"), b);
    CSpectrumDataReader reader;
    std::vector<CSpectrumData> day;
    reader.ReadDay(2009, 5, 12, day);
    ASSERT_EQ(day.size(), 2u);
    EXPECT_EQ(day[0].GetMemo(), "a");
    EXPECT_EQ(day[1].GetMemo(), "e");

    unsigned char image[2560] = {};
    std::memcpy(image, b.data() + 2560, 2560);
    CSpectrumData untouched = MakeRecord(Local(2001, 1, 1), "keep");
    EXPECT_FALSE(CSpectrumDataReader::Decode(image, untouched));
    EXPECT_EQ(untouched.GetMemo(), "keep");
    // A negative pixel count must not be taken as a size either.
    std::memset(image + 308, 0xFF, 4);
    EXPECT_FALSE(CSpectrumDataReader::Decode(image, untouched));
}

TEST_F(DataFileTest, LongTextsAreCutAtCharacterBoundariesAndOversizedRecordsRefused) {
    CSpectrumData r = MakeRecord(Local(2009, 5, 12, 10));
    std::string memo;
    for (int i = 0; i < 30; ++i) memo += "あ";  // 90 bytes, 3 per character
    r.SetMemo(memo);
    r.SetIdText(std::string(40, 'I'));
    unsigned char image[2560];
    ASSERT_TRUE(CSpectrumDataWriter::Encode(r, image));
    CSpectrumData back;
    ASSERT_TRUE(CSpectrumDataReader::Decode(image, back));
    EXPECT_EQ(back.GetMemo().size(), 63u);  // 21 whole characters
    EXPECT_EQ(back.GetMemo(), memo.substr(0, 63));
    EXPECT_EQ(back.GetIdText(), std::string(31, 'I'));

    CSpectrumData big = MakeRecord(Local(2009, 5, 12, 10));
    big.SetSignal(std::vector<float>(281, 1.0f));
    big.SetCalibration(std::vector<float>(281, 1.0f));
    EXPECT_FALSE(CSpectrumDataWriter::Encode(big, image));
    CSpectrumDataWriter writer;
    EXPECT_EQ(writer.AppendRecord(big), 0);
    EXPECT_EQ(FileSize(DayFile("20090512")), -1);
}

TEST_F(DataFileTest, AppendFailsCleanlyWhenTheFolderIsMissing) {
    SetGeneral(dir_.Path() + "/no/such/folder", "SPC");
    CSpectrumDataWriter writer;
    EXPECT_EQ(writer.AppendRecord(MakeRecord(Local(2009, 5, 12, 10))), 0);
    EXPECT_EQ(writer.WriteAll({MakeRecord(Local(2009, 5, 12, 10))}), 0);
    CSpectrumDataReader reader;
    std::vector<CSpectrumData> day(3);
    EXPECT_EQ(reader.ReadDay(2009, 5, 12, day), 1);
    EXPECT_TRUE(day.empty());
    EXPECT_EQ(reader.ReadDay(2009, 2, 30, day), 0);  // no such date
}

TEST_F(DataFileTest, GivenSettingsWinOverTheSettingsFileAndAreKeptForTheirLife) {
    // The file points at one folder; the settings handed over name another (as a run started
    // before the user changed the folder).
    CGeneralPrm given;
    given.Load();
    given.m_FILE_NAME_ID = std::string("RUN");
    SetGeneral(dir_.Path() + "/no/such/folder", "SPC");
    CSpectrumDataWriter writer(given);
    ASSERT_EQ(writer.AppendRecord(MakeRecord(Local(2009, 5, 12, 10), "given")), 1);
    EXPECT_EQ(FileSize(dir_.Path() + "/RUN_20090512.hlx"), 2560);
    CSpectrumDataReader reader(given);
    std::vector<CSpectrumData> day;
    ASSERT_EQ(reader.ReadDay(2009, 5, 12, day), 1);
    ASSERT_EQ(day.size(), 1u);
    EXPECT_EQ(day[0].GetMemo(), "given");
    CSpectrumDataReader fromFile;  // the file's missing folder: an empty day
    EXPECT_EQ(fromFile.ReadDay(2009, 5, 12, day), 1);
    EXPECT_TRUE(day.empty());
}
