#include "core/platform/StringTable.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string_view>
#include <utility>

namespace heliarc::resources {
extern const unsigned char kStringsEn[];
extern const unsigned long kStringsEnSize;
extern const unsigned char kStringsJa[];
extern const unsigned long kStringsJaSize;
}  // namespace heliarc::resources

namespace platform {
namespace {

// Sorted by id; a binary search is plenty for a few hundred entries.
using Table = std::vector<std::pair<int, std::string>>;

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\\' || i + 1 == text.size()) {
      out.push_back(c);
      continue;
    }
    const char next = text[++i];
    switch (next) {
      case 't': out.push_back('\t'); break;
      case 'n': out.push_back('\n'); break;
      case 'r': out.push_back('\r'); break;
      case '\\': out.push_back('\\'); break;
      default:  // an unknown escape is kept as written rather than silently dropped
        out.push_back('\\');
        out.push_back(next);
        break;
    }
  }
  return out;
}

// One "id<TAB>text" line each. Lines that do not start with a decimal id and a tab are skipped;
// a repeated id keeps its first text.
Table Parse(const unsigned char* data, unsigned long size) {
  Table table;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t pos = 0;
  while (pos < all.size()) {
    std::size_t end = all.find('\n', pos);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    std::size_t digits = 0;
    long id = 0;
    while (digits < line.size() && digits < 9 && line[digits] >= '0' && line[digits] <= '9') {
      id = id * 10 + (line[digits] - '0');
      ++digits;
    }
    if (digits == 0 || digits >= line.size() || line[digits] != '\t') continue;
    table.emplace_back(static_cast<int>(id), Unescape(line.substr(digits + 1)));
  }
  std::stable_sort(table.begin(), table.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  table.erase(std::unique(table.begin(), table.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              table.end());
  return table;
}

const Table& TableFor(Language language) {
  static const Table en = Parse(heliarc::resources::kStringsEn, heliarc::resources::kStringsEnSize);
  static const Table ja = Parse(heliarc::resources::kStringsJa, heliarc::resources::kStringsJaSize);
  return language == Language::Japanese ? ja : en;
}

const std::string* Find(int id, Language language) {
  const Table& table = TableFor(language);
  auto it = std::lower_bound(table.begin(), table.end(), id,
                             [](const auto& entry, int key) { return entry.first < key; });
  if (it == table.end() || it->first != id) return nullptr;
  return &it->second;
}

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return (value != nullptr && *value != '\0') ? value : nullptr;
}

// -1 until first asked or set.
std::atomic<int> g_current{-1};

}  // namespace

Language DefaultLanguage() {
  if (const char* forced = NonEmptyEnv("HELIARC_LANG")) {
    const std::string_view value(forced);
    if (value == "ja") return Language::Japanese;
    if (value == "en") return Language::English;
  }
  // The first locale variable that is set decides, as the C library resolves LC_MESSAGES.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* locale = NonEmptyEnv(name)) {
      return std::string_view(locale).starts_with("ja") ? Language::Japanese : Language::English;
    }
  }
  return Language::English;
}

Language CurrentLanguage() {
  int value = g_current.load(std::memory_order_acquire);
  if (value < 0) {
    int expected = -1;
    const int chosen = static_cast<int>(DefaultLanguage());
    // A concurrent SetLanguage wins over the default.
    if (!g_current.compare_exchange_strong(expected, chosen, std::memory_order_acq_rel)) {
      return static_cast<Language>(expected);
    }
    value = chosen;
  }
  return static_cast<Language>(value);
}

void SetLanguage(Language language) {
  g_current.store(static_cast<int>(language), std::memory_order_release);
}

const std::string& LoadString(int id) { return LoadString(id, CurrentLanguage()); }

const std::string& LoadString(int id, Language language) {
  static const std::string empty;
  const std::string* text = Find(id, language);
  return text != nullptr ? *text : empty;
}

bool HasString(int id, Language language) { return Find(id, language) != nullptr; }

std::vector<int> StringIds(Language language) {
  const Table& table = TableFor(language);
  std::vector<int> out;
  out.reserve(table.size());
  for (const auto& entry : table) out.push_back(entry.first);
  return out;
}

}  // namespace platform
