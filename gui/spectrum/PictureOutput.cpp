#include "gui/spectrum/PictureOutput.h"

#include <QBuffer>
#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QWidget>
#include <cctype>
#include <memory>
#include <string>
#include <string_view>
#include <unistd.h>

#include "core/graph/DIB.h"
#include "core/graph/PrintLayout.h"
#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"
#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"
#include "gui/common/GraphFrame.h"
#include "gui/common/ModalBracket.h"
#include "gui/common/Prompter.h"
#include "render/ImageFile.h"
#include "render/QtSurfaceImage.h"
#include "render/SvgSurface.h"

namespace {

bool EndsWith(const std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

// The file dialog may wander through folders; the process's current folder stays where it was.
bool AskFileName(QWidget* window, int filterId, const char* extension, std::string& path) {
    char cwd[4096];
    const bool haveCwd = getcwd(cwd, sizeof cwd) != nullptr;
    const bool chosen = Prompter::Current().SaveFileName(window, platform::LoadString(filterId), extension, path);
    if (haveCwd && chdir(cwd) != 0) {
        // The folder has gone meanwhile; the chosen path is absolute, so saving goes on.
    }
    return chosen;
}

void DrawOnPage(QPainter& painter, int pageWidth, int pageHeight, const QImage& image) {
    SurfaceRect place;
    if (FitPictureToPage(pageWidth, pageHeight, image.width(), image.height(), place))
        painter.drawImage(QRect(place.left, place.top, place.right - place.left, place.bottom - place.top), image);
}

// No printer: the page goes to a PDF file the user names, through the replacing writer.
void PrintToPdf(QWidget* window, const QImage& image, const QString& title) {
    std::string path;
    if (!AskFileName(window, ids::kPdfFileFilter, "pdf", path)) return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator(QStringLiteral("Heliarc"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageOrientation(image.width() > image.height() ? QPageLayout::Landscape : QPageLayout::Portrait);
        pdf.setResolution(300);
        QPainter painter(&pdf);
        DrawOnPage(painter, pdf.width(), pdf.height(), image);
    }
    std::string error;
    if (platform::ReplaceFile(platform::MapPath(path), platform::kPictureTag,
                              std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &error))
        return;
    ShowBracketedMessageText(window, error, Prompter::Icon::Warning);
}

}  // namespace

QPrinter& KeptPrinter() {
    static std::unique_ptr<QPrinter> printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer;
}

void CopyWindowToClipboard(QWidget* window) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // What the window shows now, a read-out painted over the picture included.
    const QImage shown = window->grab().toImage();
    if (clipboard && !shown.isNull()) clipboard->setImage(shown);
    if (!clipboard || shown.isNull() || clipboard->image().isNull()) {
        ShowBracketedMessage(window, ids::kCopyToClipboardFailure, Prompter::Icon::Warning);
        return;
    }
    const QString done = QString::fromStdString(platform::LoadString(ids::kCopiedToClipboard));
    if (auto* frame = qobject_cast<CGraphFrame*>(window->window())) frame->ShowNote(done);
}

void SavePicture(QWidget* window, const QtSurfaceImage* picture, const PictureDrawing& draw) {
    if (!picture) {
        ShowBracketedMessage(window, ids::kGraphPlotFailure, Prompter::Icon::Warning);
        return;
    }
    std::string path;
    if (!AskFileName(window, ids::kPictureFileFilter, "bmp", path)) return;
    std::string error;
    bool saved = false;
    if (EndsWith(path, ".png")) {
        saved = SaveImageFile(picture->Image(), path, "PNG", &error);
    } else if (EndsWith(path, ".svg")) {
        saved = SaveSvgFile(picture->Width(), picture->Height(), draw, path, &error);
    } else {
        CDIB dib;
        if (!dib.FromBitmap(*picture, 24)) {
            ShowBracketedMessage(window, ids::kGraphPlotFailure, Prompter::Icon::Warning);
            return;
        }
        saved = dib.SaveFile(path, &error);
    }
    if (saved) return;
    ShowBracketedMessageText(window, platform::LoadString(ids::kBitmapSavingFailure) + (error.empty() ? "" : "\r\n" + error),
                             Prompter::Icon::Warning);
}

void PrintPicture(QWidget* window, const QtSurfaceImage* picture, int documentNameId) {
    if (!picture) {
        ShowBracketedMessage(window, ids::kGraphPlotFailure, Prompter::Icon::Warning);
        return;
    }
    const QString title = QString::fromStdString(platform::LoadString(documentNameId));
    if (!Prompter::Current().PrinterAvailable()) {
        PrintToPdf(window, picture->Image(), title);
        return;
    }
    QPrinter& printer = KeptPrinter();
    printer.setFromTo(1, 1);
    if (!Prompter::Current().SetUpPrinter(window, printer)) return;
    printer.setDocName(title);
    QPainter painter;
    // Errors of the print job are the printer's business; the command always ends normally.
    if (!painter.begin(&printer)) return;
    DrawOnPage(painter, printer.width(), printer.height(), picture->Image());
    painter.end();
}
