#include "gui/common/ColorSwatch.h"

#include <QMouseEvent>

#include "gui/common/Prompter.h"

CColorSwatch::CColorSwatch(QWidget* parent) : CColorStatic(parent) {
    setMinimumSize(32, 16);
    setFrameShape(QFrame::Box);
    setCursor(Qt::PointingHandCursor);
}

void CColorSwatch::Choose() {
    uint32_t color = GetBackgroundColor();
    if (!Prompter::Current().ChooseColor(this, color)) return;
    SetBackgroundColor(color & 0xFFFFFFu);
    if (onChanged) onChanged();
}

void CColorSwatch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Choose();
}
