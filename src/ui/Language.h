#pragma once
#include <QString>

namespace nbk::ui {

// The language the screens and their messages speak: English is the source and the
// default; "kn" shows them in Kannada where a translation exists.
//   option:   what --lang gave (empty: not given)
//   variable: NBK_LANG (empty: not set)
//   system:   the system locale's name ("kn_IN")
// The first given wins; a system locale of Kannada asks for Kannada, any other English.
QString chosenLanguage(const QString &option, const QString &variable, const QString &system);

// Installs the translations of the language ("kn"), or removes them ("en", empty); false
// when the program carries none for it (the screens then stay English).
bool useLanguage(const QString &language);

// A message's text and title as shown: the translation of a fixed text or of the pattern
// a text with values in it was worded by (its values kept), line by line for a message of
// several lines; the text itself when it has none (or in English).
QString shownText(const QString &text);

}  // namespace nbk::ui
