#pragma once
// The Prompter on real Qt dialogs; buttons and titles come from the string table.
#include <QString>

#include "gui/common/Prompter.h"

class QtPrompter : public Prompter {
public:
    void Message(QWidget* parent, const std::string& text, Icon icon) override;
    bool AskYesNo(QWidget* parent, const std::string& text) override;
    bool BrowseFolder(QWidget* parent, std::string& path) override;
    bool OpenFileName(QWidget* parent, const std::string& filter, std::string& path) override;
    bool OpenFileNames(QWidget* parent, const std::string& filter, std::vector<std::string>& paths) override;
    bool SaveFileName(QWidget* parent, const std::string& filter, const std::string& defaultExtension,
                      std::string& path) override;
    bool ChooseColor(QWidget* parent, uint32_t& color) override;
    bool SetUpPrinter(QWidget* parent, QPrinter& printer) override;
    bool PrinterAvailable() override;
    void OpenUrl(const std::string& url) override;
    int RunModal(QDialog& dialog) override;

    // "Bitmap File (*.bmp)|*.bmp||" as a Qt name filter list "Bitmap File (*.bmp)".
    static QString QtFilter(const std::string& filter);
};
