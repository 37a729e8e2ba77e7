#include "gui/common/WindowMemory.h"

#include <QWidget>
#include <cstdio>

#include "core/platform/IniFile.h"
#include "gui/common/WindowPlacement.h"

namespace {
constexpr const char* kSection = "WINDOWS";
constexpr int kSmallest = 50;
}  // namespace

std::optional<QRect> RememberedPlace(const std::string& name) {
    platform::IniFile ini(kWindowMemoryFile);
    if (!ini.Load()) return std::nullopt;
    const std::string text = ini.Get(kSection, name, "");
    int x = 0, y = 0, w = 0, h = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%d,%d,%d,%d%c", &x, &y, &w, &h, &rest) != 4) return std::nullopt;
    if (w < kSmallest || h < kSmallest || w > 30000 || h > 30000) return std::nullopt;
    return QRect(x, y, w, h);
}

bool RestoreWindowPlace(QWidget* window, const std::string& name, bool place) {
    const std::optional<QRect> r = RememberedPlace(name);
    if (!window || !r) return false;
    if (place) PlaceWindow(window, r->marginsAdded(FrameMargins(window)));
    else window->resize(r->size());
    return true;
}

void StoreWindowPlace(const QWidget* window, const std::string& name) {
    if (!window) return;
    platform::IniFile ini(kWindowMemoryFile);
    // A file that exists but cannot be read would be replaced by this one line: leave it.
    if (!ini.Load()) return;
    const QRect r = window->isMaximized() || window->isFullScreen() ? window->normalGeometry() : window->geometry();
    char text[96];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", r.x(), r.y(), r.width(), r.height());
    if (ini.Get(kSection, name, "") == text) return;
    ini.Set(kSection, name, text);
    ini.Save();
}
