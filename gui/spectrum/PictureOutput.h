#pragma once
// The three ways a graph window's picture leaves the program: the clipboard (what the window shows
// now), a 24-bit .bmp through the save dialog, and one printed page. Every message box is reported
// by the window as a modal one (ModalBracket.h); the file and print dialogs are not.
class QImage;
class QPrinter;
class QWidget;
class QtSurfaceImage;

void CopyWindowToClipboard(QWidget* window);
// picture null: "Graph plot failure.".
void SavePictureAsBitmap(QWidget* window, const QtSurfaceImage* picture);
void PrintPicture(QWidget* window, const QtSurfaceImage* picture, int documentNameId);
// The printer settings kept for the whole run, shared by every graph window.
QPrinter& KeptPrinter();
