#include "core/platform/StringIds.h"
#include "core/platform/StringTable.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace {

using platform::Language;
using platform::LoadString;

// printf conversions in order; "%%" counts as one so that a dropped literal percent is caught too.
// A "%" that starts no conversion (as in "Ratio[%]") is plain text.
std::vector<std::string> Placeholders(const std::string& text) {
  const std::string flags = "-+ #0", lengths = "hlLzjt", conversions = "diouxXeEfFgGaAcsp";
  std::vector<std::string> out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') continue;
    std::size_t j = i + 1;
    if (j < text.size() && text[j] == '%') {
      out.push_back("%%");
      i = j;
      continue;
    }
    while (j < text.size() && flags.find(text[j]) != std::string::npos) ++j;
    while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '*' || text[j] == '.')) ++j;
    while (j < text.size() && lengths.find(text[j]) != std::string::npos) ++j;
    if (j < text.size() && conversions.find(text[j]) != std::string::npos) {
      out.push_back(text.substr(i, j - i + 1));
      i = j;
    }
  }
  return out;
}

// "(&X)" accelerator markers, in order.
std::vector<std::string> Accelerators(const std::string& text) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i + 3 < text.size(); ++i) {
    if (text[i] == '(' && text[i + 1] == '&' && text[i + 3] == ')') out.push_back(text.substr(i, 4));
  }
  return out;
}

bool HasNonAscii(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0x80) return true;
  }
  return false;
}

// Restores one environment variable when the test ends.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

TEST(StringTable, BothLanguagesHoldTheSameNonEmptyIds) {
  const std::vector<int> en = platform::StringIds(Language::English);
  const std::vector<int> ja = platform::StringIds(Language::Japanese);
  EXPECT_GT(en.size(), 200u);
  EXPECT_EQ(en, ja);
  for (int id : en) {
    EXPECT_FALSE(LoadString(id, Language::English).empty()) << id;
    EXPECT_FALSE(LoadString(id, Language::Japanese).empty()) << id;
  }
}

TEST(StringTable, JapaneseKeepsPlaceholdersAndAccelerators) {
  for (int id : platform::StringIds(Language::English)) {
    const std::string& en = LoadString(id, Language::English);
    const std::string& ja = LoadString(id, Language::Japanese);
    EXPECT_EQ(Placeholders(en), Placeholders(ja)) << id << ": " << en << " / " << ja;
    EXPECT_EQ(Accelerators(en), Accelerators(ja)) << id << ": " << en << " / " << ja;
  }
}

TEST(StringTable, JapaneseIsATranslation) {
  std::size_t differs = 0, nonAscii = 0, total = 0;
  for (int id : platform::StringIds(Language::English)) {
    const std::string& en = LoadString(id, Language::English);
    const std::string& ja = LoadString(id, Language::Japanese);
    ++total;
    if (en != ja) ++differs;
    if (HasNonAscii(ja)) ++nonAscii;
  }
  EXPECT_GT(differs * 10, total * 8);
  EXPECT_GT(nonAscii * 10, total * 8);
  EXPECT_EQ(LoadString(ids::kCancel, Language::Japanese), "キャンセル");
}

TEST(StringTable, FixedIdsCarryTheProgramsTexts) {
  EXPECT_EQ(ids::kCommunicationError, 227);
  EXPECT_EQ(ids::kInvalidResponseFormat, 228);
  EXPECT_EQ(LoadString(227, Language::English), "The error occurred while communicating by command \"%s\".");
  EXPECT_EQ(LoadString(228, Language::English), "Invalid the response format by command \"%s\".");
  EXPECT_EQ(LoadString(123, Language::English), "Invalid x-axis range setting.");
  EXPECT_EQ(LoadString(124, Language::English), "Invalid y-axis range setting");
  EXPECT_EQ(LoadString(162, Language::English), "Measured data");
  EXPECT_EQ(LoadString(203, Language::English), "(Plural data display) %s %s");
  EXPECT_EQ(LoadString(230, Language::English), "Integration %d - %d");
  EXPECT_EQ(LoadString(161, Language::English), "Ratio[%]");
  EXPECT_EQ(LoadString(222, Language::English),
            "Measurement time %s, Exposure time[msec]: %d, Temperature[deg.C]: %g");
  EXPECT_EQ(LoadString(ids::kCannotSaveData, Language::English), "Cannot save the data. Confirm the output folder.");
  EXPECT_EQ(LoadString(ids::kExportCompleted, Language::English), "Completed exporting.");
  EXPECT_TRUE(platform::HasString(61713, Language::English));
  EXPECT_TRUE(platform::HasString(61715, Language::Japanese));
}

TEST(StringTable, EscapesAreDecoded) {
  EXPECT_EQ(LoadString(ids::kConfirmDelete, Language::English),
            "Delete selected record?\r\nCannot restore it when executing!");
  EXPECT_NE(LoadString(ids::kConfirmDelete, Language::Japanese).find("\r\n"), std::string::npos);
  EXPECT_EQ(LoadString(ids::kVersionMenu, Language::English), "Version(&A)...");
}

TEST(StringTable, UnknownIdGivesEmptyText) {
  EXPECT_EQ(LoadString(0, Language::English), "");
  EXPECT_EQ(LoadString(-1, Language::Japanese), "");
  EXPECT_EQ(LoadString(99999999), "");
  EXPECT_FALSE(platform::HasString(151, Language::English));
}

// The source files themselves: sorted, no id twice, every line well formed, so an edit that
// breaks a line is caught here rather than by a silently missing text.
TEST(StringTable, SourceFilesAreWellFormed) {
  for (const char* name : {"en.txt", "ja.txt"}) {
    std::ifstream in(std::string(HELIARC_SOURCE_DIR) + "/resources/strings/" + name, std::ios::binary);
    ASSERT_TRUE(in) << name;
    std::string line;
    int previous = -1;
    int lineNo = 0;
    while (std::getline(in, line)) {
      ++lineNo;
      const std::size_t tab = line.find('\t');
      ASSERT_NE(tab, std::string::npos) << name << ":" << lineNo;
      ASSERT_GT(tab, 0u) << name << ":" << lineNo;
      ASSERT_LT(tab + 1, line.size()) << name << ": empty text at line " << lineNo;
      for (std::size_t i = 0; i < tab; ++i) {
        ASSERT_TRUE(std::isdigit(static_cast<unsigned char>(line[i]))) << name << ":" << lineNo;
      }
      for (std::size_t i = tab + 1; i < line.size(); ++i) {
        ASSERT_NE(line[i], '\t') << name << ":" << lineNo;
        ASSERT_NE(line[i], '\r') << name << ":" << lineNo;
        if (line[i] == '\\') {
          ASSERT_LT(i + 1, line.size()) << name << ":" << lineNo;
          ASSERT_NE(std::string("tnr\\").find(line[i + 1]), std::string::npos) << name << ":" << lineNo;
          ++i;
        }
      }
      const int id = std::stoi(line.substr(0, tab));
      EXPECT_LT(previous, id) << name << ":" << lineNo;
      previous = id;
    }
    EXPECT_GT(lineNo, 200) << name;
  }
}

// Every named id in StringIds.h has a text in both languages, and no two names share an id, so a
// renamed or mistyped constant cannot silently load "".
TEST(StringTable, EveryNamedIdHasAText) {
  std::ifstream in(std::string(HELIARC_SOURCE_DIR) + "/core/platform/StringIds.h");
  ASSERT_TRUE(in);
  std::string line;
  std::vector<int> seen;
  const std::string prefix = "constexpr int ";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) != 0) continue;
    const std::size_t eq = line.find(" = ");
    ASSERT_NE(eq, std::string::npos) << line;
    const int id = std::stoi(line.substr(eq + 3));
    EXPECT_TRUE(platform::HasString(id, Language::English)) << line;
    EXPECT_TRUE(platform::HasString(id, Language::Japanese)) << line;
    for (int other : seen) EXPECT_NE(other, id) << line;
    seen.push_back(id);
  }
  EXPECT_EQ(seen.size(), platform::StringIds(Language::English).size());
}

TEST(StringTable, LanguageFromEnvironment) {
  ScopedEnv lcAll("LC_ALL", nullptr);
  ScopedEnv lcMessages("LC_MESSAGES", nullptr);
  ScopedEnv lang("LANG", nullptr);
  ScopedEnv forced("HELIARC_LANG", nullptr);
  EXPECT_EQ(platform::DefaultLanguage(), Language::English);

  setenv("LANG", "ja_JP.UTF-8", 1);
  EXPECT_EQ(platform::DefaultLanguage(), Language::Japanese);
  setenv("LC_MESSAGES", "C", 1);  // the first non-empty variable decides
  EXPECT_EQ(platform::DefaultLanguage(), Language::English);
  setenv("LC_ALL", "", 1);  // empty counts as unset
  EXPECT_EQ(platform::DefaultLanguage(), Language::English);
  setenv("LC_ALL", "ja_JP.eucJP", 1);
  EXPECT_EQ(platform::DefaultLanguage(), Language::Japanese);

  setenv("HELIARC_LANG", "en", 1);
  EXPECT_EQ(platform::DefaultLanguage(), Language::English);
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  unsetenv("LANG");
  setenv("HELIARC_LANG", "ja", 1);
  EXPECT_EQ(platform::DefaultLanguage(), Language::Japanese);
  setenv("HELIARC_LANG", "fr", 1);  // not a language we carry: fall back to the locale
  EXPECT_EQ(platform::DefaultLanguage(), Language::English);
}

TEST(StringTable, SetLanguageSwitchesLookups) {
  const Language before = platform::CurrentLanguage();
  platform::SetLanguage(Language::Japanese);
  EXPECT_EQ(platform::CurrentLanguage(), Language::Japanese);
  EXPECT_EQ(LoadString(ids::kCommunicationError), LoadString(227, Language::Japanese));
  platform::SetLanguage(Language::English);
  EXPECT_EQ(LoadString(ids::kCommunicationError), LoadString(227, Language::English));
  platform::SetLanguage(before);
}

}  // namespace
