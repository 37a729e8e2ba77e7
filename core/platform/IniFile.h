#pragma once
// Private-profile INI store: case-insensitive section and key names, values trimmed of blanks and
// cut to 511 bytes on reading, a missing file reads as empty, a UTF-8 byte-order mark is skipped,
// every other line (and the mark) is kept on writing, and one Save writes the whole file once
// through a temporary file and a rename.
#include <string>
#include <vector>

namespace platform {

class IniFile {
public:
    static constexpr std::size_t kMaxValueBytes = 511;

    // path is a stored path (mapped with MapPath when the file is read or written).
    explicit IniFile(std::string path);

    // Reads the file; a missing file gives an empty store (a first start). False, with an empty
    // store, when the file exists but cannot be read (no permission, a folder of that name, an I/O
    // error): then Error() is its errno.
    bool Load();
    int Error() const { return error_; }
    std::string ErrorText() const;  // strerror of Error(); empty when the read went well

    // The stored text of the first matching key, trimmed and cut to 511 bytes; def when the file,
    // section or key is missing. A key with nothing after '=' gives the empty text, not def.
    std::string Get(const std::string& section, const std::string& key, const std::string& def) const;
    bool Has(const std::string& section, const std::string& key) const;

    // Replaces the first matching key in place, or adds it at the end of its section (creating the
    // section at the end of the file when missing).
    void Set(const std::string& section, const std::string& key, const std::string& value);

    // One atomic write of the whole file. False when the folder is missing or not writable.
    bool Save() const;

    const std::string& Path() const { return path_; }

private:
    struct Line {
        std::string text;  // without line ending
    };
    bool ReadWhole(std::string& data);
    int FindSection(const std::string& section) const;
    int FindKey(int sectionLine, const std::string& key) const;

    std::string path_;
    std::vector<Line> lines_;
    std::string eol_ = "\n";
    bool finalEol_ = true;
    bool bom_ = false;  // written back as read
    int error_ = 0;
};

// One-shot forms with the semantics of the Windows private-profile calls.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

}  // namespace platform
