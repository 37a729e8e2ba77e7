#include "gui/common/ModalBracket.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <functional>

namespace {

void Bracketed(QWidget* from, const std::function<void()>& body) {
    // The window may be gone once the box closes; a guard keeps the second report from a dead one.
    QPointer<QWidget> window = from ? from->window() : nullptr;
    if (auto* reporter = dynamic_cast<CModalReporter*>(window.data())) reporter->ReportModal(true);
    body();
    if (auto* reporter = dynamic_cast<CModalReporter*>(window.data())) reporter->ReportModal(false);
}

}  // namespace

int RunBracketedModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::WindowModal);
    int result = QDialog::Rejected;
    Bracketed(dialog.parentWidget(), [&] { result = Prompter::Current().RunModal(dialog); });
    return result;
}

void ShowBracketedMessage(QWidget* parent, int stringId, Prompter::Icon icon) {
    Bracketed(parent, [&] { ShowMessage(parent, stringId, icon); });
}

void ShowBracketedMessageText(QWidget* parent, const std::string& text, Prompter::Icon icon) {
    Bracketed(parent, [&] { ShowMessageText(parent, text, icon); });
}
