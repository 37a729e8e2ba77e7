#pragma once
// "Standard data thumbnail": the frame of the standard data thumbnail view.
#include "gui/browser/ThumbnailFrame.h"

class CBaseDataThumbnailWnd : public CThumbnailFrame {
public:
    using CThumbnailFrame::CThumbnailFrame;
};
