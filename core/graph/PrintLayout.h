#pragma once
// Where a picture goes on a printed page: it fills the page in one direction, keeps its aspect
// ratio and is centred in the other.
#include "core/graph/Surface.h"

// Page and picture sizes in pixels. Fails (placement all zero) when any size is not positive.
bool FitPictureToPage(int pageWidth, int pageHeight, int pictureWidth, int pictureHeight, SurfaceRect& placement);
