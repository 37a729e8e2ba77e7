#pragma once
// The three ways a graph window's picture leaves the program: the clipboard (what the window shows
// now), a file through the save dialog (.bmp, .png or .svg by the chosen name's ending), and one
// printed page (a PDF file when the system has no printer). Every message box is reported by the
// window as a modal one (ModalBracket.h); the file and print dialogs are not.
#include <functional>

class QImage;
class QPrinter;
class QWidget;
class QtSurfaceImage;
class Surface;

// Draws the picture again, at its own size, onto another surface (the SVG writer).
using PictureDrawing = std::function<void(Surface&)>;

// A copy that worked is noted in the graph window's status line; only a failure shows a box.
void CopyWindowToClipboard(QWidget* window);
// picture null: "Graph plot failure.".
void SavePicture(QWidget* window, const QtSurfaceImage* picture, const PictureDrawing& draw);
void PrintPicture(QWidget* window, const QtSurfaceImage* picture, int documentNameId);
// The printer settings kept for the whole run, shared by every graph window.
QPrinter& KeptPrinter();
