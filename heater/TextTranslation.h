// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the plain C++ cores (heater, archive, chart data, remote
// formats) in the tool's language, without the toolkit. A text is written in
// Russian, the source language, and marked: O5_TEXT("Context", "…") on a table
// or constant (it stays the literal itself), Translate("Context", "…") where it
// is made for a person. The window layer installs the translating function at
// start; until then, and in every program that installs none, each text stays
// as written. What the tool writes for itself (the journal's lines, file names)
// takes the untranslated text.

#include <string>

// Marks a text for the catalogs; translated by Translate with the same context
// where it is shown.
#define O5_TEXT(context, text) text

namespace o5 {

// Answers the translation of `source` in `context`; the text it returns lives
// as long as the process. `n` >= 0 chooses a plural form and stands for %n.
using TranslateFunction = std::string (*)(const char* context, const char* source, int n);

inline TranslateFunction gTranslateFunction = nullptr;

// `source` in the tool's language.
inline std::string Translate(const char* context, const char* source) {
  return gTranslateFunction ? gTranslateFunction(context, source, -1) : std::string(source);
}

// A text with a count: %n stands for `n`, and the catalog gives the plural
// form the language needs ("1 запись", "2 записи", "5 записей").
inline std::string Translate(const char* context, const char* source, const char* /*disambiguation*/, int n) {
  if (gTranslateFunction) return gTranslateFunction(context, source, n);
  std::string text(source);
  const std::string count = std::to_string(n);
  for (std::size_t at = text.find("%n"); at != std::string::npos; at = text.find("%n", at + count.size()))
    text.replace(at, 2, count);
  return text;
}

}  // namespace o5
