#pragma once
// The main dialog refuses to end the program while a window it would close shows a modal dialog or
// a message box. Such windows say when one opens and closes; these helpers run one in between.
#include "gui/common/Prompter.h"

class QDialog;
class QWidget;

// A top-level window that tells of its modal dialogs (by its own signals).
class CModalReporter {
public:
    virtual ~CModalReporter() = default;
    virtual void ReportModal(bool open) = 0;
};

// Runs dialog modal to its window only (the main dialog stays usable), told by that window.
int RunBracketedModal(QDialog& dialog);
// A message box over parent, told by parent's window.
void ShowBracketedMessage(QWidget* parent, int stringId, Prompter::Icon icon = Prompter::Icon::None);
void ShowBracketedMessageText(QWidget* parent, const std::string& text, Prompter::Icon icon = Prompter::Icon::None);
