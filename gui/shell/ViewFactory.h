#pragma once
// The factory of the program's real windows: thumbnail views, spectrum, calculation data and 3-D
// graph frames.
#include "gui/common/ViewFactory.h"

CViewFactory MakeViewFactory();
