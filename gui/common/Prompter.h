#pragma once
// Everything that asks the user something outside the program's own windows: message boxes, the
// file, folder, colour and print dialogs, opening a web address, and running a modal dialog. The Qt
// implementation shows the real thing; tests install a scripted one that records each question and
// answers as the test chose.
#include <cstdint>
#include <string>
#include <vector>

class QDialog;
class QPrinter;
class QWidget;

class Prompter {
public:
    enum class Icon { None, Information, Question, Warning };

    virtual ~Prompter() = default;

    // A box with an OK button. Icon::None is the plain box of a failure; Information a refused action.
    virtual void Message(QWidget* parent, const std::string& text, Icon icon) = 0;
    // Yes/No with a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const std::string& text) = 0;
    // Folder browser; true with the chosen file-system path in path, false (path untouched) on cancel.
    virtual bool BrowseFolder(QWidget* parent, std::string& path) = 0;
    // File dialogs. filter is the string table's form "Name (*.ext)|*.ext||"; path holds the initial
    // name and receives the choice.
    virtual bool OpenFileName(QWidget* parent, const std::string& filter, std::string& path) = 0;
    // Open dialog that lets the user pick several files; true with the choice (at least one path)
    // in paths. The default asks for one file.
    virtual bool OpenFileNames(QWidget* parent, const std::string& filter, std::vector<std::string>& paths);
    virtual bool SaveFileName(QWidget* parent, const std::string& filter, const std::string& defaultExtension,
                              std::string& path) = 0;
    // Colour chooser on 0x00BBGGRR values; true with the choice in color.
    virtual bool ChooseColor(QWidget* parent, uint32_t& color) = 0;
    // Print dialog on a printer whose settings the caller keeps; true to print.
    virtual bool SetUpPrinter(QWidget* parent, QPrinter& printer) = 0;
    // Whether the system offers any printer; without one, printing writes a PDF file instead.
    virtual bool PrinterAvailable() { return true; }
    virtual void OpenUrl(const std::string& url) = 0;
    // Runs a modal dialog and returns its result (QDialog::Accepted or Rejected).
    virtual int RunModal(QDialog& dialog) = 0;

    // The prompter in use: the Qt one unless a test has installed its own (null restores it).
    static Prompter& Current();
    static void Install(Prompter* prompter);
};

// Shorthands for the common boxes, with texts from the string table.
void ShowMessage(QWidget* parent, int stringId, Prompter::Icon icon = Prompter::Icon::None);
void ShowMessageText(QWidget* parent, const std::string& text, Prompter::Icon icon = Prompter::Icon::None);
