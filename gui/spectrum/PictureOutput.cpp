#include "gui/spectrum/PictureOutput.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QWidget>
#include <memory>
#include <string>
#include <unistd.h>

#include "core/graph/DIB.h"
#include "core/graph/PrintLayout.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/Prompter.h"
#include "render/QtSurfaceImage.h"
#include "gui/common/ModalBracket.h"

QPrinter& KeptPrinter() {
    static std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

void CopyWindowToClipboard(QWidget* window) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // What the window shows now, a read-out painted over the picture included.
    const QImage shown = window->grab().toImage();
    if (!clipboard || shown.isNull()) {
        ShowBracketedMessage(window, ids::kCopyToClipboardFailure);
        return;
    }
    clipboard->setImage(shown);
    ShowBracketedMessage(window, clipboard->image().isNull() ? ids::kCopyToClipboardFailure : ids::kCopiedToClipboard);
}

void SavePictureAsBitmap(QWidget* window, const QtSurfaceImage* picture) {
    CDIB dib;
    if (!picture || !dib.FromBitmap(*picture, 24)) {
        ShowBracketedMessage(window, ids::kGraphPlotFailure);
        return;
    }
    // The dialog may wander through folders; the process's current folder stays where it was.
    char cwd[4096];
    const bool haveCwd = getcwd(cwd, sizeof cwd) != nullptr;
    std::string path;
    const bool chosen =
        Prompter::Current().SaveFileName(window, platform::LoadString(ids::kBitmapFileFilter), "bmp", path);
    if (haveCwd && chdir(cwd) != 0) {
        // The folder has gone meanwhile; the chosen path is absolute, so saving goes on.
    }
    if (!chosen) return;
    std::string error;
    if (dib.SaveFile(path, &error)) return;
    ShowBracketedMessageText(window,
                             platform::LoadString(ids::kBitmapSavingFailure) + (error.empty() ? "" : "\r\n" + error));
}

void PrintPicture(QWidget* window, const QtSurfaceImage* picture, int documentNameId) {
    if (!picture) {
        ShowBracketedMessage(window, ids::kGraphPlotFailure);
        return;
    }
    QPrinter& printer = KeptPrinter();
    printer.setFromTo(1, 1);
    if (!Prompter::Current().SetUpPrinter(window, printer)) return;
    printer.setDocName(QString::fromStdString(platform::LoadString(documentNameId)));
    QPainter painter;
    // Errors of the print job are the printer's business; the command always ends normally.
    if (!painter.begin(&printer)) return;
    const QImage& image = picture->Image();
    SurfaceRect place;
    if (FitPictureToPage(printer.width(), printer.height(), image.width(), image.height(), place))
        painter.drawImage(QRect(place.left, place.top, place.right - place.left, place.bottom - place.top), image);
    painter.end();
}
