#pragma once
// Private-profile INI store: case-insensitive section and key names, values trimmed of blanks and
// cut to 511 bytes on reading, a missing file reads as empty, every other line is kept on writing,
// and one Save writes the whole file once through a temporary file and a rename.
#include <string>
#include <vector>

namespace platform {

class IniFile {
public:
    static constexpr std::size_t kMaxValueBytes = 511;

    // path is a stored path (mapped with MapPath when the file is read or written).
    explicit IniFile(std::string path);

    // Reads the file; a missing or unreadable file gives an empty store. Always true unless the
    // file exists but cannot be read.
    bool Load();

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
    int FindSection(const std::string& section) const;
    int FindKey(int sectionLine, const std::string& key) const;

    std::string path_;
    std::vector<Line> lines_;
    std::string eol_ = "\n";
    bool finalEol_ = true;
};

// One-shot forms with the semantics of the Windows private-profile calls.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path);
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path);

}  // namespace platform
