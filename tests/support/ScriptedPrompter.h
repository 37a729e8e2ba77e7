#pragma once
// A Prompter for GUI tests: records every box and dialog it is asked for and answers from what the
// test queued (Yes/No answers, folder choices, a handler for modal dialogs). Unqueued questions
// get No / cancel / Rejected, so a test that forgot an answer fails visibly instead of hanging.
#include <QDialog>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "gui/common/Prompter.h"

class ScriptedPrompter : public Prompter {
public:
    struct Call {
        std::string kind;  // "message", "yesno", "folder", "open", "openmany", "save", "color", "print", "url", "modal"
        std::string text;  // the box's text, the URL, or the dialog's objectName
        Icon icon = Icon::None;
    };

    ScriptedPrompter() { Prompter::Install(this); }
    ~ScriptedPrompter() override { Prompter::Install(nullptr); }

    std::vector<Call> calls;
    std::deque<bool> yesNo;
    std::deque<std::optional<std::string>> paths;  // folder / open / save choices; nullopt cancels
    std::deque<std::optional<std::vector<std::string>>> pathLists;  // several-file open choices
    std::deque<std::optional<uint32_t>> colors;
    std::function<int(QDialog&)> modal;  // default: Rejected
    bool printerAvailable = true;         // false: printing goes to a PDF file through "save"

    std::vector<std::string> Messages() const {
        std::vector<std::string> out;
        for (const auto& c : calls)
            if (c.kind == "message") out.push_back(c.text);
        return out;
    }
    int Count(const std::string& kind) const {
        int n = 0;
        for (const auto& c : calls) n += c.kind == kind;
        return n;
    }
    void Clear() { calls.clear(); }

    void Message(QWidget*, const std::string& text, Icon icon) override { calls.push_back({"message", text, icon}); }
    bool AskYesNo(QWidget*, const std::string& text) override {
        calls.push_back({"yesno", text, Icon::Question});
        if (yesNo.empty()) return false;
        bool answer = yesNo.front();
        yesNo.pop_front();
        return answer;
    }
    bool BrowseFolder(QWidget*, std::string& path) override { return Path("folder", path); }
    bool OpenFileName(QWidget*, const std::string&, std::string& path) override { return Path("open", path); }
    bool OpenFileNames(QWidget*, const std::string& filter, std::vector<std::string>& chosen) override {
        calls.push_back({"openmany", filter, Icon::None});
        if (pathLists.empty() || !pathLists.front()) {
            if (!pathLists.empty()) pathLists.pop_front();
            return false;
        }
        chosen = *pathLists.front();
        pathLists.pop_front();
        return true;
    }
    bool SaveFileName(QWidget*, const std::string&, const std::string&, std::string& path) override {
        return Path("save", path);
    }
    bool ChooseColor(QWidget*, uint32_t& color) override {
        calls.push_back({"color", "", Icon::None});
        if (colors.empty() || !colors.front()) {
            if (!colors.empty()) colors.pop_front();
            return false;
        }
        color = *colors.front();
        colors.pop_front();
        return true;
    }
    bool SetUpPrinter(QWidget*, QPrinter&) override {
        calls.push_back({"print", "", Icon::None});
        return false;
    }
    bool PrinterAvailable() override { return printerAvailable; }
    void OpenUrl(const std::string& url) override { calls.push_back({"url", url, Icon::None}); }
    int RunModal(QDialog& dialog) override {
        calls.push_back({"modal", dialog.objectName().toStdString(), Icon::None});
        return modal ? modal(dialog) : QDialog::Rejected;
    }

private:
    bool Path(const char* kind, std::string& path) {
        calls.push_back({kind, path, Icon::None});
        if (paths.empty() || !paths.front()) {
            if (!paths.empty()) paths.pop_front();
            return false;
        }
        path = *paths.front();
        paths.pop_front();
        return true;
    }
};
