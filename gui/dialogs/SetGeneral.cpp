#include "gui/dialogs/SetGeneral.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/config/GeneralPrm.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/SettingsFields.h"
#include "gui/common/Prompter.h"

namespace {
QString Text(int id) { return QString::fromStdString(platform::LoadString(id)); }
}

CSetGeneral::CSetGeneral(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlg133"));
    setWindowTitle(Text(ids::kDataFolderConfig));

    auto* group = new QGroupBox(Text(ids::kSavedDataFolder), this);
    folder_ = new QLineEdit(group);
    folder_->setObjectName(QStringLiteral("dataFolderEdit"));
    MakeReadOnlyField(folder_);
    folder_->setMinimumWidth(320);
    auto* ref = new QPushButton(Text(ids::kRef), group);
    ref->setObjectName(QStringLiteral("browseButton"));
    ref->setAutoDefault(false);
    auto* groupRow = new QHBoxLayout(group);
    groupRow->addWidget(folder_, 1);
    groupRow->addWidget(ref);

    auto* idLabel = new QLabel(Text(ids::kFilenameId), this);
    fileId_ = new QLineEdit(this);
    fileId_->setObjectName(QStringLiteral("fileIdEdit"));
    idLabel->setBuddy(fileId_);

    auto* ok = new QPushButton(Text(ids::kOk), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* close = new QPushButton(Text(ids::kClose), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setAutoDefault(false);

    auto* idRow = new QHBoxLayout;
    idRow->addWidget(idLabel);
    idRow->addWidget(fileId_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(close);
    auto* main = new QVBoxLayout(this);
    main->addWidget(group);
    main->addLayout(idRow);
    main->addLayout(buttons);

    connect(ref, &QPushButton::clicked, this, [this] { OnRef(); });
    connect(ok, &QPushButton::clicked, this, [this] { OnOk(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    CGeneralPrm prm;
    prm.Load();
    // The folder as this system writes it; the stored form ("C:\") stays in the file until the user
    // chooses another folder, so a configuration moved between systems keeps working.
    stored_ = prm.m_DATA_STORED_FOLDER.Get();
    shown_ = stored_.empty() ? QString()
                             : QDir::cleanPath(QFileInfo(QString::fromStdString(platform::MapPath(stored_))).absoluteFilePath());
    folder_->setText(shown_);
    fileId_->setText(QString::fromStdString(prm.m_FILE_NAME_ID.Get()));
}

std::string CSetGeneral::FolderText() const { return folder_->text().toStdString(); }
std::string CSetGeneral::FileNameIdText() const { return fileId_->text().toStdString(); }

void CSetGeneral::OnRef() {
    std::string path = FolderText();
    if (Prompter::Current().BrowseFolder(this, path)) folder_->setText(QString::fromStdString(path));
}

void CSetGeneral::OnOk() {
    if (!CGeneralPrm::IsUsableFileNameId(FileNameIdText())) {
        ShowMessage(this, ids::kFileNameIdHoldsSeparator, Prompter::Icon::Information);
        fileId_->setFocus();
        return;
    }
    CGeneralPrm prm;
    prm.Load();
    // Stored as typed: an empty folder or ID is accepted; an unchanged folder keeps its stored form.
    if (folder_->text() != shown_) prm.m_DATA_STORED_FOLDER = FolderText();
    prm.m_FILE_NAME_ID = FileNameIdText();
    prm.Save();
    accept();
}
