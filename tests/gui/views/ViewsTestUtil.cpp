#include "tests/gui/views/ViewsTestUtil.h"

#include <QCoreApplication>
#include <algorithm>

#include "gui/common/GraphFrame.h"
#include "tests/unit/data/DataTestUtil.h"

namespace viewstest {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui_views";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

FrameSignals::FrameSignals(CGraphFrame* frame) {
    auto add = [this](const char* name, long long time = 0) { events.push_back({name, time}); };
    connections_ = {
        QObject::connect(frame, &CGraphFrame::closed, [add] { add("closed"); }),
        QObject::connect(frame, &CGraphFrame::modalOpened, [add] { add("modalOpened"); }),
        QObject::connect(frame, &CGraphFrame::modalClosed, [add] { add("modalClosed"); }),
        QObject::connect(frame, &CGraphFrame::previousRequested, [add](qint64 t) { add("previous", t); }),
        QObject::connect(frame, &CGraphFrame::nextRequested, [add](qint64 t) { add("next", t); }),
    };
}

FrameSignals::~FrameSignals() {
    for (const QMetaObject::Connection& c : connections_) QObject::disconnect(c);
}

int FrameSignals::Count(const std::string& name) const {
    return static_cast<int>(
        std::count_if(events.begin(), events.end(), [&](const Event& e) { return e.name == name; }));
}

void Pump() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
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
