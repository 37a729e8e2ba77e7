#pragma once
// The program's artwork, drawn by code so it stays crisp at any size: the logo (a sun rising under
// a spectrum arc) and the application icon.
#include <QIcon>
#include <QPixmap>

QPixmap HeliarcLogo(int width, int height, qreal devicePixelRatio = 1.0);
QIcon HeliarcIcon();
