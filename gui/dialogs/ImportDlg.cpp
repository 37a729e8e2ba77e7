#include "gui/dialogs/ImportDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "core/exchange/VeldDataImporter.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"

namespace {

QString Q(int id) { return QString::fromStdString(platform::LoadString(id)); }

constexpr int kProgressSteps = 1000;

}  // namespace

CImport::CImport(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgImport"));
    setWindowTitle(Q(ids::kImport));

    auto* fileBox = new QGroupBox(Q(ids::kFilename), this);
    filesEdit_ = new QLineEdit(fileBox);
    filesEdit_->setObjectName(QStringLiteral("importFilesEdit"));
    filesEdit_->setReadOnly(true);
    filesEdit_->setMinimumWidth(360);
    auto* ref = new QPushButton(Q(ids::kRef), fileBox);
    ref->setObjectName(QStringLiteral("browseButton"));
    ref->setAutoDefault(false);
    auto* fileLayout = new QHBoxLayout(fileBox);
    fileLayout->addWidget(filesEdit_, 1);
    fileLayout->addWidget(ref);

    overwrite_ = new QCheckBox(Q(ids::kOverwriteSameTimeRecord), this);
    overwrite_->setObjectName(QStringLiteral("overwriteCheck"));
    progressText_ = new QLabel(this);
    progressText_->setObjectName(QStringLiteral("progressLabel"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progressBar"));
    progress_->setRange(0, kProgressSteps);
    progressText_->setVisible(false);
    progress_->setVisible(false);

    auto* importButton = new QPushButton(Q(ids::kImport), this);
    importButton->setObjectName(QStringLiteral("importButton"));
    importButton->setDefault(true);
    auto* close = new QPushButton(Q(ids::kClose), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);

    auto* left = new QVBoxLayout;
    left->addWidget(fileBox);
    left->addWidget(overwrite_);
    left->addWidget(progressText_);
    left->addWidget(progress_);
    left->addStretch(1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(importButton);
    buttons->addWidget(close);
    buttons->addStretch(1);
    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addLayout(buttons);

    connect(ref, &QPushButton::clicked, this, [this] { ChooseFiles(); });
    connect(importButton, &QPushButton::clicked, this, [this] {
        if (DoImport()) accept();
    });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CImport::reject() {
    if (!importing_) QDialog::reject();
}

bool CImport::ChooseFiles() {
    std::vector<std::string> chosen = files_;
    bool ok;
    {
        // The working folder is the program's, whatever the file dialog does.
        const QString saved = QDir::currentPath();
        ok = Prompter::Current().OpenFileNames(this, platform::LoadString(ids::kImportFileFilter), chosen);
        QDir::setCurrent(saved);
    }
    if (!ok || chosen.empty()) return false;
    SetFiles(std::move(chosen));
    return true;
}

void CImport::SetFiles(std::vector<std::string> files) {
    files_ = std::move(files);
    ShowFiles();
}

// One file: its full path. Several: each name without its folder, quoted, followed by a blank.
void CImport::ShowFiles() {
    std::string text;
    if (files_.size() == 1) {
        text = files_.front();
    } else {
        for (const std::string& f : files_) text += "\"" + platform::StoredNameOf(f) + "\" ";
    }
    filesEdit_->setText(QString::fromStdString(text));
}

bool CImport::DoImport() {
    // The daily files are the only hand-over from the measurement worker; rewriting a day file it
    // is appending to would lose its record.
    if (busy_ && busy_()) {
        ShowMessage(this, ids::kImportDuringMeasurement, Prompter::Icon::Information);
        return false;
    }
    if (!Prompter::Current().AskYesNo(this, platform::LoadString(ids::kImportConfirm))) return false;
    const bool overwrite = overwrite_->isChecked();
    importing_ = true;
    const int count = static_cast<int>(files_.size());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    for (int i = 0; i < count; ++i) {
        const std::string& path = files_[static_cast<std::size_t>(i)];
        CVeldDataImporter importer(path);
        QElapsedTimer clock;
        clock.start();
        lastProgress_ = 0;
        bool shown = false;
        importer.SetProgress([&](int64_t done, int64_t total) {
            const int value = total > 0 ? static_cast<int>(done * kProgressSteps / total) : kProgressSteps;
            lastProgress_ = std::max(lastProgress_, value);
            if (!shown) {
                if (clock.elapsed() < progressDelayMs_) return;
                shown = true;
                char label[1024];
                std::snprintf(label, sizeof label, platform::LoadString(ids::kImportingFile).c_str(),
                              platform::StoredNameOf(path).c_str(), i + 1, count);
                progressText_->setText(QString::fromStdString(label));
                progressText_->setVisible(true);
                progress_->setVisible(true);
            }
            if (value == progress_->value()) return;
            progress_->setValue(value);
            // Repaint only: the user cannot act on the dialog while a file goes in.
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        const bool ok = importer.Import(overwrite);
        progress_->setVisible(false);
        progressText_->setVisible(false);
        progress_->reset();
        if (!ok) {
            importing_ = false;
            QApplication::restoreOverrideCursor();
            std::string text = platform::LoadString(ids::kImportFailure) + "\r\n" + path;
            // A full disk is not the file's fault: say where to look.
            if (importer.LastFailure() == CVeldDataImporter::Failure::DataFolder) {
                text += "\r\n" + (importer.Detail().empty() ? platform::LoadString(ids::kCannotSaveData) : importer.Detail());
                if (!importer.FolderError().empty()) text += "\r\n" + importer.FolderError();
            }
            ShowMessageText(this, text);
            return false;
        }
        importedAny_ = true;
    }
    importing_ = false;
    QApplication::restoreOverrideCursor();
    ShowMessage(this, ids::kImportCompleted, Prompter::Icon::Information);
    files_.clear();
    filesEdit_->clear();
    return true;
}
