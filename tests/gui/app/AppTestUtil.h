#pragma once
// Shared pieces of the application tests: the offscreen QApplication, a working folder of its own
// with ports that cannot open, an engine the test drives by hand, and event-loop helpers.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "core/data/SpectrumDataSet.h"
#include "gui/shell/HeliarcDlg.h"
#include "gui/shell/RunEngine.h"
#include "core/config/MeasurementPrm.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/instrument/RunListener.h"
#include "core/platform/IniFile.h"
#include "core/platform/StringTable.h"
#include "gui/common/ViewFactory.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"

namespace apptest {

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs the event loop until pred holds or ms have passed; the final value of pred.
inline bool WaitFor(const std::function<bool()>& pred, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!pred()) {
        if (timer.elapsed() > ms) return pred();
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

inline void Pump(int rounds = 3) {
    for (int i = 0; i < rounds; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// An engine whose run the test plays: Start answers as told, the test makes the worker's calls.
class FakeEngine : public CRunEngine {
public:
    bool startResult = true;
    std::string errorText;
    bool measuring = false;
    int starts = 0, stops = 0;
    int lastType = -1;
    std::string lastMemo;
    CRunListener* listener = nullptr;

    bool Start(const CMeasurementPrm& settings) override {
        ++starts;
        lastType = settings.m_MEASUREMENT_TYPE.Get();
        lastMemo = settings.m_Memo.Get();
        measuring = startResult;
        return startResult;
    }
    void Stop() override {
        ++stops;
        measuring = false;
    }
    bool IsMeasuring() const override { return measuring; }
    std::string GetErrorText() const override { return errorText; }
    void SetListener(CRunListener* l) override { listener = l; }
    void SetSoundCallback(std::function<void()>) override {}
    void SetPortOverride(const std::string&) override {}
    // The listener the dialog gave, called as the worker would call it.
    CRunListener& Events() { return *listener; }
    // Says the record of time t is stored at offset of t's day file (written there or not).
    void Stored(platform::CalTime t, int64_t offset, bool runEnds) {
        CSpectrumData record;
        record.SetTime(t);
        StoredPlace place;
        platform::LocalMidnight(t, place.fileDate);
        place.offset = offset;
        listener->OnStored(record, place, runEnds);
    }
    // Appends the record to its day file and says where it went.
    bool Store(const CSpectrumData& record, bool runEnds) {
        CSpectrumDataWriter writer;
        if (writer.AppendRecord(record) != 1) return false;
        Stored(record.GetTime(), writer.LastAppendOffset(), runEnds);
        return true;
    }
};

// A fresh working folder (INI files and the default data folder "C:\" live there), English texts,
// COM1..COM10 pointing nowhere, and a scripted prompter.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        App();
        ::unsetenv("HELIARC_DRIVE_C");
        for (int n = 1; n <= 10; ++n) {
            const std::string var = "HELIARC_COM" + std::to_string(n);
            ::setenv(var.c_str(), ("/nonexistent/com" + std::to_string(n)).c_str(), 1);
        }
        platform::SetLanguage(platform::Language::English);
    }
    void TearDown() override {
        dialog.reset();
        platform::SetLanguage(platform::Language::English);
    }

    // A dialog on a fake engine with the windows of views, shown as the program shows it.
    CHeliarcDlg& MakeDialog() {
        auto e = std::make_unique<FakeEngine>();
        engine = e.get();
        dialog = std::make_unique<CHeliarcDlg>(std::move(e), views);
        dialog->show();
        Pump();
        return *dialog;
    }

    template <typename T = QWidget>
    T* Find(const char* name) const {
        return dialog->findChild<T*>(QString::fromLatin1(name));
    }
    std::string TextOf(const char* name) const {
        if (auto* l = Find<QLabel>(name)) return l->text().toStdString();
        if (auto* b = Find<QPushButton>(name)) return b->text().toStdString();
        if (auto* e = Find<QLineEdit>(name)) return e->text().toStdString();
        return "<missing " + std::string(name) + ">";
    }
    void Click(const char* name) {
        auto* b = Find<QPushButton>(name);
        ASSERT_NE(b, nullptr) << name;
        b->click();
    }
    // Runs the dialog's command of that name as its button or menu item would.
    void Trigger(const char* name) {
        auto* a = Find<QAction>(name);
        ASSERT_NE(a, nullptr) << name;
        a->trigger();
    }
    static std::string Ini(const char* section, const char* key) {
        return platform::GetPrivateProfileString(section, key, "<none>", "./ZQ118.ini");
    }

    testsupport::TempWorkDir work;
    ScriptedPrompter prompter;
    FakeEngine* engine = nullptr;
    // What the dialog opens (set before MakeDialog); empty: no thumbnail view, no graph window.
    CViewFactory views;
    std::unique_ptr<CHeliarcDlg> dialog;
};

}  // namespace apptest
