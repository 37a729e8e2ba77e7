#pragma once
// Shared pieces of the graph window tests: the offscreen application, a main window that records
// the messages posted to it, and records with a known spectrum.
#include <QApplication>
#include <QWidget>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/graph/RecordingSurface.h"

namespace viewstest {

QApplication& App();

struct PostedMessage {
    unsigned message;
    long long wParam;
    long long lParam;
};

// Stands in for the main dialog: collects what the graph windows post to ui::MainWindow().
class MessageRecorder : public QWidget {
public:
    MessageRecorder();
    ~MessageRecorder() override;
    std::vector<PostedMessage> messages;
    int Count(unsigned message) const;
    void Pump();

protected:
    bool event(QEvent* e) override;
};

// A measured record: 256 pixels from 300 nm in steps of about 3.14 nm, irradiance rising with the
// pixel; level moves the whole curve.
CSpectrumData Measured(long long time, const char* memo = "", float level = 100.0f);

// Texts drawn on a recording surface.
std::vector<std::string> TextsOf(const RecordingSurface& s);
bool HasText(const RecordingSurface& s, const std::string& text);

}  // namespace viewstest
