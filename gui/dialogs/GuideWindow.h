#pragma once
// The user guide inside the program: the Markdown guide of the UI's language with its pictures,
// compiled into the program, in a window of its own beside the main window.
#include <QDialog>

class QTextBrowser;
class QUrl;

class CGuideWindow : public QDialog {
public:
    explicit CGuideWindow(QWidget* parent = nullptr);
    QTextBrowser* Browser() const { return text_; }
    // Scrolls to the heading the contents link #anchor names; false when there is none.
    bool ScrollToHeading(const QString& anchor);

private:
    void Follow(const QUrl& url);

    QTextBrowser* text_ = nullptr;
};
