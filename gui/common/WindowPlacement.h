#pragma once
// Top-level windows go fully on the screen's available area, frame and title bar included, so each
// can be dragged by its title. The window manager tells the frame's size only once the window is
// shown; until then the style's title bar height stands in for it, and the placement is checked
// again when the real frame is known.
#include <QMargins>
#include <QRect>

class QWidget;

// frame moved (and shrunk, when larger) to lie inside area.
QRect FitInside(const QRect& frame, const QRect& area);
// The frame's margins around the client area: the real ones once the window manager has framed
// the window, else an estimate (a title bar above, thin borders).
QMargins FrameMargins(const QWidget* window);
// Puts window's frame at frame (fitted into the available area of the screen that holds most of
// it) and keeps it there once the real frame is known.
void PlaceWindow(QWidget* window, const QRect& frame);
// PlaceWindow at the window's present frame: moves it back on screen where it sticks out.
void KeepOnScreen(QWidget* window);
