// Start-up of the main dialog: texts and defaults on an empty working folder, the Japanese table,
// and a damaged configuration, data folder and data file that must not stop the program.
#include <gtest/gtest.h>

#include <QScreen>

#include <QAbstractItemModel>
#include <QHeaderView>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "AppTestUtil.h"
#include "gui/shell/HeliarcApp.h"
#include "core/data/SpectrumDataWriter.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/BaseDataThumbnailWnd.h"
#include "gui/common/ColorStatic.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailWnd.h"

namespace {

using apptest::AppTest;

TEST_F(AppTest, StartsOnAnEmptyFolderWithDefaultsAndResetsTheExposure) {
    CHeliarcDlg& d = MakeDialog();
    EXPECT_EQ(d.windowTitle().toStdString(), "ZQ118 - Heliarc");
    EXPECT_EQ(TextOf("modeText"), "Manual measurement");
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_EQ(TextOf("startStopButton"), "Start");
    EXPECT_TRUE(Find<QPushButton>("startStopButton")->isEnabled());
    EXPECT_EQ(TextOf("clockText").size(), 8u);  // HH:MM:SS
    EXPECT_EQ(d.Latest().GetTime(), 0);
    EXPECT_EQ(d.OpenModalCount(), 0);
    EXPECT_TRUE(prompter.calls.empty());

    // Steady white on black for the three statics.
    for (const char* id : {"modeText", "statusText", "clockText"}) {
        auto* s = Find<CColorStatic>(id);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->CurrentTextColor(), 0xFFFFFFu) << id;
        EXPECT_EQ(s->CurrentBackgroundColor(), 0x000000u) << id;
        EXPECT_FALSE(s->IsBlinking());
    }

    // The record list: eight columns, the values with their units and right-aligned, no rows.
    CDataListCtrl* list = d.RecordList();
    ASSERT_EQ(list->model()->columnCount(), 8);
    const char* headings[] = {"Measurement time", "Comment",        "PAR[W/m^2]",  "Photon[umol/m^2/s]",
                              "Lux[lx]",          "Longitude[deg]", "Latitude[deg]", "Altitude[m]"};
    for (int c = 0; c < 8; ++c) {
        EXPECT_EQ(list->model()->headerData(c, Qt::Horizontal).toString().toStdString(), headings[c]);
        const auto align = list->model()->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).value<Qt::Alignment>();
        EXPECT_EQ(bool(align & Qt::AlignRight), c >= 2) << c;
        // Each heading fits its column.
        EXPECT_GE(list->columnWidth(c), list->TextWidth(headings[c])) << c;
    }
    EXPECT_EQ(list->ItemCount(), 0);
    EXPECT_GT(list->columnWidth(0), list->columnWidth(2));

    // The file now exists with automatic exposure and the (empty) search saved.
    EXPECT_EQ(Ini("MEASUREMENT", "EXPOSED_TIME"), "0");
    EXPECT_EQ(Ini("SEARCH", "SEARCH_START_DATE_TIME"), "");

    // The thumbnail frames stand at the left edge, visible and not closable by the user.
    ASSERT_NE(d.DataThumbnailWnd(), nullptr);
    ASSERT_NE(d.BaseDataThumbnailWnd(), nullptr);
    EXPECT_TRUE(d.DataThumbnailWnd()->isVisible());
    EXPECT_EQ(d.DataThumbnailWnd()->windowTitle().toStdString(), "Measured data thumbnail");
    EXPECT_EQ(d.BaseDataThumbnailWnd()->windowTitle().toStdString(), "Standard data thumbnail");
    // Fully on the screen, frames included, and wide enough for their titles.
    for (QWidget* frame : {static_cast<QWidget*>(d.DataThumbnailWnd()), static_cast<QWidget*>(d.BaseDataThumbnailWnd())}) {
        EXPECT_TRUE(frame->screen()->availableGeometry().contains(frame->frameGeometry())) << frame->objectName().toStdString();
        EXPECT_GE(frame->width(), frame->fontMetrics().horizontalAdvance(frame->windowTitle()));
        EXPECT_GE(frame->width(), 160);
    }
    EXPECT_FALSE(d.DataThumbnailWnd()->close());
    EXPECT_TRUE(d.DataThumbnailWnd()->isVisible());
}

TEST_F(AppTest, StoredExposureIsResetAndIntervalModeTextIsBuilt) {
    {
        std::ofstream ini("ZQ118.ini");
        ini << "[MEASUREMENT]\nMEASUREMENT_TYPE=1\nINTERVAL_MEASUREMENT_START_TIME=2009/5/1 8:05:00\n"
               "INTERVAL_MEASUREMENT_END_TIME=2009/5/1 18:30:15\nINTERVAL_MEASUREMENT_SPAN=600\nEXPOSED_TIME=7\n"
               "[SEARCH]\nSEARCH_START_DATE_TIME=2009/5\nSEARCH_COMMENT=roof\n";
    }
    MakeDialog();
    EXPECT_EQ(TextOf("modeText"), "Interval measurement 08:05:00 - 18:30:15, 600 sec interval");
    EXPECT_EQ(Ini("MEASUREMENT", "EXPOSED_TIME"), "0");
    EXPECT_EQ(Ini("MEASUREMENT", "INTERVAL_MEASUREMENT_SPAN"), "600");
    // The saved search is put into the boxes.
    EXPECT_EQ(TextOf("searchFromEdit"), "2009/5");
    EXPECT_EQ(TextOf("searchToEdit"), "");
    EXPECT_EQ(TextOf("searchCommentEdit"), "roof");
}

TEST_F(AppTest, TransferModeAndUnknownTypeShowDataTransfer) {
    for (const char* type : {"2", "7"}) {
        { std::ofstream("ZQ118.ini") << "[MEASUREMENT]\nMEASUREMENT_TYPE=" << type << "\n"; }
        MakeDialog();
        EXPECT_EQ(TextOf("modeText"), "Data transfer") << type;
        dialog.reset();
    }
}

TEST_F(AppTest, JapaneseTableGivesTheWholeDialogInJapanese) {
    platform::SetLanguage(platform::Language::Japanese);
    CHeliarcDlg& d = MakeDialog();
    EXPECT_EQ(d.windowTitle().toStdString(), "ZQ118 - Heliarc");
    EXPECT_EQ(TextOf("statusText"), platform::LoadString(2108, platform::Language::Japanese));
    EXPECT_EQ(TextOf("modeText"), platform::LoadString(1201, platform::Language::Japanese));
    EXPECT_EQ(TextOf("startStopButton"), platform::LoadString(2103, platform::Language::Japanese));
    // No control shows an English caption of the table.
    for (QPushButton* b : d.findChildren<QPushButton*>()) {
        const std::string text = b->text().toStdString();
        for (int id : platform::StringIds(platform::Language::English)) {
            const std::string& en = platform::LoadString(id, platform::Language::English);
            if (en.size() > 3 && en != platform::LoadString(id, platform::Language::Japanese)) {
                EXPECT_NE(text, en) << b->objectName().toStdString();
            }
        }
    }
    EXPECT_EQ(d.RecordList()->model()->headerData(0, Qt::Horizontal).toString().toStdString(),
              platform::LoadString(2222, platform::Language::Japanese));
}

// On defaults the program would store into the working folder and prune the standard history.
TEST_F(AppTest, UnreadableSettingsStopTheStartAndAnUnusableFileNameIdIsTold) {
    for (const char* name : {"ZQ118.ini", "ZQ118_BASE.ini"}) {
        ASSERT_EQ(::mkdir(name, 0755), 0);
        prompter.Clear();
        EXPECT_FALSE(CHeliarcApp::CheckSettingsAtStart()) << name;
        const auto messages = prompter.Messages();
        ASSERT_EQ(messages.size(), 1u) << name;
        EXPECT_NE(messages[0].find(std::string("/") + name + ": Is a directory."), std::string::npos) << messages[0];
        EXPECT_NE(messages[0].find("does not start on default settings"), std::string::npos) << messages[0];
        ASSERT_EQ(::rmdir(name), 0);
    }
    datatest::SetGeneral("data", "../SPC");
    prompter.Clear();
    EXPECT_TRUE(CHeliarcApp::CheckSettingsAtStart());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_NE(prompter.Messages()[0].find("\"../SPC\""), std::string::npos) << prompter.Messages()[0];
    // A first start has no files at all and starts quietly.
    ::unlink("ZQ118.ini");
    prompter.Clear();
    EXPECT_TRUE(CHeliarcApp::CheckSettingsAtStart());
    EXPECT_TRUE(prompter.calls.empty());
}

TEST_F(AppTest, GarbledConfigurationMissingFolderAndBadRecordsStillStart) {
    {
        std::ofstream ini("ZQ118.ini", std::ios::binary);
        ini << "\x01\xff garbage [[[\n[MEASUREMENT\nMEASUREMENT_TYPE=zz\nINTERVAL_MEASUREMENT_START_TIME=not a time\n"
               "[GENERAL]\nDATA_STORED_FOLDER=/nonexistent/heliarc/data\n";
    }
    CHeliarcDlg& d = MakeDialog();
    EXPECT_EQ(TextOf("modeText"), "Manual measurement");  // "zz" reads as 0
    EXPECT_EQ(TextOf("statusText"), "Standby");
    EXPECT_EQ(d.DataSet().Count(), 0);
    EXPECT_TRUE(prompter.calls.empty());
    EXPECT_EQ(Ini("MEASUREMENT", "EXPOSED_TIME"), "0");
    dialog.reset();

    // A daily file with one garbage record between two good ones lists the good ones.
    datatest::SetGeneral("data", "SPC");
    ASSERT_EQ(::mkdir("data", 0755), 0);
    const platform::CalTime t = datatest::Local(2009, 5, 12, 10, 0, 0);
    {
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(t, "first")), 1);
    }
    {
        std::ofstream f("data/SPC_20090512.hlx", std::ios::binary | std::ios::app);
        const std::string junk(2560, '\xee');
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    {
        CSpectrumDataWriter writer;
        ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(t + 60, "second")), 1);
    }
    CHeliarcDlg& d2 = MakeDialog();
    ASSERT_EQ(d2.DataSet().Count(), 2);
    EXPECT_EQ(d2.RecordList()->model()->index(1, 1).data().toString().toStdString(), "second");
    EXPECT_TRUE(prompter.calls.empty());
}

}  // namespace
