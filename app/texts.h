#pragma once
// The program's own texts are written in Simplified Chinese, in the code,
// through zh(); where the desktop is Taiwanese, Hong Kong or Macanese they
// are shown in Traditional Chinese, from the translations built with the
// program (translations/*.ts). Every other locale gets them as written.
#include <QString>

class QTranslator;

namespace nw::app {

// Marks a text for translation where it is not said at once (a table of
// captions): the text itself, found by the translation script.
#define NW_TEXT(text) text

// The text as the user reads it.
QString zh(const char* text);

// Whether the texts are shown in Traditional Chinese.
bool traditional();
// Which translation is shown ("zh_TW", "zh_HK"), empty for none.
QString installedTranslation();

// Which of the program's translations a locale name (as in LANG, say
// "zh_TW.UTF-8") takes: "zh_TW", "zh_HK", or empty for the texts as written.
QString translationFor(const QString& locale);
// The locale the program speaks in: LC_ALL, LC_MESSAGES or LANG, the first
// that is set.
QString messagesLocale();

// Loads the program's translation (and Qt's own, for its buttons) for the
// locale, installing them where an application exists; answers which one
// was taken (as translationFor). Before an application exists (--help),
// zh() still uses it.
QString installTranslations(const QString& locale);

} // namespace nw::app
