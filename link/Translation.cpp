// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/Translation.h"

#include <libintl.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "link/ComTypes.h"
#include "settings/SettingsFile.h"

namespace o5 {

namespace {

bool IsPlainCLocale(const char* name) {
  return name == nullptr || std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0;
}

bool IsCLocaleName(std::string_view name) {
  return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.") || name.starts_with("C@");
}

// The C library's own C.UTF-8, which it always has: "C.UTF-8" or "C.utf8",
// however the codeset is written.
bool IsUtf8CLocaleName(std::string_view name) {
  if (!name.starts_with("C.")) return false;
  std::string codeset;
  for (const char c : name.substr(2))
    if (c != '-') codeset += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return codeset == "utf8";
}

// The C library ignores LANGUAGE only while the messages locale is the plain
// C locale: "C", "POSIX", or a C locale it does not have and so falls back
// from. Its C.UTF-8 is a locale of its own, with which LANGUAGE counts
// (LANG=C.UTF-8 LANGUAGE=ru gives Russian messages of `ls`).
bool IgnoresLanguageVariable(std::string_view locale) {
  return IsCLocaleName(locale) && !IsUtf8CLocaleName(locale);
}

// glibc ignores LANGUAGE while the messages category is the plain "C" locale,
// and that is exactly what setlocale leaves behind when the user's locale is
// not installed - the usual case for any language but English on a workshop
// PC. The catalogs, though, need no installed locale at all. So the messages
// category alone is moved to C.UTF-8, which glibc has built in: it keeps the
// "C" behaviour for everything else and lets the language list in LANGUAGE be
// looked up.
void HonourLanguageList() {
  if (!IsPlainCLocale(std::setlocale(LC_MESSAGES, nullptr))) return;
  for (const char* name : {"C.UTF-8", "C.utf8"}) {
    if (std::setlocale(LC_MESSAGES, name)) return;
  }
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool IsDirectory(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// A catalog of `domain` in the folder for one of the languages, where gettext
// looks for it: the language as listed, or its first two letters.
std::optional<std::filesystem::path> CatalogFor(const std::string& directory, const char* domain,
                                                const std::string& languages) {
  std::size_t from = 0;
  while (from <= languages.size()) {
    const std::size_t to = std::min(languages.find(':', from), languages.size());
    const std::string language = languages.substr(from, to - from);
    for (const std::string& name : {language, language.substr(0, 2)}) {
      if (name.empty()) continue;
      const auto path = std::filesystem::path(directory) / name / "LC_MESSAGES" / (std::string(domain) + ".mo");
      std::error_code error;
      if (std::filesystem::exists(path, error)) return path;
    }
    from = to + 1;
  }
  return std::nullopt;
}

// gettext passes over a catalog it cannot read (unreadable, cut short, not a
// catalog) without a word, and the texts then stay English for the whole
// run: say so where the tool was started.
void ReportUnreadCatalogs(const std::string& directory, const std::string& languages) {
  for (const char* domain : {kDefaultTextDomain, kPortDialogTextDomain}) {
    const auto catalog = CatalogFor(directory, domain, languages);
    // Every catalog answers the empty text with its header.
    if (catalog && *dgettext(domain, "") == '\0')
      std::fprintf(stderr, "ortan5: каталог перевода %s не читается, тексты порта остаются английскими\n",
                   catalog->c_str());
  }
}

}  // namespace

std::string CatalogDirectory(const std::string& executableDirectory) {
  const std::filesystem::path tool(executableDirectory);
  const std::filesystem::path candidates[] = {
      tool / kLocaleFolderName,
      (tool / O5_CATALOGS_FROM_TOOL_DIR).lexically_normal(),
  };
  for (const auto& candidate : candidates)
    if (IsDirectory(candidate)) return candidate.string();
  return candidates[0].string();
}

LocaleVariables LocaleVariablesOfEnvironment() {
  return {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")};
}

std::string MessagesLocale(const LocaleVariables& v) {
  for (const std::string* value : {&v.lcAll, &v.lcMessages, &v.lang})
    if (!value->empty()) return *value;
  return {};
}

std::string LanguageListOfLocale(std::string_view locale) {
  if (IsCLocaleName(locale)) return {};
  std::string list(locale);
  if (locale.size() > 2) list += ":" + std::string(locale.substr(0, 2));
  return list;
}

std::string LanguageList(const LocaleVariables& v) {
  const std::string locale = MessagesLocale(v);
  if (IgnoresLanguageVariable(locale)) return {};
  if (!v.language.empty()) return v.language;
  return LanguageListOfLocale(locale);
}

std::string ToolLanguage(const LocaleVariables& v) {
  const std::string languages = LanguageList(v);
  std::size_t from = 0;
  while (from < languages.size()) {
    const std::size_t to = std::min(languages.find(':', from), languages.size());
    const std::string language = languages.substr(from, to - from).substr(0, 2);
    if (language == "en" || language == "ru") return language;
    from = to + 1;
  }
  return "ru";
}

void SetUpTranslation() { SetUpTranslation(CatalogDirectory(ExecutableDirectory())); }

void SetUpTranslation(const std::string& localeDirectory) {
  // The language list goes into LANGUAGE, which gettext consults first, and
  // the messages category is made to honour it: the same language then
  // whether or not the user's locale is installed, for the port's texts and
  // for the C library's reasons in file errors alike.
  const std::string languages = LanguageList(LocaleVariablesOfEnvironment());
  if (languages.empty()) {
    unsetenv("LANGUAGE");
  } else {
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
  if (!languages.empty()) ReportUnreadCatalogs(localeDirectory, languages);
  TranslateComErrorTexts();
}

std::string DomainText(const char* domain, const std::string& text) {
  if (text.empty()) return text;
  return dgettext(domain, text.c_str());
}

}  // namespace o5
