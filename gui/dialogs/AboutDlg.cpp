#include "gui/dialogs/AboutDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Logo.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(QString::fromStdString(platform::LoadString(ids::kVersion)));
    auto* icon = new QLabel(this);
    icon->setPixmap(HeliarcIcon().pixmap(48, 48));
    // The program's own name above the instrument's version line.
    auto* name = new QLabel(QStringLiteral("<b>Heliarc</b> %1").arg(QApplication::applicationVersion()), this);
    name->setObjectName(QStringLiteral("programName"));
    auto* text = new QLabel(QString::fromStdString(platform::LoadString(ids::kVersionText)), this);
    text->setObjectName(QStringLiteral("versionText"));
    auto* ok = new QPushButton(QString::fromStdString(platform::LoadString(ids::kOk)), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(name, 0, 1);
    grid->addWidget(text, 1, 1);
    grid->addWidget(ok, 0, 2, Qt::AlignTop);
    grid->setColumnStretch(1, 1);
    grid->setHorizontalSpacing(16);
}
