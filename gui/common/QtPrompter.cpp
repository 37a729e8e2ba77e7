#include "gui/common/QtPrompter.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QStringList>
#include <QUrl>

#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

namespace {

QString Text(int id) { return QString::fromStdString(platform::LoadString(id)); }

// CR LF in a string-table text is a line break in a box.
QString BoxText(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return s;
}

}  // namespace

void QtPrompter::Message(QWidget* parent, const std::string& text, Icon icon) {
    QMessageBox box(parent);
    box.setWindowTitle(Text(ids::kAppTitle));
    box.setText(BoxText(text));
    box.setIcon(icon == Icon::Information ? QMessageBox::Information
                : icon == Icon::Warning   ? QMessageBox::Warning
                : icon == Icon::Question  ? QMessageBox::Question
                                          : QMessageBox::Information);  // every box says what kind it is
    box.addButton(Text(ids::kOk), QMessageBox::AcceptRole);
    box.exec();
}

bool QtPrompter::AskYesNo(QWidget* parent, const std::string& text) {
    QMessageBox box(parent);
    box.setWindowTitle(Text(ids::kAppTitle));
    box.setText(BoxText(text));
    box.setIcon(QMessageBox::Question);
    QPushButton* yes = box.addButton(Text(ids::kYes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(Text(ids::kNo), QMessageBox::NoRole);
    // The questions are about stopping a run or deleting data: Enter must not do it by itself.
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

bool QtPrompter::BrowseFolder(QWidget* parent, std::string& path) {
    QString chosen = QFileDialog::getExistingDirectory(parent, QString(), QString::fromStdString(path));
    // A choice without a file-system path (nothing local) leaves the text as it was.
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    return true;
}

QString QtPrompter::QtFilter(const std::string& filter) {
    // "Name (*.a;*.b)|*.a;*.b||": Qt takes the patterns from the parentheses of the name and wants
    // them apart by spaces, so the name's own list is replaced by the pattern field's.
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList names;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        const int open = name.lastIndexOf(QLatin1Char('('));
        if (open >= 0 && name.trimmed().endsWith(QLatin1Char(')'))) name.truncate(open);
        const QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        names << name.trimmed() + QLatin1String(" (") + patterns.join(QLatin1Char(' ')).trimmed() + QLatin1Char(')');
    }
    return names.join(QLatin1String(";;"));
}

bool QtPrompter::OpenFileName(QWidget* parent, const std::string& filter, std::string& path) {
    QString chosen = QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(path), QtFilter(filter));
    if (chosen.isEmpty()) return false;
    path = chosen.toStdString();
    return true;
}

bool QtPrompter::OpenFileNames(QWidget* parent, const std::string& filter, std::vector<std::string>& paths) {
    const QString initial = paths.empty() ? QString() : QString::fromStdString(paths.front());
    const QStringList chosen = QFileDialog::getOpenFileNames(parent, QString(), initial, QtFilter(filter));
    if (chosen.isEmpty()) return false;
    paths.clear();
    for (const QString& p : chosen) paths.push_back(p.toStdString());
    return true;
}

bool QtPrompter::SaveFileName(QWidget* parent, const std::string& filter, const std::string& defaultExtension,
                              std::string& path) {
    QFileDialog dialog(parent, QString(), QString::fromStdString(path), QtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    // A name typed without an ending gets the one of the chosen type ("Name (*.png)").
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        const int star = chosen.indexOf(QLatin1String("*."));
        if (star < 0) return;
        QString suffix;
        for (int i = star + 2; i < chosen.size() && chosen[i].isLetterOrNumber(); ++i) suffix += chosen[i];
        if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().first().toStdString();
    return true;
}

bool QtPrompter::ChooseColor(QWidget* parent, uint32_t& color) {
    QColor initial(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid()) return false;
    color = static_cast<uint32_t>(chosen.red()) | (static_cast<uint32_t>(chosen.green()) << 8) |
            (static_cast<uint32_t>(chosen.blue()) << 16);
    return true;
}

bool QtPrompter::SetUpPrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    // Graph windows print one page: no page range, selection or print-to-file choices.
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
    dialog.setMinMax(1, 1);
    return dialog.exec() == QDialog::Accepted;
}

bool QtPrompter::PrinterAvailable() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

void QtPrompter::OpenUrl(const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); }

int QtPrompter::RunModal(QDialog& dialog) { return dialog.exec(); }
