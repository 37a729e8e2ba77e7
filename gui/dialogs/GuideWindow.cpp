#include "gui/dialogs/GuideWindow.h"

#include <QDesktopServices>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/GraphFrame.h"

CGuideWindow::CGuideWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("guideWindow"));
    setWindowTitle(CGraphFrame::TitleFor(platform::LoadString(ids::kUserGuide)));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    text_ = new QTextBrowser(this);
    text_->setObjectName(QStringLiteral("guideText"));
    // Links out of the guide open in the desktop's browser; the guide's own anchors stay here.
    text_->setOpenExternalLinks(true);
    text_->setSearchPaths({QStringLiteral(":/guide")});
    const bool japanese = platform::CurrentLanguage() == platform::Language::Japanese;
    text_->setSource(QUrl(japanese ? QStringLiteral("qrc:/guide/guide.ja.md") : QStringLiteral("qrc:/guide/guide.md")),
                     QTextDocument::MarkdownResource);
    auto* close = new QPushButton(QString::fromStdString(platform::LoadString(ids::kClose)), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(820, 720);
}
