// The window's language: one at a time, chosen at start-up. Chinese unless
// English is asked for: `--lang en`, the choice remembered from the about
// page, or an English locale (LC_ALL, LC_MESSAGES, LANG: `en_*`), in that
// order. The texts are the project's translations (Qt Linguist files) and,
// in Chinese, Qt's own for its dialogs and buttons.
#pragma once

#include <QString>

#include <optional>

namespace ui {

enum class Language { Chinese, English };

// "zh" or "en" (as `--lang` and the settings file spell them), else nothing.
std::optional<Language> ParseLanguage(const QString& name);
QString LanguageName(Language language);

// `option`: `--lang`'s value; `remembered`: the settings file's; `locale`:
// the messages locale of the environment ("en_GB.UTF-8", "C", "").
Language ChooseLanguage(const QString& option, const QString& remembered, const QString& locale);
// The environment's messages locale, as the C library picks it.
QString MessagesLocale();

// Loads and installs the translations (replacing any installed before),
// also for the texts the core builds. False when a translation file is
// missing; the texts then stay as written in the sources.
bool InstallLanguage(Language language);
// The language installed last (Chinese before any).
Language CurrentLanguage();

// A text the core marked with DTU_TR_NOOP(context, ...), in the window's
// language.
QString CoreText(const char* context, const char* text);

// The about page's choice, read at the next start.
std::optional<Language> RememberedLanguage();
void RememberLanguage(Language language);

}  // namespace ui
