#pragma once
// Toolbar pictures of the graph windows, drawn in code on a 16 x 15 grid at 1x, 2x and 3x so they
// stay crisp on high-density screens.
#include <QIcon>

#include "render/GraphCommand.h"

// The picture of a graph command's button.
QIcon GraphCommandIcon(GraphCommand command);
