#pragma once
// Shared pieces of the graph window tests: the offscreen application, a recorder of what a graph
// frame signals, and records with a known spectrum.
#include <QApplication>
#include <QWidget>
#include <string>
#include <vector>

#include "core/data/SpectrumData.h"
#include "core/graph/RecordingSurface.h"

class CGraphFrame;

namespace viewstest {

QApplication& App();

// Stands in for the main dialog: collects, in order, what a graph frame signals ("closed",
// "modalOpened", "modalClosed", "previous" and "next" with the shown time).
struct FrameSignals {
    struct Event {
        std::string name;
        long long time = 0;
    };
    explicit FrameSignals(CGraphFrame* frame);
    ~FrameSignals();
    FrameSignals(const FrameSignals&) = delete;
    FrameSignals& operator=(const FrameSignals&) = delete;
    std::vector<Event> events;
    int Count(const std::string& name) const;

private:
    std::vector<QMetaObject::Connection> connections_;
};

// Runs posted events and deferred deletes.
void Pump();

// A measured record: 256 pixels from 300 nm in steps of about 3.14 nm, irradiance rising with the
// pixel; level moves the whole curve.
CSpectrumData Measured(long long time, const char* memo = "", float level = 100.0f);

// Texts drawn on a recording surface.
std::vector<std::string> TextsOf(const RecordingSurface& s);
bool HasText(const RecordingSurface& s, const std::string& text);

}  // namespace viewstest
