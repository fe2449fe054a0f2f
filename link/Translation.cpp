#include "link/Translation.h"

#include <libintl.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "link/ComTypes.h"
#include "settings/SettingsFile.h"

namespace o5 {

namespace {

bool IsPlainCLocale(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

// glibc ignores LANGUAGE while the messages category is the plain "C" locale,
// and that is exactly what setlocale leaves behind when LANG names a locale
// that is not installed - the usual case for any language but English on a
// workshop PC. The catalogs, though, need no installed locale at all. So the
// messages category alone is moved to C.UTF-8, which glibc has built in: it
// keeps the "C" behaviour for everything else and lets the language list in
// LANGUAGE be looked up.
void HonourLanguageList() {
  if (!IsPlainCLocale(std::setlocale(LC_MESSAGES, nullptr))) return;
  for (const char* name : {"C.UTF-8", "C.utf8"}) {
    if (std::setlocale(LC_MESSAGES, name)) return;
  }
}

// The system's own catalog folder, where gettext looks for a domain that is
// not bound.
constexpr const char* kSystemLocaleDirectory = "/usr/share/locale";

bool IsDirectory(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

}  // namespace

std::string CatalogDirectory(const std::string& executableDirectory) {
  const std::filesystem::path tool(executableDirectory);
  const std::filesystem::path candidates[] = {
      tool / kLocaleFolderName,
      (tool / O5_LOCALE_FROM_TOOL_DIR).lexically_normal(),
      kSystemLocaleDirectory,
  };
  for (const auto& candidate : candidates)
    if (IsDirectory(candidate)) return candidate.string();
  return candidates[0].string();
}

std::string LanguageListFromLang(std::string_view lang) {
  if (lang.empty() || lang == "C" || lang == "POSIX" || lang.starts_with("C.") ||
      lang.starts_with("C@")) {
    return {};
  }
  std::string list(lang);
  if (lang.size() > 2) list += ":" + std::string(lang.substr(0, 2));
  return list;
}

void SetUpTranslation() { SetUpTranslation(CatalogDirectory(ExecutableDirectory())); }

void SetUpTranslation(const std::string& localeDirectory) {
  // LANG decides the language when it names one: it goes first into LANGUAGE,
  // which gettext consults before LC_ALL, LC_MESSAGES and LANG. Without a
  // language in LANG the usual gettext rules apply unchanged.
  const char* lang = std::getenv("LANG");
  const std::string languages = LanguageListFromLang(lang ? lang : "");
  if (!languages.empty()) {
    setenv("LANGUAGE", languages.c_str(), 1);
    HonourLanguageList();
  }
  for (const char* domain : {kDefaultTextDomain, kPortDialogTextDomain}) {
    bindtextdomain(domain, localeDirectory.c_str());
    // The texts go into QString::fromUtf8 whatever the process's character
    // set is ("C" when the user's locale is not installed).
    bind_textdomain_codeset(domain, "UTF-8");
  }
  textdomain(kDefaultTextDomain);
  TranslateComErrorTexts();
}

std::string DomainText(const char* domain, const std::string& text) {
  if (text.empty()) return text;
  return dgettext(domain, text.c_str());
}

}  // namespace o5
