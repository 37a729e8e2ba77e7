#include "gui/dialogs/GuideWindow.h"

#include <QDesktopServices>
#include <QAbstractTextDocumentLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
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
    // Links out of the guide open in the desktop's browser; the contents links go to their heading.
    text_->setOpenLinks(false);
    connect(text_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) { Follow(url); });
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

namespace {

// A heading's anchor as Markdown renderers make it: lower case, spaces as '-', no punctuation.
QString Slug(const QString& heading) {
    QString slug;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_')) slug += c;
        else if (c.isSpace()) slug += QLatin1Char('-');
    }
    return slug;
}

}  // namespace

bool CGuideWindow::ScrollToHeading(const QString& anchor) {
    for (QTextBlock block = text_->document()->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0 || Slug(block.text()) != anchor) continue;
        QTextCursor cursor(block);
        text_->setTextCursor(cursor);
        // The heading at the top of the view, not just somewhere in it.
        text_->verticalScrollBar()->setValue(static_cast<int>(text_->document()->documentLayout()->blockBoundingRect(block).top()));
        return true;
    }
    return false;
}

void CGuideWindow::Follow(const QUrl& url) {
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
        url.scheme() == QLatin1String("mailto")) {
        QDesktopServices::openUrl(url);
        return;
    }
    if (url.path().isEmpty() || url.path() == text_->source().path()) {
        ScrollToHeading(url.fragment());
        return;
    }
    // The guide in the other language, compiled in beside this one.
    text_->setSource(text_->source().resolved(url), QTextDocument::MarkdownResource);
    if (url.hasFragment()) ScrollToHeading(url.fragment());
}
