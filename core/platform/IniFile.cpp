#include "core/platform/IniFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/platform/AtomicReplace.h"
#include "core/platform/Path.h"
#include "core/platform/Text.h"

namespace platform {
namespace {

constexpr const char* kUtf8Bom = "\xEF\xBB\xBF";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string Trim(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

// "[NAME]" (blanks around allowed) -> NAME; false for any other line.
bool SectionName(const std::string& line, std::string& name) {
    std::string t = Trim(line);
    if (t.size() < 2 || t.front() != '[') return false;
    std::size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = Trim(t.substr(1, close - 1));
    return true;
}

// "KEY=value" -> KEY and value; false for lines without '=' or comments.
bool KeyValue(const std::string& line, std::string& key, std::string& value) {
    std::string t = Trim(line);
    if (t.empty() || t[0] == ';' || t[0] == '[') return false;
    std::size_t eq = t.find('=');
    if (eq == std::string::npos) return false;
    key = Trim(t.substr(0, eq));
    value = Trim(t.substr(eq + 1));
    return true;
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

bool IniFile::Load() {
    lines_.clear();
    eol_ = "\n";
    finalEol_ = true;
    bom_ = false;
    error_ = 0;
    std::string data;
    if (!ReadWhole(data)) return error_ == 0;
    // Editors on Windows start a UTF-8 file with a byte-order mark; it would hide the first section.
    if (data.compare(0, 3, kUtf8Bom) == 0) {
        bom_ = true;
        data.erase(0, 3);
    }
    if (data.find("\r\n") != std::string::npos) eol_ = "\r\n";
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t nl = data.find('\n', start);
        std::string line = data.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back({line});
        if (nl == std::string::npos) {
            finalEol_ = false;
            break;
        }
        start = nl + 1;
    }
    return true;
}

bool IniFile::ReadWhole(std::string& data) {
    // Non-blocking, so a FIFO planted under the name is refused instead of hanging the open.
    const int fd = ::open(MapPath(path_).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // A file that is not there is a first start; anything else must not read as one.
        if (errno != ENOENT && errno != ENOTDIR) error_ = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error_ = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error_ = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    } else {
        char buf[8192];
        for (;;) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error_ = errno;
                break;
            }
            if (n == 0) break;
            data.append(buf, static_cast<std::size_t>(n));
        }
    }
    ::close(fd);
    return error_ == 0;
}

std::string IniFile::ErrorText() const { return error_ ? std::strerror(error_) : std::string(); }

int IniFile::FindSection(const std::string& section) const {
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (SectionName(lines_[i].text, name) && EqualNoCase(name, section)) return static_cast<int>(i);
    return -1;
}

int IniFile::FindKey(int sectionLine, const std::string& key) const {
    std::string name, k, v;
    for (std::size_t i = static_cast<std::size_t>(sectionLine) + 1; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text, name)) break;
        if (KeyValue(lines_[i].text, k, v) && EqualNoCase(k, key)) return static_cast<int>(i);
    }
    return -1;
}

std::string IniFile::Get(const std::string& section, const std::string& key, const std::string& def) const {
    std::string value = def;
    int s = FindSection(section);
    if (s >= 0) {
        int k = FindKey(s, key);
        if (k >= 0) {
            std::string name;
            KeyValue(lines_[static_cast<std::size_t>(k)].text, name, value);
            // A lone CR inside a line is no line end here, but Set could not store it back: read it
            // as the blank Set would write, so a value survives a save unchanged.
            for (char& c : value)
                if (c == '\r') c = ' ';
        }
    }
    return FitBytes(value, kMaxValueBytes);
}

bool IniFile::Has(const std::string& section, const std::string& key) const {
    int s = FindSection(section);
    return s >= 0 && FindKey(s, key) >= 0;
}

void IniFile::Set(const std::string& section, const std::string& key, const std::string& value) {
    // A line ending inside a value would split it into two lines on the next read.
    std::string clean;
    for (char c : value) clean += (c == '\r' || c == '\n') ? ' ' : c;
    std::string text = key + "=" + clean;
    int s = FindSection(section);
    if (s < 0) {
        lines_.push_back({"[" + section + "]"});
        lines_.push_back({text});
        return;
    }
    int k = FindKey(s, key);
    if (k >= 0) {
        lines_[static_cast<std::size_t>(k)].text = text;
        return;
    }
    // After the last key line of the section, before blank lines that separate it from the next.
    std::size_t insert = static_cast<std::size_t>(s) + 1;
    std::string name;
    for (std::size_t i = insert; i < lines_.size(); ++i) {
        if (SectionName(lines_[i].text, name)) break;
        if (!Trim(lines_[i].text).empty()) insert = i + 1;
    }
    lines_.insert(lines_.begin() + static_cast<long>(insert), {text});
}

bool IniFile::Save() const {
    std::string data = bom_ ? kUtf8Bom : "";
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        data += lines_[i].text;
        if (i + 1 < lines_.size() || finalEol_) data += eol_;
    }
    return ReplaceFile(MapPath(path_), kIniSaveTag, data);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& def, const std::string& path) {
    IniFile ini(path);
    ini.Load();
    return ini.Get(section, key, def);
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    IniFile ini(path);
    if (!ini.Load()) return false;
    ini.Set(section, key, value);
    return ini.Save();
}

}  // namespace platform
