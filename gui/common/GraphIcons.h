#pragma once
// Toolbar pictures of the graph windows, drawn in code on a 16 x 15 grid at 1x, 2x and 3x so they
// stay crisp on high-density screens.
#include <QIcon>

// The picture of a graph command (32783 configuration, 32791 wavelength zoom in, ...); an empty
// icon for an id without one.
QIcon GraphCommandIcon(int command);
