// The program started as main starts it, under its own event loop: the spectrum graph window, a
// thumbnail window and a graph settings dialog take clicks and keys while the main dialog is open,
// and the main dialog keeps its exit rules. Input goes in at the window level, where Qt drops what
// a modal window blocks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>
#include <QtTest/QTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <set>
#include <vector>

#include "gui/shell/HeliarcApp.h"
#include "gui/shell/HeliarcDlg.h"
#include "core/data/SpectrumDataWriter.h"
#include "core/platform/StringTable.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestSupport.h"
#include "tests/unit/data/DataTestUtil.h"
#include "gui/browser/DataListCtrl.h"
#include "gui/browser/DataThumbnailWnd.h"
#include "render/DataGraphPicture.h"
#include "gui/spectrum/DataGraphView.h"
#include "gui/spectrum/DataGraphWnd.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_app_loop";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Counts the mouse presses and key presses that reach a widget of each top-level window.
class InputCounter : public QObject {
public:
    std::map<const QWidget*, int> clicks, keys;

protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o->isWidgetType() && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::KeyPress)) {
            const QWidget* top = static_cast<QWidget*>(o)->window();
            ++(e->type() == QEvent::KeyPress ? keys : clicks)[top];
        }
        return false;
    }
};

// A click as the window system delivers it: to the widget's window, at the widget's centre.
void ClickWidget(QWidget* w, QPoint at = QPoint(-1, -1)) {
    QWidget* top = w->window();
    if (at.x() < 0) at = w->rect().center();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, w->mapTo(top, at));
}

void KeyTo(QWidget* top, Qt::Key key) { QTest::keyClick(top->windowHandle(), key); }

QWidget* TopLevel(const char* objectName) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w->objectName() == QLatin1String(objectName)) return w;
    return nullptr;
}

QWidget* ToolButton(CDataGraphWnd* frame, GraphCommand command) {
    return frame->ToolBar()->widgetForAction(frame->Action(command));
}

// Steps run one after another from a timer inside the program's loop (and inside any nested loop of
// a modal dialog); a step returns false to be tried again on the next tick.
class Script {
public:
    void Add(std::string name, std::function<bool()> step) { steps_.push_back({std::move(name), std::move(step)}); }
    void Start() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
        clock_.start();
        timer_.start();
    }
    bool Finished() const { return next_ == steps_.size(); }
    std::string Stuck() const { return next_ < steps_.size() ? steps_[next_].first : std::string(); }

private:
    void Tick() {
        if (running_) return;
        running_ = true;
        while (next_ < steps_.size() && steps_[next_].second()) {
            if (std::getenv("HELIARC_TEST_TRACE")) std::fprintf(stderr, "step done: %s\n", steps_[next_].first.c_str());
            ++next_;
            clock_.restart();
        }
        running_ = false;
        if (next_ < steps_.size() && clock_.elapsed() > 10000) {
            // Give up: close whatever is modal and end the program, so the test reports the step.
            timer_.stop();
            if (QWidget* modal = QApplication::activeModalWidget()) static_cast<QDialog*>(modal)->reject();
            QTimer::singleShot(100, [] { QCoreApplication::exit(3); });
        }
    }
    std::vector<std::pair<std::string, std::function<bool()>>> steps_;
    std::size_t next_ = 0;
    bool running_ = false;
    QTimer timer_;
    QElapsedTimer clock_;
};

TEST(EventLoop, GraphThumbnailAndSettingsWindowsTakeInputBesideTheMainDialog) {
    App();
    testsupport::TempWorkDir work;
    platform::SetLanguage(platform::Language::English);
    for (int n = 1; n <= 10; ++n)
        ::setenv(("HELIARC_COM" + std::to_string(n)).c_str(), ("/nonexistent/com" + std::to_string(n)).c_str(), 1);
    datatest::SetGeneral("C:\\", "SPC");
    {
        CSpectrumDataWriter writer;
        for (int i = 0; i < 3; ++i)
            ASSERT_EQ(writer.AppendRecord(datatest::MakeRecord(datatest::Local(2009, 5, 12, 10, i, 0), "r")), 1);
    }
    ScriptedPrompter prompter;
    prompter.modal = [](QDialog& d) { return d.exec(); };  // the settings dialog as the program runs it
    InputCounter counter;
    App().installEventFilter(&counter);

    CHeliarcDlg* dlg = nullptr;
    CDataGraphWnd* graph = nullptr;
    QImage before;
    QPointer<QDialog> settings;
    QCheckBox* box = nullptr;
    bool boxWas = false;
    Script script;
    script.Add("main dialog shown with the records", [&] {
        dlg = CHeliarcApp::Instance() ? CHeliarcApp::Instance()->MainDialog() : nullptr;
        return dlg && dlg->isVisible() && dlg->RecordList()->ItemCount() == 3;
    });
    script.Add("open the spectrum window from the main dialog", [&] {
        CDataListCtrl* list = dlg->RecordList();
        ClickWidget(list->viewport(), list->visualRect(list->model()->index(1, 0)).center());
        if (dlg->Selection() != std::set<int>{1}) return false;
        ClickWidget(dlg->findChild<QPushButton*>(QStringLiteral("plotMeasuredButton")));
        return true;
    });
    script.Add("spectrum window shown", [&] {
        graph = static_cast<CDataGraphWnd*>(TopLevel("CDataGraphWnd"));
        if (!graph || !graph->windowHandle() || !graph->windowHandle()->isExposed()) return false;
        before = graph->View()->grab().toImage();
        return true;
    });
    script.Add("click the spectrum window's toolbar", [&] {
        ClickWidget(ToolButton(graph, GraphCommand::XZoomIn));
        return true;
    });
    script.Add("the picture changed", [&] { return graph->View()->grab().toImage() != before; });
    script.Add("key to the spectrum window", [&] {
        KeyTo(graph, Qt::Key_Right);
        return counter.keys[graph] > 0;
    });
    script.Add("click and key to the thumbnail window", [&] {
        QWidget* thumb = dlg->DataThumbnailWnd();
        ClickWidget(thumb);
        KeyTo(thumb, Qt::Key_Down);
        return counter.clicks[thumb] > 0 && counter.keys[thumb] > 0;
    });
    script.Add("open the settings dialog from the toolbar", [&] {
        // Clicked from its own timer event: the dialog's loop runs inside that click, and the
        // script goes on inside that loop.
        QTimer::singleShot(0, graph, [graph] { ClickWidget(ToolButton(graph, GraphCommand::Settings)); });
        return true;
    });
    script.Add("settings dialog shown", [&] {
        settings = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!settings || !settings->windowHandle() || !settings->windowHandle()->isExposed()) return false;
        for (QCheckBox* c : settings->findChildren<QCheckBox*>())
            if (c->isVisible() && c->isEnabled()) {
                box = c;
                break;
            }
        if (box) boxWas = box->isChecked();
        return box != nullptr && dlg->OpenModalCount() == 1;
    });
    script.Add("click in the settings dialog", [&] {
        ClickWidget(box, QPoint(6, box->height() / 2));  // on the box itself
        return box->isChecked() != boxWas;
    });
    script.Add("the graph window waits for its dialog, the main dialog does not", [&] {
        const int clicks = counter.clicks[graph];
        ClickWidget(ToolButton(graph, GraphCommand::XZoomIn));
        EXPECT_EQ(counter.clicks[graph], clicks);
        // Exit is refused while the dialog is open.
        ClickWidget(dlg->findChild<QPushButton*>(QStringLiteral("exitButton")));
        return !prompter.Messages().empty();
    });
    script.Add("the refusal was the exit rule's", [&] {
        EXPECT_EQ(prompter.Messages().back(), platform::LoadString(2125));
        return dlg->isVisible();
    });
    script.Add("a key closes the settings dialog", [&] {
        KeyTo(settings, Qt::Key_Escape);
        return !settings || !settings->isVisible();
    });
    script.Add("counter back to zero", [&] { return dlg->OpenModalCount() == 0; });
    script.Add("exit with the button", [&] {
        prompter.Clear();
        ClickWidget(dlg->findChild<QPushButton*>(QStringLiteral("exitButton")));
        return true;
    });
    script.Start();

    CHeliarcApp heliarc;
    CHeliarcApp::Options options;
    const int code = heliarc.Run(options);
    App().removeEventFilter(&counter);
    EXPECT_TRUE(script.Finished()) << "stuck at: " << script.Stuck();
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(prompter.Messages().empty());
    EXPECT_EQ(TopLevel("CDataGraphWnd"), nullptr);
}

}  // namespace
