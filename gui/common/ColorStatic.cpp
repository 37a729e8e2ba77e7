#include "gui/common/ColorStatic.h"

#include <QPalette>
#include <QTimerEvent>

CColorStatic::CColorStatic(QWidget* parent) : QLabel(parent) {
    setAutoFillBackground(true);
    ApplyColors();
}

CColorStatic::~CColorStatic() {
    if (timerId_) killTimer(timerId_);
}

QColor CColorStatic::ToQColor(uint32_t c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

void CColorStatic::ApplyColors() {
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(curBack_));
    p.setColor(QPalette::WindowText, ToQColor(curText_));
    setPalette(p);
}

void CColorStatic::SetColors(uint32_t text, uint32_t background, bool redraw) {
    curText_ = steadyText_ = text;
    curBack_ = steadyBack_ = background;
    ApplyColors();
    if (redraw) repaint();
}

void CColorStatic::SetBackgroundColor(uint32_t background, bool redraw) {
    curBack_ = steadyBack_ = background;
    ApplyColors();
    if (redraw) repaint();
}

void CColorStatic::SetBlinkColors(uint32_t textA, uint32_t backA, uint32_t textB, uint32_t backB) {
    blinkTextA_ = textA;
    blinkBackA_ = backA;
    blinkTextB_ = textB;
    blinkBackB_ = backB;
}

void CColorStatic::StartBlink(int periodMs) {
    if (blinking_) return;
    curText_ = blinkTextA_;
    curBack_ = blinkBackA_;
    Toggle();  // pair B shows first
    period_ = periodMs;
    timerId_ = startTimer(periodMs);
    blinking_ = true;
}

void CColorStatic::StopBlink() {
    if (!blinking_) return;
    blinking_ = false;
    if (timerId_) killTimer(timerId_);
    timerId_ = 0;
    curText_ = steadyText_;
    curBack_ = steadyBack_;
    ApplyColors();
    repaint();
}

void CColorStatic::Toggle() {
    curBack_ = curBack_ == blinkBackA_ ? blinkBackB_ : blinkBackA_;
    curText_ = curText_ == blinkTextA_ ? blinkTextB_ : blinkTextA_;
    ApplyColors();
    update();
}

void CColorStatic::timerEvent(QTimerEvent* event) {
    if (event->timerId() == timerId_) Toggle();
    QLabel::timerEvent(event);
}
