#pragma once
// The user-visible texts, English and Japanese under the same ids, compiled in from
// resources/strings/{en,ja}.txt (one "id<TAB>text" line each; \t \n \r \\ escapes in text).
#include <string>
#include <vector>

namespace platform {

enum class Language { English, Japanese };

// Japanese when HELIARC_LANG=ja, or when it is unset and LC_ALL/LC_MESSAGES/LANG starts with "ja".
Language DefaultLanguage();
Language CurrentLanguage();
void SetLanguage(Language language);

// Text of id in the current language; "" for an unknown id.
const std::string& LoadString(int id);
const std::string& LoadString(int id, Language language);
bool HasString(int id, Language language);
std::vector<int> StringIds(Language language);

}  // namespace platform
