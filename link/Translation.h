#pragma once
// Translation of the serial port layer's English texts through gettext
// catalogs. The tool's own Russian texts are never translated.
//
// Catalogs live in the folder "locale" beside the executable, laid out as
// locale/<language>/LC_MESSAGES/<domain>.mo; an installed tool, which has no
// such folder, finds them in the system's locale folder. Russian ones come
// with the tool; for a language without a catalog every text shows as written.

#include <string>
#include <string_view>

namespace o5 {

// The current text domain: the port's error texts are looked up here.
inline constexpr const char* kDefaultTextDomain = "default";
// The setup dialog's captions and labels.
inline constexpr const char* kPortDialogTextDomain = "cport";
// The catalog folder's name beside the executable.
inline constexpr const char* kLocaleFolderName = "locale";

// Called once at start, after the application object exists (it resets the
// process locale) and before any window is built: binds both domains to the
// catalog folder, makes "default" current, chooses the language from LANG and
// looks the port's error texts up.
void SetUpTranslation();
// The same with another catalog folder.
void SetUpTranslation(const std::string& localeDirectory);

// The catalog folder for an executable in `executableDirectory`: the "locale"
// folder beside it when there is one; otherwise the system's locale folder of
// the installation it belongs to (<prefix>/share/locale for a tool in
// <prefix>/lib/ortan5), or else /usr/share/locale; when none of these exists,
// the folder beside it all the same.
std::string CatalogDirectory(const std::string& executableDirectory);

// The language list looked up for a value of LANG: the full language first,
// then its first two letters ("de_AT.UTF-8" gives "de_AT.UTF-8:de"). Empty
// when the value names no language ("", "C", "POSIX", "C.UTF-8").
std::string LanguageListFromLang(std::string_view lang);

// `text` as the catalog of `domain` has it in the current language, UTF-8.
// The empty text stays empty (gettext would answer it with the catalog header).
std::string DomainText(const char* domain, const std::string& text);

}  // namespace o5
