#pragma once
// A configuration section: the values a derived section owns as members, registered once in its
// constructor with key name and default text, loaded from and saved to one section of an INI file.
//
// Load reads the file once; every key takes its stored text, or its default text when the file,
// section or key is missing. A stored text that its value rejects (a time that does not parse) leaves
// that value at its default and puts the key on RejectedKeys(); Load then returns false, but every
// other key is loaded as usual, so a damaged file costs only its bad entries.
//
// Save reads the file, sets every key in registration order (all other lines are kept) and writes
// the file once, atomically. Sections are copyable: a copy registers its own members.
#include <functional>
#include <string>
#include <vector>

#include "core/config/PrmValue.h"

class CParameter {
public:
    CParameter(std::string filePath, std::string section);
    virtual ~CParameter() = default;

    // name (when not null) becomes the value's key name; defaultText (when not null) is parsed into
    // its default. The current value is left alone. Values must be members of the derived section.
    virtual void Add(const char* name, CPrmValue& value, const char* defaultText);
    virtual void Add(CPrmValue& value, const char* defaultText);

    // True when every key took its stored or default text; false when the file exists but could not
    // be read (all keys then hold their defaults) or when a stored text was rejected.
    bool Load();
    // False when the file could not be read (it is then left untouched, so its other lines survive)
    // or could not be written. Callers may ignore the result: a failed write changes nothing.
    bool Save() const;

    // Why the last Load could not read the file (strerror text); empty when it could, or when
    // there was no file.
    const std::string& ReadError() const { return readError_; }
    const std::vector<std::string>& RejectedKeys() const { return rejected_; }
    bool WasRejected(const CPrmValue& value) const;

    // Values given for this run only (command-line options): applied after every Load of that
    // section, whatever the file says, and never written by Save (the stored text stays).
    static void SetRunOverride(const std::string& section, const std::string& key, const std::string& text);
    static void ClearRunOverrides();
    static bool HasRunOverride(const std::string& section, const std::string& key);

    const std::string& FilePath() const { return filePath_; }
    const std::string& Section() const { return section_; }
    // Redirect a section to another file (tests, other working folders).
    void SetFilePath(std::string filePath) { filePath_ = std::move(filePath); }
    const std::vector<CPrmValue*>& Values() const { return values_; }

protected:
    // Copies point at the copy's own members: each registered value sits at the same place inside
    // every object of one section class.
    CParameter(const CParameter& other);
    CParameter& operator=(const CParameter& other);

    // Save, except that keys for which keepStored is true and that the file already holds keep
    // their stored text.
    bool SaveKeeping(const std::function<bool(const CPrmValue&)>& keepStored) const;

private:
    std::string filePath_;
    std::string section_;
    std::vector<CPrmValue*> values_;
    std::vector<std::string> rejected_;
    std::string readError_;
};
