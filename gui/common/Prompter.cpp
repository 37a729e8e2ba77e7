#include "gui/common/Prompter.h"

#include "core/platform/StringTable.h"
#include "gui/common/QtPrompter.h"

namespace {
Prompter* g_installed = nullptr;
}

Prompter& Prompter::Current() {
    static QtPrompter qt;
    return g_installed ? *g_installed : qt;
}

void Prompter::Install(Prompter* prompter) { g_installed = prompter; }

bool Prompter::OpenFileNames(QWidget* parent, const std::string& filter, std::vector<std::string>& paths) {
    std::string path = paths.empty() ? std::string() : paths.front();
    if (!OpenFileName(parent, filter, path)) return false;
    paths.assign(1, path);
    return true;
}

void ShowMessage(QWidget* parent, int stringId, Prompter::Icon icon) {
    Prompter::Current().Message(parent, platform::LoadString(stringId), icon);
}

void ShowMessageText(QWidget* parent, const std::string& text, Prompter::Icon icon) {
    Prompter::Current().Message(parent, text, icon);
}
