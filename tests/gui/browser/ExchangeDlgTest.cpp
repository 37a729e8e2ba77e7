// "Export..." and "Import..." of the data browser, end to end: the dialogs are driven through their
// controls with the scripted prompter answering the file dialogs and questions, and the files they
// write (the CSV file, the daily data files) are read back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QListView>
#include <QRadioButton>
#include <filesystem>

#include "core/config/ExportPrm.h"
#include "core/data/SpectrumDataReader.h"
#include "core/data/SpectrumDataWriter.h"
#include "gui/dialogs/ExportDlg.h"
#include "gui/dialogs/ImportDlg.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "tests/gui/app/AppTestUtil.h"
#include "tests/unit/exchange/ExchangeTestUtil.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/common/QtPrompter.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using namespace platform;
using Texts = std::vector<std::string>;

const std::string& Done() { return LoadString(ids::kExportCompleted); }

std::vector<Texts> ReadCsv(const std::string& path) {
    const std::string bytes = testsupport::ReadFileBytes(path);
    std::vector<Texts> rows;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) end = bytes.size();
        Texts fields;
        std::size_t f = at;
        for (;;) {
            std::size_t comma = bytes.find(',', f);
            if (comma == std::string::npos || comma > end) comma = end;
            fields.push_back(bytes.substr(f, comma - f));
            if (comma == end) break;
            f = comma + 1;
        }
        rows.push_back(fields);
        at = end + 2;
    }
    return rows;
}

class ExchangeDlgTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        datatest::SetGeneral("C:\\", "SPC");
        CSpectrumDataWriter writer;
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(Base() + i * 60, "r" + std::to_string(i))), 1);
    }
    static CalTime Base() { return datatest::Local(2009, 5, 12, 10, 0, 0); }

    void SelectRecords(std::initializer_list<int> rows) {
        dialog->RecordList()->clearSelection();
        for (int r : rows) dialog->RecordList()->SetRowSelected(r, true);
    }
    template <typename T>
    static T* Control(QDialog& d, const char* name) {
        return d.findChild<T*>(QString::fromLatin1(name));
    }
    static void Press(QDialog& d, const char* name) {
        auto* b = Control<QAbstractButton>(d, name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    static void SetText(QDialog& d, const char* name, const char* text) {
        Control<QLineEdit>(d, name)->setText(QString::fromUtf8(text));
    }
    std::string Path(const std::string& name) const { return work.Path() + "/" + name; }
    static std::vector<CSpectrumData> Day(int y, int m, int d) {
        CSpectrumDataReader reader;
        std::vector<CSpectrumData> list;
        reader.ReadDay(y, m, d, list);
        return list;
    }
};

// ---------------------------------------------------------------------------------------------
// Export

TEST_F(ExchangeDlgTest, ExportWritesTheSelectionWithTheCurrentStandardAndStoresTheSettings) {
    MakeDialog();
    SelectRecords({4});
    Trigger("actionRegisterStandard");
    EXPECT_TRUE(Find<QPushButton>("exportButton")->isEnabled());
    SelectRecords({1, 3});
    prompter.paths.push_back(Path("DATA.CSV"));  // capitals: not the extension ".csv"
    std::string shownFile;
    bool ratioEnabled = false;
    int result = -1;
    prompter.modal = [&](QDialog& dlg) {
        EXPECT_EQ(dlg.objectName().toStdString(), "dlgExport");
        ratioEnabled = Control<QRadioButton>(dlg, "ratioTypeRadio")->isEnabled();
        Press(dlg, "browseButton");
        shownFile = Control<QLineEdit>(dlg, "exportFileEdit")->text().toStdString();
        Press(dlg, "ratioTypeRadio");   // ratio
        Press(dlg, "umolUnitRadio");      // umol
        Press(dlg, "step5nmRadio");   // 5 nm
        SetText(dlg, "minWavelengthEdit", "352");
        SetText(dlg, "maxWavelengthEdit", "1050");
        Press(dlg, "exportButton");
        result = dlg.result();
        EXPECT_TRUE(Control<QLineEdit>(dlg, "exportFileEdit")->text().isEmpty());
        return dlg.result();
    };
    Click("exportButton");
    EXPECT_TRUE(ratioEnabled);
    EXPECT_EQ(shownFile, Path("DATA.CSV.csv"));
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(prompter.Messages(), (Texts{Done()}));
    const auto rows = ReadCsv(Path("DATA.CSV.csv"));
    // Five record rows, interval and label rows, 352, 357, ... 1052.
    ASSERT_EQ(rows.size(), 5u + 2u + 141u);
    EXPECT_EQ(rows[0], (Texts{"DATE", "2009/05/12", "2009/05/12"}));
    EXPECT_EQ(rows[1], (Texts{"TIME", "10:01:00", "10:03:00"}));
    EXPECT_EQ(rows[3], (Texts{"MEMO", "r1", "r3"}));
    EXPECT_EQ(rows[5], (Texts{"WL Interval", "5nm Step", "5nm Step"}));
    EXPECT_EQ(rows[6], (Texts{"Wavelength[nm]", "Ratio[%]", "Ratio[%]"}));
    EXPECT_EQ(rows[7][0], "352");
    EXPECT_EQ(rows.back()[0], "1052");
    // Ratio of two records to the standard r4 (same shape, same level): 100 %.
    EXPECT_NEAR(std::stod(rows[50][1]), 100.0, 1e-3);
    EXPECT_FALSE(std::filesystem::exists(Path("DATA.CSV")));
    EXPECT_EQ(Ini("EXPORT", "EXPORT_TYPE"), "2");
    EXPECT_EQ(Ini("EXPORT", "SPECTRUM_UNIT"), "1");
    EXPECT_EQ(Ini("EXPORT", "WAVELENGTH_TYPE"), "2");
    EXPECT_EQ(Ini("EXPORT", "MIN_WAVELENGTH"), "352");
    EXPECT_EQ(Ini("EXPORT", "FILE_NAME"), Path("DATA.CSV.csv"));

    // The next export starts from the stored choices.
    prompter.Clear();
    prompter.modal = [&](QDialog& dlg) {
        EXPECT_TRUE(Control<QRadioButton>(dlg, "ratioTypeRadio")->isChecked());
        EXPECT_TRUE(Control<QRadioButton>(dlg, "step5nmRadio")->isChecked());
        EXPECT_EQ(Control<QLineEdit>(dlg, "minWavelengthEdit")->text().toStdString(), "352");
        EXPECT_EQ(Control<QLineEdit>(dlg, "exportFileEdit")->text().toStdString(), Path("DATA.CSV.csv"));
        Press(dlg, "closeButton");
        return dlg.result();
    };
    Trigger("actionExport");
    EXPECT_EQ(prompter.Count("modal"), 1);
    EXPECT_TRUE(prompter.Messages().empty());
}

TEST_F(ExchangeDlgTest, ExportNeedsASelectionAndOffersRatioOnlyWithStandardData) {
    MakeDialog();
    SelectRecords({});
    Click("exportButton");
    EXPECT_EQ(prompter.Messages(), (Texts{"Select a data."}));
    EXPECT_EQ(prompter.Count("modal"), 0);

    // A stored ratio choice without standard data starts from spectral data.
    CExportPrm prm;
    prm.Load();
    prm.m_EXPORT_TYPE = 3;
    prm.Save();
    SelectRecords({0, 1, 2});
    prompter.Clear();
    prompter.paths.push_back(Path("all.csv"));
    prompter.modal = [&](QDialog& dlg) {
        EXPECT_FALSE(Control<QRadioButton>(dlg, "ratioTypeRadio")->isEnabled());
        EXPECT_FALSE(Control<QRadioButton>(dlg, "differenceTypeRadio")->isEnabled());
        EXPECT_TRUE(Control<QRadioButton>(dlg, "spectralTypeRadio")->isChecked());
        Press(dlg, "browseButton");
        Press(dlg, "exportButton");
        return dlg.result();
    };
    Click("exportButton");
    EXPECT_EQ(prompter.Messages(), (Texts{Done()}));
    const auto rows = ReadCsv(Path("all.csv"));
    // Type 0, "Original": 14 label rows, then the first record's 256 pixels.
    ASSERT_EQ(rows.size(), 14u + 256u);
    EXPECT_EQ(rows[3], (Texts{"MEMO", "r0", "r1", "r2"}));
    EXPECT_EQ(rows[12], (Texts{"WL Interval", "Original", "Original", "Original"}));
    EXPECT_EQ(rows[13][0], "Wavelength[nm]");
    EXPECT_EQ(Ini("EXPORT", "EXPORT_TYPE"), "0");
}

TEST_F(ExchangeDlgTest, ExportKeepsAStoredLightQualityChoiceWithoutStandardData) {
    MakeDialog();
    CExportPrm prm;
    prm.Load();
    prm.m_EXPORT_TYPE = 4;
    prm.m_FILE_NAME = Path("quality.csv");
    prm.Save();
    SelectRecords({0, 2});
    prompter.modal = [&](QDialog& dlg) {
        EXPECT_TRUE(Control<QRadioButton>(dlg, "lightQualityTypeRadio")->isChecked());
        // No spectral columns: unit, interval and range do not apply.
        for (const char* name : {"wattUnitRadio", "step1nmRadio", "minWavelengthEdit"})
            EXPECT_FALSE(Control<QWidget>(dlg, name)->isEnabled()) << name;
        Press(dlg, "exportButton");
        return dlg.result();
    };
    Click("exportButton");
    EXPECT_EQ(prompter.Messages(), (Texts{Done()}));
    const auto rows = ReadCsv(Path("quality.csv"));
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[3], (Texts{"MEMO", "r0", "r2"}));
    EXPECT_TRUE(std::any_of(rows.begin(), rows.end(), [](const Texts& r) { return r[0] == "PPFD[umol/m^2/s]"; }));
    EXPECT_EQ(Ini("EXPORT", "EXPORT_TYPE"), "4");
}

TEST_F(ExchangeDlgTest, ExportControlsFollowTheTypeAndInterval) {
    CSpectrumDataSet none;
    CSpectrumData standard = datatest::MakeRecord(Base());
    CExport dlg(none, &standard);
    auto enabled = [&](const char* name) { return Control<QWidget>(dlg, name)->isEnabled(); };
    Press(dlg, "spectralTypeRadio");
    Press(dlg, "originalStepRadio");
    EXPECT_TRUE(enabled("wattUnitRadio"));
    EXPECT_TRUE(enabled("step1nmRadio"));
    EXPECT_FALSE(enabled("minWavelengthEdit"));
    EXPECT_FALSE(enabled("maxWavelengthEdit"));
    Press(dlg, "step1nmRadio");
    EXPECT_TRUE(enabled("minWavelengthEdit"));
    EXPECT_TRUE(enabled("maxWavelengthEdit"));
    Press(dlg, "calculationTypeRadio");  // calculation data only
    for (const char* name :
         {"wattUnitRadio", "umolUnitRadio", "originalStepRadio", "step5nmRadio", "minWavelengthEdit", "maxWavelengthEdit"})
        EXPECT_FALSE(enabled(name)) << name;
    Press(dlg, "differenceTypeRadio");
    EXPECT_TRUE(enabled("minWavelengthEdit"));
    EXPECT_FALSE(Control<QWidget>(dlg, "minIntegrationEdit")->isVisibleTo(&dlg));
    EXPECT_TRUE(Control<QLineEdit>(dlg, "exportFileEdit")->isReadOnly());

    // The chosen name gets ".csv" unless its extension is exactly that.
    EXPECT_EQ(CExport::WithCsvExtension("/a/b.csv"), "/a/b.csv");
    EXPECT_EQ(CExport::WithCsvExtension("/a/b.CSV"), "/a/b.CSV.csv");
    EXPECT_EQ(CExport::WithCsvExtension("/a.csv/b"), "/a.csv/b.csv");
    EXPECT_EQ(CExport::WithCsvExtension("C:\\x.y\\data"), "C:\\x.y\\data.csv");
    // A cancelled file dialog keeps the name.
    SetText(dlg, "exportFileEdit", "keep.csv");
    prompter.paths.push_back(std::nullopt);
    EXPECT_FALSE(dlg.ChooseFile());
    EXPECT_EQ(dlg.FileName(), "keep.csv");
}

TEST_F(ExchangeDlgTest, ExportRefusesBadWavelengthsAndAMissingNameWithoutStoringOrWriting) {
    CSpectrumDataSet data;
    data.Search(nullptr, nullptr, nullptr);
    ASSERT_EQ(data.Count(), 5);
    CExport dlg(data, nullptr);
    Press(dlg, "spectralTypeRadio");
    Press(dlg, "step1nmRadio");
    SetText(dlg, "exportFileEdit", Path("w.csv").c_str());
    struct Case {
        const char* min;
        const char* max;
        std::string message;
    };
    const Case cases[] = {
        {"abc", "1050", "Please enter a number."},
        {"350", "10x", "Please enter a number."},
        {"", "1050", "Please enter a number."},
        {"349.9", "1050", "Please enter a number between 350 and 1050."},
        {"350", "1050.5", "Please enter a number between 350 and 1050."},
        {"-400", "500", "Please enter a number between 350 and 1050."},
        {"900", "400", "The minimum wavelength is above the maximum."},
    };
    for (const Case& c : cases) {
        prompter.Clear();
        SetText(dlg, "minWavelengthEdit", c.min);
        SetText(dlg, "maxWavelengthEdit", c.max);
        EXPECT_FALSE(dlg.DoExport()) << c.min << " " << c.max;
        EXPECT_EQ(prompter.Messages(), (Texts{c.message})) << c.min << " " << c.max;
        EXPECT_EQ(Ini("EXPORT", "MIN_WAVELENGTH"), "<none>");
    }
    EXPECT_FALSE(std::filesystem::exists(Path("w.csv")));
    // The edits are checked only while they can be changed: "Original" ignores what they hold.
    Press(dlg, "originalStepRadio");
    prompter.Clear();
    EXPECT_TRUE(dlg.DoExport());
    EXPECT_EQ(prompter.Messages(), (Texts{Done()}));
    // What they hold is kept when it is a number of the range; anything else keeps the stored value.
    EXPECT_EQ(Ini("EXPORT", "MIN_WAVELENGTH"), "900");
    EXPECT_EQ(dlg.FileName(), "");
    SetText(dlg, "exportFileEdit", Path("w.csv").c_str());
    Press(dlg, "step1nmRadio");
    SetText(dlg, "minWavelengthEdit", "abc");
    SetText(dlg, "maxWavelengthEdit", "2000");
    Press(dlg, "originalStepRadio");
    EXPECT_TRUE(dlg.DoExport());
    EXPECT_EQ(Ini("EXPORT", "MIN_WAVELENGTH"), "900");
    EXPECT_EQ(Ini("EXPORT", "MAX_WAVELENGTH"), "400");
    // An empty name.
    prompter.Clear();
    SetText(dlg, "exportFileEdit", "");
    EXPECT_FALSE(dlg.DoExport());
    EXPECT_EQ(prompter.Messages(), (Texts{"Input valid file name."}));
    EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Information);
}

TEST_F(ExchangeDlgTest, ExportToAFolderThatCannotBeWrittenSaysSoAndLeavesNoFile) {
    CSpectrumDataSet data;
    data.Search(nullptr, nullptr, nullptr);
    CExport dlg(data, nullptr);
    Press(dlg, "calculationTypeRadio");
    // A "folder" that is a file cannot hold the export, whoever runs the test.
    testsupport::WriteFileBytes(Path("plain"), "x");
    const std::string target = Path("plain") + "/out.csv";
    SetText(dlg, "exportFileEdit", target.c_str());
    EXPECT_FALSE(dlg.DoExport());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0], "Export failure.\r\nCannot create a file in " + Path("plain") + ": Not a directory");
    // The settings were stored first, and the dialog keeps the name for another try.
    EXPECT_EQ(Ini("EXPORT", "FILE_NAME"), target);
    EXPECT_EQ(dlg.FileName(), target);
    const std::string missing = Path("no/such/folder/out.csv");
    SetText(dlg, "exportFileEdit", missing.c_str());
    prompter.Clear();
    EXPECT_FALSE(dlg.DoExport());
    ASSERT_EQ(prompter.Messages().size(), 1u);
    EXPECT_EQ(prompter.Messages()[0],
              "Export failure.\r\nCannot create a file in " + Path("no/such/folder") + ": No such file or directory");
    EXPECT_FALSE(std::filesystem::exists(missing));
    // A name taken by a folder.
    std::filesystem::create_directory(Path("taken.csv"));
    SetText(dlg, "exportFileEdit", Path("taken.csv").c_str());
    prompter.Clear();
    EXPECT_FALSE(dlg.DoExport());
    EXPECT_EQ(prompter.Messages(),
              (Texts{"Export failure.\r\n" + Path("taken.csv") + " is not a regular file; it was left as it is."}));
    EXPECT_TRUE(std::filesystem::is_directory(Path("taken.csv")));
}

// ---------------------------------------------------------------------------------------------
// Import

class ImportTest : public ExchangeDlgTest {
protected:
    // A version 03.00 file with one record per given time, memo m<k>.
    std::string SrdFile(const std::string& name, std::initializer_list<CalTime> times, float level = 300.0f) {
        std::string bytes = exchangetest::HeaderV3();
        int k = 0;
        for (CalTime t : times) bytes += exchangetest::RecordV3(t, "m" + std::to_string(k++), 0, level);
        testsupport::WriteFileBytes(Path(name), bytes);
        return Path(name);
    }
    // Runs "Import..." from the main dialog: picks files, answers the question, presses "Import".
    int RunImport(const std::vector<std::string>& files, bool overwrite, bool closeAfter = false) {
        prompter.pathLists.push_back(files);
        prompter.yesNo.push_back(true);
        prompter.modal = [&, overwrite, closeAfter](QDialog& dlg) {
            auto& import = dynamic_cast<CImport&>(dlg);
            import.SetProgressDelay(0);
            Press(dlg, "browseButton");
            shownFiles = Control<QLineEdit>(dlg, "importFilesEdit")->text().toStdString();
            if (overwrite) Press(dlg, "overwriteCheck");
            // A close request while the files go in is refused.
            dlg.show();
            QObject::connect(&dlg, &QDialog::rejected, &dlg, [this] { ++rejects; });
            QCoreApplication::postEvent(&dlg, new QCloseEvent);
            Press(dlg, "importButton");
            lastProgress = import.LastProgress();
            if (closeAfter && dlg.result() != QDialog::Accepted) Press(dlg, "closeButton");
            return dlg.result();
        };
        Trigger("actionImport");
        Pump();
        return prompter.Count("modal");
    }

    std::string shownFiles;
    int lastProgress = -1;
    int rejects = 0;
};

TEST_F(ImportTest, SeveralFilesAreMergedInTimeOrderAndTheListFollows) {
    CHeliarcDlg& d = MakeDialog();
    ASSERT_EQ(d.DataSet().Count(), 5);
    EXPECT_TRUE(Find<QPushButton>("importButton")->isEnabled());
    // Between the stored records of the 12th, and a new day.
    const std::string a = SrdFile("a.srd", {Base() + 30, Base() + 150});
    const std::string b = SrdFile("b.srd", {datatest::Local(2009, 5, 13, 8, 0, 0)});
    ASSERT_EQ(RunImport({a, Path("b.srd")}, false), 1);
    EXPECT_EQ(shownFiles, "\"a.srd\" \"b.srd\" ");
    EXPECT_EQ(prompter.Messages(), (Texts{"Completed importing."}));
    ASSERT_EQ(prompter.Count("yesno"), 1);
    ASSERT_EQ(prompter.calls[2].kind, "yesno");
    EXPECT_EQ(prompter.calls[2].text, "Import selected file?");
    EXPECT_EQ(lastProgress, 1000);
    EXPECT_EQ(rejects, 0);
    const auto day = Day(2009, 5, 12);
    ASSERT_EQ(day.size(), 7u);
    Texts memos;
    for (const auto& r : day) memos.push_back(r.GetMemo());
    EXPECT_EQ(memos, (Texts{"r0", "m0", "r1", "r2", "m1", "r3", "r4"}));
    EXPECT_EQ(Day(2009, 5, 13).size(), 1u);
    // "Retrieval" ran: the list shows them.
    EXPECT_EQ(d.DataSet().Count(), 8);
    EXPECT_EQ(d.RecordList()->ItemCount(), 8);
}

TEST_F(ImportTest, SameTimeRecordsAreKeptOrReplacedByTheCheckBox) {
    MakeDialog();
    const std::string f = SrdFile("same.srd", {Base() + 60});
    ASSERT_EQ(RunImport({f}, false), 1);
    EXPECT_EQ(shownFiles, f);  // one file: its full path
    auto day = Day(2009, 5, 12);
    ASSERT_EQ(day.size(), 5u);
    EXPECT_EQ(day[1].GetMemo(), "r1");
    prompter.Clear();
    ASSERT_EQ(RunImport({f}, true), 1);
    day = Day(2009, 5, 12);
    ASSERT_EQ(day.size(), 5u);
    EXPECT_EQ(day[1].GetMemo(), "m0");
    EXPECT_EQ(dialog->DataSet().At(1).Memo, "m0");
}

TEST_F(ImportTest, AFailedFileKeepsEveryStoredRecordAndTheDialogOpen) {
    CHeliarcDlg& d = MakeDialog();
    const std::string good = SrdFile("good.srd", {datatest::Local(2009, 5, 14, 9, 0, 0)});
    // A record of the 12th, then a torn one.
    std::string bytes = exchangetest::HeaderV3() + exchangetest::RecordV3(Base() + 10, "new") +
                        exchangetest::RecordV3(Base() + 20, "torn").substr(0, 500);
    testsupport::WriteFileBytes(Path("bad.srd"), bytes);
    std::string stored;
    CGeneralPrm general;
    general.Load();
    std::string dayPath;
    ASSERT_TRUE(general.DailyFilePath(Base(), dayPath));
    stored = testsupport::ReadFileBytes(MapPath(dayPath));
    ASSERT_EQ(stored.size(), 5u * 2560u);
    int result = -1;
    prompter.pathLists.push_back(Texts{good, Path("bad.srd")});
    prompter.yesNo.push_back(true);
    prompter.modal = [&](QDialog& dlg) {
        Press(dlg, "browseButton");
        Press(dlg, "importButton");
        result = dlg.result();
        // Still open with the same choice; "Close" ends it.
        EXPECT_EQ(dynamic_cast<CImport&>(dlg).Files().size(), 2u);
        Press(dlg, "closeButton");
        return dlg.result();
    };
    Trigger("actionImport");
    Pump();
    EXPECT_NE(result, QDialog::Accepted);
    EXPECT_EQ(prompter.Messages(), (Texts{"Import failure. Check the file.\r\n" + Path("bad.srd")}));
    EXPECT_EQ(testsupport::ReadFileBytes(MapPath(dayPath)), stored);
    EXPECT_EQ(Day(2009, 5, 14).size(), 1u);
    // No temporary file is left beside the day files.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(work.Path())) files += e.path().filename().string().rfind("SPC", 0) == 0;
    EXPECT_EQ(files, 2);
    // The good file went in, so the list was searched again although the dialog was closed.
    EXPECT_EQ(d.DataSet().Count(), 6);
}

// A good file on a full disk: the message points at the data folder, not at the file.
TEST_F(ImportTest, AFullDiskIsReportedAsTheDataFolders) {
    MakeDialog();
    const std::string file = SrdFile("good.srd", {Base() + 30});
    const std::string stored = testsupport::ReadFileBytes(Path("SPC_20090512.hlx"));
    prompter.yesNo.push_back(true);
    prompter.modal = [&](QDialog& dlg) {
        auto& import = dynamic_cast<CImport&>(dlg);
        import.SetFiles({file});
        testsupport::FileSizeLimit full(5 * 2560);  // the merged day needs six records
        EXPECT_FALSE(import.DoImport());
        return QDialog::Rejected;
    };
    Trigger("actionImport");
    EXPECT_EQ(prompter.Messages(), (Texts{"Import failure. Check the file.\r\n" + file +
                                          "\r\nCannot save the data. Confirm the output folder."
                                          "\r\nCannot write ./SPC_20090512.hlx: File too large"}));
    EXPECT_EQ(testsupport::ReadFileBytes(Path("SPC_20090512.hlx")), stored);
}

TEST_F(ImportTest, RefusedWhileMeasuringAndHarmlessWithoutAChoice) {
    MakeDialog();
    engine->measuring = true;
    Trigger("actionImport");
    EXPECT_EQ(prompter.Count("modal"), 0);
    ASSERT_EQ(prompter.Messages(), (Texts{"Cannot import while a measurement is running. Stop the measurement first."}));
    EXPECT_EQ(prompter.calls[0].icon, Prompter::Icon::Information);

    // A run started while the dialog is open is refused at "Import" too.
    engine->measuring = false;
    prompter.Clear();
    const std::string f = SrdFile("x.srd", {Base() + 5});
    prompter.modal = [&](QDialog& dlg) {
        auto& import = dynamic_cast<CImport&>(dlg);
        import.SetFiles({f});
        engine->measuring = true;
        EXPECT_FALSE(import.DoImport());
        engine->measuring = false;
        return QDialog::Rejected;
    };
    Trigger("actionImport");
    EXPECT_EQ(prompter.Count("yesno"), 0);
    EXPECT_EQ(Day(2009, 5, 12).size(), 5u);

    // No: nothing happens. No files chosen: nothing to do, which is a success.
    prompter.Clear();
    prompter.yesNo = {false, true};
    prompter.modal = [&](QDialog& dlg) {
        auto& import = dynamic_cast<CImport&>(dlg);
        import.SetFiles({f});
        EXPECT_FALSE(import.DoImport());
        EXPECT_TRUE(prompter.Messages().empty());
        import.SetFiles({});
        prompter.pathLists.push_back(std::nullopt);  // a cancelled file dialog keeps the (empty) choice
        EXPECT_FALSE(import.ChooseFiles());
        Press(dlg, "importButton");
        return dlg.result();
    };
    Trigger("actionImport");
    EXPECT_EQ(prompter.Messages(), (Texts{"Completed importing."}));
    EXPECT_EQ(Day(2009, 5, 12).size(), 5u);
}

// The file dialogs the program opens list exactly the files of their type (the filters are stored as
// "Name (*.a;*.b)|*.a;*.b||", which Qt reads differently).
TEST_F(ExchangeDlgTest, FileDialogsListTheFilesOfTheirType) {
    for (const char* name : {"a.srd", "b.rad", "c.csv", "d.bmp", "e.txt", "f.SRD.txt"}) testsupport::WriteFileBytes(Path(name), "x");
    const std::vector<std::pair<int, std::set<std::string>>> cases = {
        {ids::kImportFileFilter, {"a.srd", "b.rad"}},
        {ids::kExportFileFilter, {"c.csv"}},
        {ids::kBitmapFileFilter, {"d.bmp"}},
    };
    for (platform::Language language : {platform::Language::English, platform::Language::Japanese}) {
        platform::SetLanguage(language);
        for (const auto& [id, expected] : cases) {
            QFileDialog fd(nullptr, QString(), QString::fromStdString(work.Path()), QtPrompter::QtFilter(LoadString(id)));
            fd.setOption(QFileDialog::DontUseNativeDialog);
            fd.show();
            auto* view = fd.findChild<QListView*>(QStringLiteral("listView"));
            ASSERT_NE(view, nullptr);
            std::set<std::string> listed;
            QElapsedTimer timer;
            timer.start();
            // The folder is read on a thread of the file system model.
            while (timer.elapsed() < 5000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
                listed.clear();
                const QModelIndex root = view->rootIndex();
                for (int r = 0; r < view->model()->rowCount(root); ++r)
                    listed.insert(view->model()->index(r, 0, root).data().toString().toStdString());
                if (listed.size() >= expected.size() && timer.elapsed() > 300) break;
            }
            EXPECT_EQ(listed, expected) << LoadString(id);
        }
    }
}

}  // namespace
