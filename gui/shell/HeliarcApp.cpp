#include "gui/shell/HeliarcApp.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLibraryInfo>
#include <QTranslator>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <cstdio>

#include "gui/shell/FinishSound.h"
#include "gui/shell/HeliarcDlg.h"
#include "gui/shell/MeasurementRunEngine.h"
#include "core/config/GeneralPrm.h"
#include "core/config/SettingsCheck.h"
#include "core/data/SpectrumDataSet.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailView.h"
#include "render/ImageFile.h"
#include "core/platform/File.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "sim/SimulatedInstrument.h"
#include "gui/common/Logo.h"
#include "gui/common/Prompter.h"
#include "gui/common/WindowMemory.h"
#include "gui/shell/ViewFactory.h"

namespace {
CHeliarcApp* g_app = nullptr;
}

CHeliarcApp::CHeliarcApp() { g_app = this; }

CHeliarcApp::~CHeliarcApp() {
    delete dialog_;
    if (simulator_) simulator_->Stop();
    if (g_app == this) g_app = nullptr;
}

CHeliarcApp* CHeliarcApp::Instance() { return g_app; }

int CHeliarcApp::Run(const Options& options) {
    // The user's locale for everything shown; numbers in files are written the same everywhere.
    if (!std::setlocale(LC_ALL, "")) std::setlocale(LC_ALL, "C");
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setWindowIcon(HeliarcIcon());
    // Qt's own dialogs (files, folders, colours, printing) in the language of the program's texts.
    static QTranslator qtTexts;
    if (platform::CurrentLanguage() == platform::Language::Japanese &&
        qtTexts.load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);
    if (!options.artworkFolder.empty()) {
        const std::string folder = options.artworkFolder + "/";
        bool ok = SaveImageFile(HeliarcIcon().pixmap(256, 256).toImage(), folder + "heliarc.png", "PNG") &&
                  CFinishSound::WriteChime(folder + CFinishSound::kFileName);
        // The icon theme's sizes for the desktop menu, each drawn at its own size.
        for (int s : {16, 24, 32, 48, 64, 128, 256})
            ok = ok && SaveImageFile(HeliarcIcon().pixmap(s, s).toImage(), folder + "heliarc-" + std::to_string(s) + ".png", "PNG");
        return ok ? 0 : 1;
    }

    if (!CheckSettingsAtStart()) return 1;
    {
        // Temporaries of saves and imports an earlier run was killed in the middle of.
        CGeneralPrm general;
        general.Load();
        platform::RemoveStaleTemporaries({"./ZQ118.ini", "./ZQ118_BASE.ini", kWindowMemoryFile}, general.m_DATA_STORED_FOLDER.Get(),
                                         general.m_FILE_NAME_ID.Get());
    }

    auto engine = std::make_unique<CMeasurementRunEngine>();
    engine->SetSoundCallback([] { CFinishSound::Play(); });
    std::string port = options.port;
    if (options.demo) {
        SimOptions sim;
        sim.seed = static_cast<uint64_t>(platform::Now());
        simulator_ = std::make_unique<CSimulatedInstrument>(sim);
        if (simulator_->Start()) {
            port = simulator_->SlavePath();
            // The settings dialog then finds the simulator as COM1 too.
            ::setenv("HELIARC_COM1", port.c_str(), 0);
        } else {
            ShowMessage(nullptr, ids::kCannotStartSimulator);
            simulator_.reset();
        }
        if (!platform::FileExists(CFinishSound::kFileName)) CFinishSound::WriteChime(CFinishSound::kFileName);
    }
    engine->SetPortOverride(port);

    dialog_ = new CHeliarcDlg(std::move(engine), MakeViewFactory());
    int result = 0;
    if (!options.screenshot.empty()) {
        dialog_->show();
        QApplication::processEvents();
        // On the simulated instrument the picture shows a measured record, as a newcomer sees it.
        if (simulator_) {
            dialog_->StartStopAction()->trigger();
            QElapsedTimer timer;
            timer.start();
            while (dialog_->Engine().IsMeasuring() && timer.elapsed() < 60000)
                QApplication::processEvents(QEventLoop::AllEvents, 50);
            QApplication::processEvents();
            if (dialog_->DataSet().Count() > 0) dialog_->RecordList()->SetRowSelected(dialog_->DataSet().Count() - 1, true);
        }
        // Let the layout settle and the list paint before the picture is taken.
        for (int i = 0; i < 5; ++i) QApplication::processEvents();
        const QImage image = dialog_->grab().toImage();
        std::string error;
        result = SaveImageFile(image, options.screenshot, "PNG", &error) ? 0 : 1;
        if (result) std::fprintf(stderr, "heliarc: cannot write %s %s\n", options.screenshot.c_str(), error.c_str());
        if (result == 0 && !options.thumbnailScreenshot.empty()) result = SaveThumbnailPicture(options.thumbnailScreenshot);
    } else {
        // The dialog runs modeless under the application's own loop, so the thumbnail and graph
        // windows take input beside it; the program ends when the dialog ends (its exit rules).
        QObject::connect(dialog_, &QDialog::finished, qApp, [] { QCoreApplication::exit(0); });
        QApplication::setQuitOnLastWindowClosed(false);
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
        result = QApplication::exec();
    }
    delete dialog_;
    dialog_ = nullptr;
    if (simulator_) simulator_->Stop();
    return result;
}

bool CHeliarcApp::CheckSettingsAtStart() {
    const SettingsCheck check = CheckSettings();
    // Running on defaults would store measurements into the working folder and prune the standard
    // data history; a read-only run would still mislead. The user fixes the file and starts again.
    if (!check.unreadable.empty()) {
        ShowMessageText(nullptr, check.unreadable + "\r\n" + platform::LoadString(ids::kNoStartOnDefaults));
        return false;
    }
    // Nothing is read or written with an unusable file name ID; the program runs so that the data
    // folder dialog can set another.
    if (!check.fileNameId.empty())
        ShowMessageText(nullptr, check.fileNameId + "\r\n" + platform::LoadString(ids::kSetAnotherFileNameId),
                        Prompter::Icon::Warning);
    return true;
}

int CHeliarcApp::SaveThumbnailPicture(const std::string& path) {
    // The two thumbnail windows one above the other, as they stand at the screen's left edge, with
    // the last record scrolled into view.
    if (!m_pDataThumbnailWnd || !m_pBaseDataThumbnailWnd) return 1;
    auto* view = qobject_cast<CDataThumbnailView*>(m_pDataThumbnailWnd->View());
    if (view && dialog_->DataSet().Count() > 0) view->EnsureVisible(dialog_->DataSet().Count() - 1);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const QImage measured = m_pDataThumbnailWnd->grab().toImage();
    const QImage standard = m_pBaseDataThumbnailWnd->grab().toImage();
    QImage both(std::max(measured.width(), standard.width()), measured.height() + standard.height(), QImage::Format_RGB32);
    both.fill(Qt::white);
    QPainter painter(&both);
    painter.drawImage(0, 0, measured);
    painter.drawImage(0, measured.height(), standard);
    painter.end();
    std::string error;
    if (SaveImageFile(both, path, "PNG", &error)) return 0;
    std::fprintf(stderr, "heliarc: cannot write %s %s\n", path.c_str(), error.c_str());
    return 1;
}
