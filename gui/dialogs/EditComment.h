#pragma once
// "Edit comment": asks for a record's new comment, at most the 63 bytes a record holds.
#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QLineEdit;

class CEditComment : public QDialog {
public:
    static constexpr int kMaxBytes = 63;

    explicit CEditComment(QWidget* parent = nullptr);

    void SetComment(const std::string& comment);
    // The text as it stood when OK was pressed (UTF-8, at most 63 bytes, cut between characters),
    // or the comment as set when it was left as shown.
    const std::string& Comment() const { return comment_; }

private:
    void Limit();
    void ShowBytesLeft();

    QLineEdit* edit_;
    QLabel* left_;  // how many of the bytes are left
    std::string comment_;
    QString shown_;  // comment_ as shown
    QString lastValid_;
};
