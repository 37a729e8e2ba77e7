#pragma once
// "Measured data thumbnail": the frame of the measured data thumbnail view.
#include "gui/browser/ThumbnailFrame.h"

class CDataThumbnailWnd : public CThumbnailFrame {
public:
    using CThumbnailFrame::CThumbnailFrame;
};
