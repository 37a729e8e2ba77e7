// The colour static's blinking, the graph window sets, the data folder and comment dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <QCloseEvent>
#include <QTest>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

#include "AppTestUtil.h"
#include "gui/common/ColorStatic.h"
#include "gui/dialogs/EditComment.h"
#include "gui/dialogs/GuideWindow.h"
#include "gui/common/QtPrompter.h"
#include "gui/common/FrameSet.h"
#include "gui/dialogs/SetGeneral.h"

namespace {

using apptest::AppTest;
using apptest::Pump;
using apptest::WaitFor;

TEST_F(AppTest, ColorStaticBlinksBetweenItsPairsAndRestoresTheSteadyColours) {
    CColorStatic s;
    s.SetColors(0x112233, 0x445566);
    s.SetBlinkColors(0x000000, 0xFFFFFF, 0xFFFFFF, 0xFF2020);
    s.StopBlink();  // not blinking: nothing happens
    EXPECT_EQ(s.CurrentBackgroundColor(), 0x445566u);
    s.StartBlink(1000);
    EXPECT_TRUE(s.IsBlinking());
    EXPECT_EQ(s.CurrentTextColor(), 0xFFFFFFu);
    EXPECT_EQ(s.CurrentBackgroundColor(), 0xFF2020u);
    s.Toggle();
    EXPECT_EQ(s.CurrentTextColor(), 0x000000u);
    EXPECT_EQ(s.CurrentBackgroundColor(), 0xFFFFFFu);
    // A second start keeps the first period.
    s.StartBlink(20);
    EXPECT_EQ(s.BlinkPeriod(), 1000);
    s.SetColors(0x0000FF, 0x00FF00, false);  // the steady colours change while blinking
    s.StopBlink();
    EXPECT_FALSE(s.IsBlinking());
    EXPECT_EQ(s.CurrentTextColor(), 0x0000FFu);
    EXPECT_EQ(s.CurrentBackgroundColor(), 0x00FF00u);
    EXPECT_EQ(s.palette().color(QPalette::Window), QColor(0, 255, 0));
    EXPECT_EQ(s.palette().color(QPalette::WindowText), QColor(255, 0, 0));

    // The timer toggles by itself.
    s.SetBlinkColors(0, 0xFFFFFF, 0xFFFFFF, 0x000000);
    s.StartBlink(15);
    const uint32_t first = s.CurrentBackgroundColor();
    EXPECT_TRUE(WaitFor([&] { return s.CurrentBackgroundColor() != first; }, 2000));
    s.StopBlink();

    s.SetBackgroundColor(0x808080);
    EXPECT_EQ(s.GetBackgroundColor(), 0x808080u);
    EXPECT_EQ(s.CurrentTextColor(), 0x0000FFu);
}

class CountingWindow : public QWidget {
public:
    explicit CountingWindow(int* closes) : closes_(closes) {}

protected:
    void closeEvent(QCloseEvent* e) override {
        ++*closes_;
        e->accept();
    }

private:
    int* closes_;
};

TEST_F(AppTest, FrameSetKeepsOrderIgnoresRepeatsAndForgetsGoneWindows) {
    int closes = 0;
    CFrameSet set;
    EXPECT_FALSE(set.Any());
    auto* a = new CountingWindow(&closes);
    auto* b = new CountingWindow(&closes);
    auto* c = new CountingWindow(&closes);
    set.Add(a);
    set.Add(b);
    set.Add(a);  // already there
    set.Add(c);
    set.Add(nullptr);
    ASSERT_EQ(set.Count(), 3);
    set.Remove(a);
    ASSERT_EQ(set.Count(), 2);
    EXPECT_EQ(set.At(0), b);
    EXPECT_EQ(set.At(1), c);
    EXPECT_EQ(set.At(7), nullptr);
    EXPECT_EQ(set.At(-1), nullptr);
    QWidget stranger;
    set.Remove(&stranger);
    EXPECT_EQ(set.Count(), 2);
    set.Add(a);
    delete b;  // gone: no longer counted, and not closed
    ASSERT_EQ(set.Count(), 2);
    EXPECT_EQ(set.At(0), c);
    EXPECT_EQ(set.At(1), a);
    set.CloseAll();
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(set.Any());
    delete a;
    delete c;
}

TEST_F(AppTest, NewGraphWindowsCascadeInsideTheWorkArea) {
    const QRect work(0, 0, 1280, 800);
    const QSize size(800, 600);
    std::set<std::pair<int, int>> seen;
    for (int n = 0; n < 7; ++n) {
        const QPoint p = CFrameSet::CascadePosition(n, size, work);
        EXPECT_TRUE(work.contains(QRect(p, size))) << n;
        EXPECT_GE(p.x(), 160) << "covers the thumbnail column";
        seen.insert({p.x(), p.y()});
    }
    EXPECT_EQ(seen.size(), 7u);
    // When the next place would leave the work area, it starts over.
    const int places = 1 + (800 - 600) / 28;
    EXPECT_EQ(CFrameSet::CascadePosition(places, size, work), CFrameSet::CascadePosition(0, size, work));
    // A window larger than the work area still gets a place on it.
    EXPECT_EQ(CFrameSet::CascadePosition(3, QSize(2000, 2000), work), work.topLeft());

    // Windows added to the sets do not open on top of each other; adding one again leaves it.
    CFrameSet a, b;
    QWidget w1, w2;
    w1.resize(300, 200);
    w2.resize(300, 200);
    a.Add(&w1);
    b.Add(&w2);
    EXPECT_NE(w1.pos(), w2.pos());
    const QPoint kept = w1.pos();
    b.Add(&w1);
    EXPECT_EQ(w1.pos(), kept);
}

TEST_F(AppTest, DataFolderDialogStoresOnlyOnOk) {
    {
        CSetGeneral d;
        // The default "C:\\" is shown as the folder it stands for here, the working folder.
        const std::string here = std::filesystem::canonical(work.Path()).string();
        EXPECT_EQ(std::filesystem::canonical(d.FolderText()).string(), here);
        EXPECT_EQ(d.FolderText().find('\\'), std::string::npos);
        EXPECT_EQ(d.FileNameIdText(), "SPC");
        // The folder is chosen, not typed: the field looks like it cannot be typed into.
        auto* folder = d.findChild<QLineEdit*>(QStringLiteral("dataFolderEdit"));
        EXPECT_TRUE(folder->isReadOnly());
        EXPECT_NE(folder->palette().color(QPalette::Base), QLineEdit().palette().color(QPalette::Base));
        // A cancelled browser leaves the text; a choice replaces it.
        prompter.paths = {std::nullopt, std::string("/data/field")};
        d.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
        EXPECT_EQ(std::filesystem::canonical(d.FolderText()).string(), here);
        d.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
        EXPECT_EQ(d.FolderText(), "/data/field");
        d.findChild<QPushButton*>(QStringLiteral("closeButton"))->click();
        EXPECT_EQ(d.result(), QDialog::Rejected);
    }
    EXPECT_EQ(Ini("GENERAL", "DATA_STORED_FOLDER"), "<none>");
    {
        // OK without another choice keeps the stored form, so the file still reads "C:\\".
        CSetGeneral d;
        d.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    }
    EXPECT_EQ(Ini("GENERAL", "DATA_STORED_FOLDER"), "C:\\");
    {
        CSetGeneral d;
        prompter.paths = {std::string("/data/field")};
        d.findChild<QPushButton*>(QStringLiteral("browseButton"))->click();
        d.findChild<QLineEdit*>(QStringLiteral("fileIdEdit"))->clear();
        d.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_EQ(Ini("GENERAL", "DATA_STORED_FOLDER"), "/data/field");
    EXPECT_EQ(Ini("GENERAL", "FILE_NAME_ID"), "");
    // An ID that would put the daily files into another folder is refused and not stored.
    for (const char* id : {"../SPC", "sub/SPC", "a\\b", ".."}) {
        prompter.Clear();
        CSetGeneral d;
        d.findChild<QLineEdit*>(QStringLiteral("fileIdEdit"))->setText(QString::fromUtf8(id));
        d.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        EXPECT_NE(d.result(), QDialog::Accepted) << id;
        EXPECT_EQ(prompter.Messages(), std::vector<std::string>{"A file name ID must not contain / or \\ or \"..\"."}) << id;
    }
    EXPECT_EQ(Ini("GENERAL", "FILE_NAME_ID"), "");
}

TEST_F(AppTest, CommentDialogHoldsAtMost63Bytes) {
    CEditComment d;
    auto* edit = d.findChild<QLineEdit*>(QStringLiteral("commentEdit"));
    ASSERT_NE(edit, nullptr);
    auto left = [&] { return d.findChild<QLabel*>(QStringLiteral("bytesLeftLabel"))->text().toStdString(); };
    d.SetComment("old");
    EXPECT_EQ(edit->selectedText().toStdString(), "old") << "typing replaces the old comment";
    EXPECT_EQ(left(), "60 of 63 bytes left");
    d.SetComment(std::string(70, 'a'));
    EXPECT_EQ(edit->text().size(), 63);
    edit->setText(QString(62, QLatin1Char('b')));
    edit->end(false);
    edit->insert(QStringLiteral("c"));
    EXPECT_EQ(edit->text().size(), 63);
    edit->insert(QStringLiteral("d"));  // the 64th character is refused
    EXPECT_EQ(edit->text().toStdString(), std::string(62, 'b') + "c");
    // Multi-byte text counts in bytes: 21 three-byte characters fill the field.
    edit->setText(QString(20, QChar(0x65E5)));
    EXPECT_EQ(left(), "3 of 63 bytes left");
    edit->end(false);
    edit->insert(QString(QChar(0x65E5)));
    edit->insert(QStringLiteral("x"));
    EXPECT_EQ(edit->text().size(), 21);
    EXPECT_EQ(left(), "0 of 63 bytes left");
    d.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
    EXPECT_EQ(d.Comment().size(), 63u);
}

// A CP932 memo of an older system is shown decoded and whole, even where that takes more than 63
// bytes; left as shown it keeps its stored bytes, edited it becomes UTF-8 cut between characters.
TEST_F(AppTest, CommentDialogKeepsACp932MemoLeftAsShown) {
    std::string stored;
    for (int i = 0; i < 30; ++i) stored += "\x83\x65";  // 30 x "テ", 90 bytes as UTF-8
    for (bool edited : {false, true}) {
        CEditComment d;
        auto* edit = d.findChild<QLineEdit*>(QStringLiteral("commentEdit"));
        d.SetComment(stored);
        EXPECT_EQ(edit->text(), QString(30, QChar(0x30C6)));
        if (edited) {
            edit->end(false);
            edit->backspace();  // shortening is allowed
            EXPECT_EQ(edit->text().size(), 29);
        }
        d.findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        EXPECT_EQ(d.Comment(), edited ? QString(21, QChar(0x30C6)).toStdString() : stored);
    }
}

}  // namespace

TEST_F(AppTest, F1OpensTheUserGuideOfTheLanguageWithItsPictures) {
    CHeliarcDlg& d = MakeDialog();
    d.show();
    Pump();
    QTest::keyClick(&d, Qt::Key_F1);
    auto* guide = d.findChild<CGuideWindow*>(QStringLiteral("guideWindow"));
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    QTextDocument* doc = guide->Browser()->document();
    EXPECT_TRUE(doc->toPlainText().startsWith(QStringLiteral("Heliarc user guide")));
    EXPECT_FALSE(doc->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("main-dialog-en.png"))).isNull());
    // The contents links lead to their headings.
    guide->resize(600, 400);
    Pump();
    EXPECT_TRUE(guide->ScrollToHeading(QStringLiteral("the-data-browser")));
    EXPECT_GT(guide->Browser()->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(guide->Browser()->textCursor().block().text().startsWith(QStringLiteral("The data browser")));
    EXPECT_FALSE(guide->ScrollToHeading(QStringLiteral("no-such-heading")));
    platform::SetLanguage(platform::Language::Japanese);
    CGuideWindow ja;
    EXPECT_TRUE(ja.Browser()->document()->toPlainText().startsWith(QString::fromUtf8("Heliarc ユーザーガイド")));
}

TEST_F(AppTest, EnterOnAQuestionAnswersNo) {
    // Questions stop runs and delete records: the key that ends a box must not say yes.
    QTimer::singleShot(0, [] {
        if (QWidget* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Return);
    });
    QtPrompter prompter;
    EXPECT_FALSE(prompter.AskYesNo(nullptr, "Delete?"));
}
