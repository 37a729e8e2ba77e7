#include "tests/gui/views/ViewsTestUtil.h"

#include <QCoreApplication>
#include <algorithm>

#include "tests/unit/data/DataTestUtil.h"
#include "gui/common/WindowMessage.h"

namespace viewstest {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui_views";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

MessageRecorder::MessageRecorder() { ui::SetMainWindow(this); }
MessageRecorder::~MessageRecorder() { ui::SetMainWindow(nullptr); }

int MessageRecorder::Count(unsigned message) const {
    return static_cast<int>(std::count_if(messages.begin(), messages.end(),
                                          [message](const PostedMessage& m) { return m.message == message; }));
}

void MessageRecorder::Pump() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool MessageRecorder::event(QEvent* e) {
    if (e->type() == ui::CWindowMessageEvent::EventType()) {
        auto* m = static_cast<ui::CWindowMessageEvent*>(e);
        messages.push_back({m->Message(), m->WParam(), m->LParam()});
        return true;
    }
    return QWidget::event(e);
}

CSpectrumData Measured(long long time, const char* memo, float level) {
    return datatest::MakeRecord(time, memo, level);
}

std::vector<std::string> TextsOf(const RecordingSurface& s) {
    std::vector<std::string> out;
    for (const RecordedCall& c : s.Texts()) out.push_back(c.text);
    return out;
}

bool HasText(const RecordingSurface& s, const std::string& text) {
    const auto t = TextsOf(s);
    return std::find(t.begin(), t.end(), text) != t.end();
}

}  // namespace viewstest
