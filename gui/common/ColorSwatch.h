#pragma once
// A colour swatch of the graph settings dialogs: a colour static that opens the colour chooser,
// preset to its colour, when clicked; OK sets and redraws it, Cancel keeps it.
#include <functional>

#include "gui/common/ColorStatic.h"

class CColorSwatch : public CColorStatic {
public:
    explicit CColorSwatch(QWidget* parent = nullptr);
    // Called after the colour changed through the chooser.
    std::function<void()> onChanged;
    // What a click does: the chooser, then the new colour on OK.
    void Choose();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
