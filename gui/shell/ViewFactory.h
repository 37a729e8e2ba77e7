#pragma once
// The factory of the program's real windows: thumbnail views, spectrum, calculation data and 3-D
// graph frames.
#include "ui/ViewFactory.h"

CViewFactory MakeViewFactory();
