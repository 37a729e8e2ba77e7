#pragma once
// "Import": brings one or more of the maker's data files (*.srd, *.rad) into the daily data files.
// A long import shows how far the current file has come. The dialog ends with OK once every chosen
// file is in; a file that fails keeps the dialog open (files before it stay imported).
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;

class CImport : public QDialog {
public:
    explicit CImport(QWidget* parent = nullptr);

    // "Ref": the open dialog; true when files were chosen (they replace the earlier choice).
    bool ChooseFiles();
    // "Import", after the question; true when every chosen file was imported.
    bool DoImport();

    const std::vector<std::string>& Files() const { return files_; }
    void SetFiles(std::vector<std::string> files);
    // True once any file went in, even if a later one failed: the caller's list is then out of date.
    bool ImportedAny() const { return importedAny_; }

    // Asked before importing: true while a measurement run writes the daily files, so importing
    // would race with it. The import is then refused.
    void SetBusyCheck(std::function<bool()> busy) { busy_ = std::move(busy); }
    // How long one file's import runs before its progress shows (ms).
    void SetProgressDelay(int ms) { progressDelayMs_ = ms; }
    // The highest progress value shown for the last file (0 .. 1000); for tests.
    int LastProgress() const { return lastProgress_; }

    // Closing is refused while a file goes in: the import finishes what it started.
    void reject() override;

private:
    void ShowFiles();

    QLineEdit* filesEdit_ = nullptr;
    QCheckBox* overwrite_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* progressText_ = nullptr;
    std::vector<std::string> files_;
    std::function<bool()> busy_;
    bool importedAny_ = false;
    bool importing_ = false;
    int progressDelayMs_ = 400;
    int lastProgress_ = 0;
};
