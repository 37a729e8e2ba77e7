#pragma once
// Whether the stored settings can be used as they are; checked once at start by the program and by
// heliarc-cli. A settings file that exists but cannot be read must stop the run: on defaults the
// program would store into the working folder and prune the standard data history. A file name ID
// that is no file name is reported; no daily file is read or written with it.
#include <initializer_list>
#include <string>

struct SettingsCheck {
    std::string unreadable;  // the first settings file that cannot be read, and why; empty when both can
    std::string fileNameId;  // an unusable FILE_NAME_ID (after this run's options); empty when usable
};

SettingsCheck CheckSettings();

// A string table format with each "%s" replaced, in order, by the next text.
std::string FillTexts(std::string format, std::initializer_list<std::string> texts);
