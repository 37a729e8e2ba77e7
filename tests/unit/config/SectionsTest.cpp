#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <set>
#include <vector>

#include "ConfigTestSupport.h"
#include "core/config/3DGraphPrm.h"
#include "core/config/DataGraphPrm.h"
#include "core/config/ExportPrm.h"
#include "core/config/GeneralPrm.h"
#include "core/config/MeasurementPrm.h"
#include "core/config/NumericalGraphPrm.h"
#include "core/config/SearchPrm.h"

using configtest::Local;
using configtest::ScopedClock;

namespace {

// Key names in the order the file holds them under [section].
std::vector<std::string> KeysInFile(const std::string& text, const std::string& section) {
    std::vector<std::string> keys;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        std::size_t eq = line.find('=');
        if (inside && eq != std::string::npos) keys.push_back(line.substr(0, eq));
    }
    return keys;
}

std::vector<std::string> Numbered(const std::string& stem, int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i) out.push_back(stem + std::to_string(i));
    return out;
}

template <typename T>
std::vector<T> Concat(std::vector<T> a, const std::vector<T>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class SectionsTest : public configtest::WorkFolderTest {};

}  // namespace

TEST_F(SectionsTest, FreshSystemReadsTheDefaults) {
    ScopedClock clock(Local(2021, 6, 15, 13, 45, 10));
    CGeneralPrm general;
    EXPECT_TRUE(general.Load());
    EXPECT_EQ(general.m_DATA_STORED_FOLDER, "C:\\");
    EXPECT_EQ(general.m_DATA_STORED_FOLDER.size(), 3u);
    EXPECT_EQ(general.m_FILE_NAME_ID, "SPC");

    CMeasurementPrm m;
    EXPECT_TRUE(m.Load());
    EXPECT_EQ(m.m_MEASUREMENT_TYPE, 0);
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_START_TIME.GetString(), "2021/06/15 09:00:00");
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_END_TIME.GetString(), "2021/06/15 17:00:00");
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_SPAN, 300);
    EXPECT_EQ(m.m_EXPOSED_TIME, 0);
    EXPECT_NE(m.m_PORT_TYPE, 0);  // RS-232C
    EXPECT_EQ(m.m_RS232C_PORT, 1);
    EXPECT_EQ(m.m_MEASUREMENT_SOUND, 0);  // finish sound on
    EXPECT_EQ(m.m_CALIBRATION_TYPE, 0);

    CSearchPrm search;
    EXPECT_TRUE(search.Load());
    EXPECT_TRUE(search.m_SEARCH_START_DATE_TIME.empty() && search.m_SEARCH_END_DATE_TIME.empty() &&
                search.m_SEARCH_COMMENT.empty());

    CExportPrm ex;
    EXPECT_TRUE(ex.Load());
    EXPECT_EQ(ex.m_MIN_WAVELENGTH.Get(), 350.0f);
    EXPECT_EQ(ex.m_MAX_WAVELENGTH.Get(), 1050.0f);
    EXPECT_EQ(ex.m_MIN_INTEGRATION.Get(), 350.0f);
    EXPECT_EQ(ex.m_MAX_INTEGRATION.Get(), 1050.0f);
    EXPECT_TRUE(ex.m_FILE_NAME.empty());
    EXPECT_EQ(ex.m_EXPORT_TYPE.GetDefaultString(), "0");
    EXPECT_EQ(ex.m_EXPORT_TYPE + ex.m_SPECTRUM_UNIT + ex.m_WAVELENGTH_TYPE, 0);

    CDataGraphPrm dg;
    EXPECT_TRUE(dg.Load());
    EXPECT_EQ(dg.m_RANGE_MAX_X.Get(), 1050.0f);
    EXPECT_EQ(dg.m_RANGE_AUTO_Y, 1);
    EXPECT_EQ(dg.m_RANGE_AUTO_RATIO, 1);  // a ratio above 100 % is not cut off
    EXPECT_EQ(dg.m_SHOW_MEASURED_DATA, 1);
    EXPECT_EQ(dg.m_MEASURED_DATA_COLOR, 255);
    EXPECT_EQ(dg.m_BASE_DATA_COLOR, 65280);
    EXPECT_EQ(dg.m_DIFFERENCE_DATA_COLOR, 0x800080);
    EXPECT_EQ(dg.m_RATIO_DATA_COLOR, 0xFF0000);
    // The plural records get ten different colours, the first the measured red.
    std::set<int> colours;
    for (int i = 0; i < CDataGraphPrm::kPluralCount; ++i) {
        EXPECT_EQ(dg.m_SHOW_DATA[static_cast<std::size_t>(i)], 1);
        colours.insert(dg.m_DATA_COLOR[static_cast<std::size_t>(i)].Get());
        EXPECT_EQ(dg.m_DATA_COLOR[static_cast<std::size_t>(i)].Get() & ~0xFFFFFF, 0);
    }
    EXPECT_EQ(colours.size(), 10u);
    EXPECT_EQ(dg.m_DATA_COLOR[0], 255);

    CNumericalGraphPrm ng;
    EXPECT_TRUE(ng.Load());
    EXPECT_EQ(ng.m_SHOW_KIND, 8);
    EXPECT_EQ(ng.m_RANGE_MAX_UV_B.Get(), 100.0f);
    EXPECT_EQ(ng.m_MAX_INTEGRATION_AREA.Get(), 1050.0f);

    C3DGraphPrm g3;
    EXPECT_TRUE(g3.Load());
    EXPECT_EQ(g3.m_RANGE_AUTO_RATIO, 1);
    EXPECT_EQ(g3.m_ANGLE_THETA.Get(), 45.0f);
    EXPECT_EQ(g3.m_ANGLE_PHI.Get(), 45.0f);

    // Loading never creates a file.
    EXPECT_FALSE(std::filesystem::exists("ZQ118.ini"));
}

TEST_F(SectionsTest, SaveWritesEveryKeyInRegistrationOrder) {
    CGeneralPrm general;
    CSearchPrm search;
    CMeasurementPrm measurement;
    CExportPrm ex;
    CDataGraphPrm dg;
    CNumericalGraphPrm ng;
    C3DGraphPrm g3;
    for (CParameter* p : std::vector<CParameter*>{&general, &search, &measurement, &ex, &dg, &ng, &g3}) {
        p->Load();
        EXPECT_TRUE(p->Save()) << p->Section();
    }
    const std::string text = ReadFile("ZQ118.ini");
    EXPECT_EQ(KeysInFile(text, "GENERAL"), (std::vector<std::string>{"DATA_STORED_FOLDER", "FILE_NAME_ID"}));
    EXPECT_EQ(KeysInFile(text, "SEARCH"),
              (std::vector<std::string>{"SEARCH_START_DATE_TIME", "SEARCH_END_DATE_TIME", "SEARCH_COMMENT"}));
    EXPECT_EQ(KeysInFile(text, "MEASUREMENT"),
              (std::vector<std::string>{"MEASUREMENT_TYPE", "INTERVAL_MEASUREMENT_START_TIME",
                                        "INTERVAL_MEASUREMENT_END_TIME", "INTERVAL_MEASUREMENT_SPAN", "EXPOSED_TIME",
                                        "PORT_TYPE", "RS232C_PORT", "MEASUREMENT_SOUND", "CALIBRATION_TYPE"}));
    EXPECT_EQ(KeysInFile(text, "EXPORT"),
              (std::vector<std::string>{"MIN_WAVELENGTH", "MAX_WAVELENGTH", "MIN_INTEGRATION", "MAX_INTEGRATION",
                                        "FILE_NAME", "EXPORT_TYPE", "SPECTRUM_UNIT", "WAVELENGTH_TYPE"}));
    const std::vector<std::string> dataGraph = Concat(
        Concat(std::vector<std::string>{"RANGE_MIN_X", "RANGE_MAX_X", "RANGE_MIN_Y", "RANGE_MAX_Y", "RANGE_AUTO_Y",
                                        "UNIT_Y", "RANGE_MIN_RATIO", "RANGE_MAX_RATIO", "RANGE_AUTO_RATIO",
                                        "RANGE_MIN_INTEGRATION", "RANGE_MAX_INTEGRATION", "SHOW_GRID", "SHOW_MARKER",
                                        "SHOW_MEASURED_DATA", "SHOW_BASE_DATA", "SHOW_DIFFERENCE_DATA",
                                        "SHOW_RATIO_DATA", "SHOW_LAT_LON_ALTITUDE", "SHOW_PAR_PTM_LUX", "SHOW_UV",
                                        "SHOW_INTEGRATION", "MEASURED_DATA_COLOR", "BASE_DATA_COLOR",
                                        "DIFFERENCE_DATA_COLOR", "RATIO_DATA_COLOR", "SHOW_KIND"},
               Numbered("SHOW_DATA", 1, 10)),
        Numbered("DATA_COLOR", 1, 10));
    EXPECT_EQ(KeysInFile(text, "DATA_GRAPH"), dataGraph);
    std::vector<std::string> numerical{"SHOW_KIND", "DATA_COLOR", "TIME_AXIS_KIND", "SHOW_MARKER", "SHOW_GRID"};
    for (const char* q : {"PAR", "LUX", "PHOTON", "LON", "LAT", "ALTITUDE", "UV_A", "UV_B", "INTEGRATION"}) {
        numerical.push_back(std::string("RANGE_MIN_") + q);
        numerical.push_back(std::string("RANGE_MAX_") + q);
    }
    numerical.insert(numerical.end(), {"RANGE_AUTO_Y", "MIN_INTEGRATION_AREA", "MAX_INTEGRATION_AREA"});
    for (const char* q : {"PPFD", "R_FR", "CCT", "MEL_EDI", "DLI"}) {
        numerical.push_back(std::string("RANGE_MIN_") + q);
        numerical.push_back(std::string("RANGE_MAX_") + q);
    }
    EXPECT_EQ(KeysInFile(text, "NUMERICAL_GRAPH"), numerical);
    EXPECT_EQ(KeysInFile(text, "3D_GRAPH"),
              (std::vector<std::string>{"SHOW_KIND", "DATA_COLOR", "TIME_AXIS_KIND", "RANGE_MIN_X", "RANGE_MAX_X",
                                        "RANGE_MIN_Y", "RANGE_MAX_Y", "RANGE_AUTO_Y", "UNIT_Y", "RANGE_MIN_RATIO",
                                        "RANGE_MAX_RATIO", "RANGE_AUTO_RATIO", "ANGLE_THETA", "ANGLE_PHI"}));
    EXPECT_NE(text.find("DATA_STORED_FOLDER=C:\\\n"), std::string::npos);
    EXPECT_NE(text.find("DIFFERENCE_DATA_COLOR=8388736\n"), std::string::npos);
    EXPECT_NE(text.find("MAX_INTEGRATION_AREA=1050\n"), std::string::npos);
    EXPECT_EQ(text.find("Memo"), std::string::npos);  // the memo is never stored
}

TEST_F(SectionsTest, SaveKeepsOtherLinesAndReplacesKeysInPlace) {
    WriteFile("ZQ118.ini",
              "; written by hand\r\n[OTHER]\r\nX=1\r\n\r\n[general]\r\nfile_name_id = OLD\r\nUNKNOWN=keep me\r\n"
              "\r\n[TAIL]\r\nY=2");
    CGeneralPrm g;
    ASSERT_TRUE(g.Load());
    EXPECT_EQ(g.m_FILE_NAME_ID, "OLD");
    g.m_FILE_NAME_ID = "NEW";
    ASSERT_TRUE(g.Save());
    EXPECT_EQ(ReadFile("ZQ118.ini"),
              "; written by hand\r\n[OTHER]\r\nX=1\r\n\r\n[general]\r\nFILE_NAME_ID=NEW\r\nUNKNOWN=keep me\r\n"
              "DATA_STORED_FOLDER=C:\\\r\n\r\n[TAIL]\r\nY=2");
}

TEST_F(SectionsTest, StoredPluralColoursAndRatioRangeAreKept) {
    WriteFile("ZQ118.ini", "[DATA_GRAPH]\nDATA_COLOR2=255\nDATA_COLOR3=255\nRANGE_AUTO_RATIO=0\n");
    CDataGraphPrm dg;
    ASSERT_TRUE(dg.Load());
    EXPECT_EQ(dg.m_DATA_COLOR[1], 255);
    EXPECT_EQ(dg.m_DATA_COLOR[2], 255);
    EXPECT_NE(dg.m_DATA_COLOR[3], 255);
    EXPECT_EQ(dg.m_RANGE_AUTO_RATIO, 0);
}

TEST_F(SectionsTest, LoadTakesStoredTextsAndEveryLoadRereadsTheFile) {
    WriteFile("ZQ118.ini", "[MEASUREMENT]\nMEASUREMENT_TYPE=1\nINTERVAL_MEASUREMENT_SPAN=60s\nPORT_TYPE=\n");
    CMeasurementPrm a, b;
    ASSERT_TRUE(a.Load());
    EXPECT_EQ(a.m_MEASUREMENT_TYPE, 1);
    EXPECT_EQ(a.m_INTERVAL_MEASUREMENT_SPAN, 60);
    EXPECT_EQ(a.m_PORT_TYPE, 0);  // present but empty: not the default
    a.m_RS232C_PORT = 7;
    a.Save();
    ASSERT_TRUE(b.Load());
    EXPECT_EQ(b.m_RS232C_PORT, 7);
    WriteFile("ZQ118.ini", "[MEASUREMENT]\nRS232C_PORT=3\n");
    ASSERT_TRUE(a.Load());
    EXPECT_EQ(a.m_RS232C_PORT, 3);
    EXPECT_EQ(a.m_MEASUREMENT_TYPE, 0);  // gone from the file: default again
}

TEST_F(SectionsTest, RejectedTimeFallsBackToDefaultAndIsReported) {
    ScopedClock clock(Local(2021, 6, 15, 13, 45, 10));
    WriteFile("ZQ118.ini",
              "[MEASUREMENT]\nINTERVAL_MEASUREMENT_START_TIME=2009/13/01 00:00:00\n"
              "INTERVAL_MEASUREMENT_END_TIME=\nINTERVAL_MEASUREMENT_SPAN=60\n");
    CMeasurementPrm m;
    EXPECT_FALSE(m.Load());
    EXPECT_EQ(m.RejectedKeys(),
              (std::vector<std::string>{"INTERVAL_MEASUREMENT_START_TIME", "INTERVAL_MEASUREMENT_END_TIME"}));
    EXPECT_TRUE(m.WasRejected(m.m_INTERVAL_MEASUREMENT_START_TIME));
    EXPECT_FALSE(m.WasRejected(m.m_INTERVAL_MEASUREMENT_SPAN));
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_START_TIME.GetString(), "2021/06/15 09:00:00");
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_END_TIME.GetString(), "2021/06/15 17:00:00");
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_SPAN, 60);  // keys after the bad one still load

    // Saving repairs the file; the next load is clean.
    m.Save();
    CMeasurementPrm again;
    EXPECT_TRUE(again.Load());
    EXPECT_TRUE(again.RejectedKeys().empty());
}

TEST_F(SectionsTest, StoredTimeOfDayMovesToToday) {
    WriteFile("ZQ118.ini", "[MEASUREMENT]\nINTERVAL_MEASUREMENT_START_TIME=2003/04/05 06:07:08\n");
    ScopedClock clock(Local(2021, 6, 15, 13, 45, 10));
    CMeasurementPrm m;
    ASSERT_TRUE(m.Load());
    EXPECT_EQ(m.m_INTERVAL_MEASUREMENT_START_TIME.Get(), Local(2021, 6, 15, 6, 7, 8));
}

TEST_F(SectionsTest, CopiesAreIndependentSections) {
    CDataGraphPrm original;
    original.Load();
    CDataGraphPrm copy(original);
    copy.m_SHOW_DATA[9] = 0;
    copy.m_RANGE_MAX_Y = 5.0f;
    ASSERT_EQ(copy.Values().size(), original.Values().size());
    for (std::size_t i = 0; i < copy.Values().size(); ++i) {
        EXPECT_NE(copy.Values()[i], original.Values()[i]);
        EXPECT_EQ(copy.Values()[i]->GetName(), original.Values()[i]->GetName());
    }
    EXPECT_EQ(original.m_SHOW_DATA[9], 1);
    {
        CDataGraphPrm temp(copy);
        temp.m_SHOW_GRID = 0;
        original = temp;  // assignment keeps original's own registrations
    }
    ASSERT_TRUE(original.Save());
    CDataGraphPrm loaded;
    ASSERT_TRUE(loaded.Load());
    EXPECT_EQ(loaded.m_SHOW_DATA[9], 0);
    EXPECT_EQ(loaded.m_SHOW_GRID, 0);
    EXPECT_EQ(loaded.m_RANGE_MAX_Y.Get(), 5.0f);
}

TEST_F(SectionsTest, FailedWritesAreReportedAndHarmless) {
    CGeneralPrm g;
    g.SetFilePath("./missing/folder/ZQ118.ini");
    EXPECT_TRUE(g.Load());
    EXPECT_FALSE(g.Save());
    EXPECT_FALSE(std::filesystem::exists("missing"));
}

TEST_F(SectionsTest, ValuesWithLineBreaksStayOnOneLine) {
    CSearchPrm s;
    s.m_SEARCH_COMMENT = "two\r\nlines";
    ASSERT_TRUE(s.Save());
    CSearchPrm t;
    ASSERT_TRUE(t.Load());
    EXPECT_EQ(t.m_SEARCH_COMMENT, "two  lines");
    EXPECT_EQ(KeysInFile(ReadFile("ZQ118.ini"), "SEARCH").size(), 3u);
}

TEST_F(SectionsTest, DailyFilePathJoinsFolderPrefixAndDate) {
    CGeneralPrm g;
    g.Load();
    std::string path = "untouched";
    ASSERT_TRUE(g.DailyFilePath(2009, 5, 12, path));
    EXPECT_EQ(path, "C:\\SPC_20090512.hlx");
    ASSERT_TRUE(g.DailyFilePath(Local(2009, 5, 12, 23, 59, 59), path));
    EXPECT_EQ(path, "C:\\SPC_20090512.hlx");
    g.m_DATA_STORED_FOLDER = "D:\\data";
    g.m_FILE_NAME_ID = "ZQ";
    ASSERT_TRUE(g.DailyFilePath(2024, 2, 29, path));
    EXPECT_EQ(path, "D:\\data\\ZQ_20240229.hlx");
    g.m_DATA_STORED_FOLDER = "/srv/zq118/";
    ASSERT_TRUE(g.DailyFilePath(2024, 12, 1, path));
    EXPECT_EQ(path, "/srv/zq118/ZQ_20241201.hlx");
}

TEST_F(SectionsTest, DailyFilePathRefusesImpossibleDates) {
    CGeneralPrm g;
    g.Load();
    const struct {
        int y, m, d;
    } bad[] = {{1899, 5, 12}, {2009, 0, 1}, {2009, 13, 1}, {2009, 5, 0},  {2009, 5, 32},
               {2009, 4, 31}, {2023, 2, 29}, {1969, 12, 31}, {3001, 1, 1}, {-5, 1, 1}, {2147483647, 12, 31}};
    for (const auto& b : bad) {
        std::string path = "untouched";
        EXPECT_FALSE(g.DailyFilePath(b.y, b.m, b.d, path)) << b.y << "/" << b.m << "/" << b.d;
        EXPECT_EQ(path, "untouched");
    }
    std::string path = "untouched";
    EXPECT_FALSE(g.DailyFilePath(std::numeric_limits<platform::CalTime>::max(), path));
    EXPECT_FALSE(g.DailyFilePath(static_cast<platform::CalTime>(-86400 * 2), path));
    EXPECT_EQ(path, "untouched");
}

TEST_F(SectionsTest, GlobalSectionsAreSingleObjects) {
    EXPECT_EQ(&GlobalGeneralPrm(), &GlobalGeneralPrm());
    EXPECT_EQ(&GlobalExportPrm(), &GlobalExportPrm());
    EXPECT_EQ(GlobalExportPrm().Section(), "EXPORT");
}

TEST_F(SectionsTest, AwkwardFilesLoadWithoutHarm) {
    std::mt19937 rng(1234);
    std::string garbage;
    for (int i = 0; i < 20000; ++i) garbage += static_cast<char>(rng() & 0xFF);
    std::string noSections = garbage;  // garbage that cannot open a section of its own
    for (char& c : noSections)
        if (c == '[') c = '?';
    const std::string longValue(100000, 'L');
    static const char embeddedNul[] = "[GEN\0ERAL]\nFILE_NAME_ID=a\0b\n[";
    const std::vector<std::string> files = {
        "[GENERAL]\nFILE_NAME_ID=" + longValue + "\n[MEASUREMENT]\nRS232C_PORT=" + std::string(5000, '9'),
        "[GENERAL]\r\nFILE_NAME_ID=CRLF\r\n[EXPORT]\r\nMAX_WAVELENGTH=900\r\n",
        "[GENERAL]\nFILE_NAME_ID=first\nFILE_NAME_ID=second\n[GENERAL]\nFILE_NAME_ID=third",
        garbage,
        "[GENERAL]\n" + noSections + "\nFILE_NAME_ID=after\n",
        std::string(embeddedNul, sizeof embeddedNul - 1),
        "[[[[\n]]]]\n=\n==\n[GENERAL\nFILE_NAME_ID\n;FILE_NAME_ID=comment\n[]\n=x\n",
        std::string(300000, '\n') + "[3D_GRAPH]\nANGLE_PHI=10",
    };
    for (std::size_t i = 0; i < files.size(); ++i) {
        WriteFile("ZQ118.ini", files[i]);
        CGeneralPrm g;
        CMeasurementPrm m;
        CExportPrm e;
        C3DGraphPrm g3;
        g.Load();
        m.Load();
        e.Load();
        g3.Load();
        EXPECT_LE(g.m_FILE_NAME_ID.size(), 511u) << i;
        EXPECT_TRUE(g.Save()) << i;
        EXPECT_TRUE(m.Save()) << i;
        CGeneralPrm back;
        back.Load();
        EXPECT_EQ(back.m_FILE_NAME_ID, g.m_FILE_NAME_ID) << i;
        if (i == 0) {
            EXPECT_EQ(g.m_FILE_NAME_ID, std::string(511, 'L'));
            EXPECT_EQ(m.m_RS232C_PORT, std::numeric_limits<int>::max());
        }
        if (i == 1) {
            EXPECT_EQ(g.m_FILE_NAME_ID, "CRLF");
            EXPECT_EQ(e.m_MAX_WAVELENGTH.Get(), 900.0f);
            EXPECT_EQ(ReadFile("ZQ118.ini").find("\n\n"), std::string::npos);  // CR LF kept throughout
        }
        if (i == 2) {
            EXPECT_EQ(g.m_FILE_NAME_ID, "first");
        }
        if (i == 4) {
            EXPECT_EQ(g.m_FILE_NAME_ID, "after");
        }
        if (i == 7) {
            EXPECT_EQ(g3.m_ANGLE_PHI.Get(), 10.0f);
        }
    }
}
