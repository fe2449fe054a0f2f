// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Translation of the serial port layer's English texts through gettext
// catalogs. The tool's own Russian texts are never translated.
//
// Catalogs live in the folder "locale" beside the executable, laid out as
// locale/<language>/LC_MESSAGES/<domain>.mo; an installed tool, which has no
// such folder, has them in its own data folder (<prefix>/share/ortan5/locale
// for a tool in <prefix>/lib/ortan5), never in the system's locale folder:
// the domain names "default" and "cport" are too common to be the tool's
// alone there. Russian ones come with the tool; for a language without a
// catalog every text shows as written.
//
// The language is chosen as gettext chooses it, from LANGUAGE, LC_ALL,
// LC_MESSAGES and LANG, and it is the same whether or not the user's locale
// is installed.

#include <string>
#include <string_view>

namespace o5 {

// The current text domain: the port's error texts are looked up here.
inline constexpr const char* kDefaultTextDomain = "default";
// The setup dialog's captions and labels.
inline constexpr const char* kPortDialogTextDomain = "cport";
// The catalog folder's name beside the executable.
inline constexpr const char* kLocaleFolderName = "locale";

// Called once at start, before any window is built and best before the
// application object (no other thread then reads the environment while
// LANGUAGE is set); the locale the application object sets up afterwards
// keeps the choice. Binds both domains to the catalog folder, makes "default"
// current, chooses the language from the environment and looks the port's
// error texts up. A catalog of the chosen language that lies in the folder
// but cannot be read is reported on standard error.
void SetUpTranslation();
// The same with another catalog folder.
void SetUpTranslation(const std::string& localeDirectory);

// The catalog folder for an executable in `executableDirectory`: the "locale"
// folder beside it when there is one; otherwise the tool's own data folder of
// the installation it belongs to (<prefix>/share/ortan5/locale for a tool in
// <prefix>/lib/ortan5); when neither exists, the folder beside it all the
// same.
std::string CatalogDirectory(const std::string& executableDirectory);

// The variables that choose the language of messages, as set ("" when unset).
struct LocaleVariables {
  std::string language;    // LANGUAGE
  std::string lcAll;       // LC_ALL
  std::string lcMessages;  // LC_MESSAGES
  std::string lang;        // LANG
};
LocaleVariables LocaleVariablesOfEnvironment();

// The locale of messages: the first of LC_ALL, LC_MESSAGES and LANG that is
// set and not empty.
std::string MessagesLocale(const LocaleVariables& variables);

// The language list the catalogs are looked up in, as the C library has it:
// nothing when the locale of messages is the plain C locale ("", "C",
// "POSIX", a "C." locale other than C.UTF-8); else LANGUAGE when it is set
// (also with C.UTF-8); else the locale of messages and then its first two
// letters ("ru_RU.UTF-8:ru"), nothing for C.UTF-8.
std::string LanguageList(const LocaleVariables& variables);

// The language of the tool's own texts ("en" or "ru"), chosen from the same
// language list as the port's catalogs: the first language of the list that
// the tool has, English or Russian; Russian, the language the texts are
// written in, when the list names neither.
std::string ToolLanguage(const LocaleVariables& variables);

// The language list of one locale name: the full name first, then its first
// two letters ("de_AT.UTF-8" gives "de_AT.UTF-8:de"). Empty for a C locale.
std::string LanguageListOfLocale(std::string_view locale);

// `text` as the catalog of `domain` has it in the current language, UTF-8.
// The empty text stays empty (gettext would answer it with the catalog header).
std::string DomainText(const char* domain, const std::string& text);

}  // namespace o5
