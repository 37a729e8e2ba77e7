#include "gui/dialogs/EditComment.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "core/platform/Text.h"

namespace {
QString Text(int id) { return QString::fromStdString(platform::LoadString(id)); }
}

CEditComment::CEditComment(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("editCommentDialog"));
    setWindowTitle(Text(ids::kEditComment));
    auto* group = new QGroupBox(Text(ids::kNewComment), this);
    edit_ = new QLineEdit(group);
    edit_->setObjectName(QStringLiteral("commentEdit"));
    edit_->setMinimumWidth(300);
    left_ = new QLabel(group);
    left_->setObjectName(QStringLiteral("bytesLeftLabel"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(edit_);
    groupLayout->addWidget(left_, 0, Qt::AlignRight);

    auto* ok = new QPushButton(Text(ids::kOk), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Text(ids::kCancel), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    auto* main = new QHBoxLayout(this);
    main->addWidget(group, 1);
    main->addLayout(buttons);

    connect(edit_, &QLineEdit::textChanged, this, [this] {
        Limit();
        ShowBytesLeft();
    });
    ShowBytesLeft();
    connect(ok, &QPushButton::clicked, this, [this] {
        // A comment left as shown keeps its stored bytes: a CP932 memo is not rewritten as UTF-8
        // (which may no longer fit).
        if (edit_->text() != shown_) comment_ = platform::FitBytes(edit_->text().toStdString(), kMaxBytes);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CEditComment::SetComment(const std::string& comment) {
    comment_ = platform::FitBytes(comment, kMaxBytes);
    shown_ = QString::fromStdString(platform::ToDisplayText(comment_));
    // Decoded, an old CP932 memo may take more than 63 bytes; it is shown whole.
    QSignalBlocker block(edit_);
    edit_->setText(shown_);
    lastValid_ = shown_;
    // Typing replaces the old comment; an arrow key keeps it for editing.
    edit_->selectAll();
    ShowBytesLeft();
}

void CEditComment::ShowBytesLeft() {
    const int used = static_cast<int>(edit_->text().toStdString().size());
    char text[128];
    std::snprintf(text, sizeof text, platform::LoadString(ids::kBytesLeft).c_str(), std::max(0, kMaxBytes - used),
                  kMaxBytes);
    left_->setText(QString::fromUtf8(text));
}

// The limit is in bytes of the stored text, so a Japanese comment holds fewer characters; an edit
// that would pass it is undone (pasted text that is too long is cut instead).
void CEditComment::Limit() {
    const QString now = edit_->text();
    const std::string text = now.toStdString();
    // Shortening is always allowed, so a long decoded memo can be brought within the limit.
    if (text.size() <= static_cast<std::size_t>(kMaxBytes) || text.size() < lastValid_.toStdString().size()) {
        lastValid_ = now;
        return;
    }
    QSignalBlocker block(edit_);
    const int cursor = edit_->cursorPosition();
    const int inserted = static_cast<int>(now.size() - lastValid_.size());
    if (inserted <= 1) {
        edit_->setText(lastValid_);
        edit_->setCursorPosition(std::max(0, cursor - 1));
    } else {
        lastValid_ = QString::fromStdString(platform::FitBytes(text, kMaxBytes));
        edit_->setText(lastValid_);
    }
}
