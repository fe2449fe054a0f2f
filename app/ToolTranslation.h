// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tool's own texts in the desktop's language: the catalog
// ortan5_<language>.qm from the catalog folder the port's catalogs live in
// (the English one, or the Russian one that gives only the plural forms),
// installed into the application, and the plain cores' texts translated
// through it.

#include <string>

namespace o5 {

// Loads and installs the catalog of `language` ("en", "ru") from
// `catalogDirectory` and lets the cores' texts be translated. False when the
// catalog cannot be read; the texts then stay as written. Whatever the
// language, the cores' readers of what the tool wrote then know its texts in
// every language of that folder's catalogs (TranslationsOf).
bool InstallToolTranslation(const std::string& catalogDirectory, const std::string& language);

}  // namespace o5
