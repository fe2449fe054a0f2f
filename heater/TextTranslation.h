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
//
// The session's timeline is written for a person, in the tool's language of
// the time, and read back by the tool in whatever language it runs in then:
// its readers know a text by TranslationsOf, every way the tool may have
// written it.

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

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

// `text` (a translated one, a whole sentence) with its placeholders %1..%9
// filled by `arguments`, the first for %1: each language orders them as its
// sentence needs. A placeholder without an argument stays, and what an
// argument holds is not read again ("%2" in a name stays "%2").
inline std::string WithArgument(std::string_view text, std::initializer_list<std::string_view> arguments) {
  std::string filled;
  filled.reserve(text.size() + 16 * arguments.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    const std::size_t k = at + 1 < text.size() ? static_cast<std::size_t>(text[at + 1] - '1') : 9;
    if (text[at] == '%' && k < 9 && k < arguments.size()) {
      filled += arguments.begin()[k];
      ++at;
    } else {
      filled += text[at];
    }
  }
  return filled;
}

// `text` (a translated one) with its %1 replaced by `argument`.
inline std::string WithArgument(std::string_view text, std::string_view argument) {
  return WithArgument(text, {argument});
}

// Answers the translations of `source` in `context` in every catalog the tool
// ships (those that translate it), in any order.
using TranslationsFunction = std::vector<std::string> (*)(const char* context, const char* source);

inline TranslationsFunction gTranslationsFunction = nullptr;

// `source` and its translation in every catalog the tool ships, each once,
// `source` first: each way the tool writes the text in one of its languages.
// Only `source` in a program that installs no catalogs.
inline std::vector<std::string> TranslationsOf(const char* context, const char* source) {
  std::vector<std::string> texts{source};
  if (!gTranslationsFunction) return texts;
  for (std::string& text : gTranslationsFunction(context, source)) {
    bool known = false;
    for (const std::string& had : texts) known = known || had == text;
    if (!known && !text.empty()) texts.push_back(std::move(text));
  }
  return texts;
}

// A text the tool writes, as its readers know it in any language it ships.
// Made where a reading begins: the catalogs are asked once, not for every
// line read.
class WrittenText {
 public:
  WrittenText(const char* context, const char* source) : texts_(TranslationsOf(context, source)) {}

  // `text` is this text in one of the languages.
  bool Is(std::string_view text) const {
    for (const std::string& t : texts_)
      if (text == t) return true;
    return false;
  }
  // The length of this text at the start of `text` in the language it begins
  // with there (the longest that fits); 0 when it begins with none.
  std::size_t StartOf(std::string_view text) const {
    std::size_t length = 0;
    for (const std::string& t : texts_)
      if (t.size() > length && text.starts_with(t)) length = t.size();
    return length;
  }

 private:
  std::vector<std::string> texts_;
};

}  // namespace o5
