#pragma once
// Where the windows were: each window's place and size under a name of its kind, kept between
// starts in "./ZQ118_WINDOWS.ini" of the working folder (section WINDOWS, "x,y,width,height" of
// the client area), apart from the settings so nothing else is ever rewritten for it.
#include <QRect>
#include <optional>
#include <string>

class QWidget;

inline constexpr const char* kWindowMemoryFile = "./ZQ118_WINDOWS.ini";

// The client rectangle stored under name; none when missing or not four numbers with a size of at
// least 50 x 50.
std::optional<QRect> RememberedPlace(const std::string& name);
// Sizes window as stored under name, and places it there when place is true (fitted onto the
// screen, frame included); false when nothing usable is stored.
bool RestoreWindowPlace(QWidget* window, const std::string& name, bool place = true);
// Stores window's client rectangle under name; a file that cannot be read is left as it is.
void StoreWindowPlace(const QWidget* window, const std::string& name);
