#include "ui/common/Language.h"

#include "core/common/Tr.h"
#include "ui/common/Settings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

namespace ui {

namespace {

const QString kSettingsKey = QStringLiteral("language");

// Words of Qt's own dialogs that Debian's Chinese Qt translation lacks (the
// file dialog's type column); the tool's translation carries them.
[[maybe_unused]] const struct {
    const char* source;
    const char* comment;
} kQtWords[] = {
    QT_TRANSLATE_NOOP3("QAbstractFileIconProvider", "Folder", "All other platforms"),
};

// The installed translators and the core's translated texts: process-wide,
// like the application they belong to.
struct Installed {
    std::unique_ptr<QTranslator> tool;
    std::unique_ptr<QTranslator> qt;
    Language language = Language::Chinese;
    std::mutex mutex;
    // Node-based and never emptied (a text is kept per language), so a
    // pointer handed to the core stays valid for the whole run, across a
    // language installed again.
    std::unordered_map<std::string, std::string> coreTexts;
};

Installed& Current()
{
    static Installed installed;
    return installed;
}

// The core asks from any thread (the command-line code paths never do).
const char* TranslateCore(const char* context, const char* source)
{
    Installed& installed = Current();
    const std::lock_guard lock(installed.mutex);
    std::string key = LanguageName(installed.language).toStdString() + '\x04' + context + '\x04' + source;
    auto found = installed.coreTexts.find(key);
    if (found == installed.coreTexts.end())
        found = installed.coreTexts
                    .emplace(std::move(key), QCoreApplication::translate(context, source).toStdString())
                    .first;
    return found->second.c_str();
}

std::unique_ptr<QTranslator> Load(const QString& name, const QString& folder)
{
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder)) {
        qWarning("dtutool: no translation %s in %s", qPrintable(name), qPrintable(folder));
        return nullptr;
    }
    QCoreApplication::installTranslator(translator.get());
    return translator;
}

}  // namespace

std::optional<Language> ParseLanguage(const QString& name)
{
    if (name == QLatin1String("zh"))
        return Language::Chinese;
    if (name == QLatin1String("en"))
        return Language::English;
    return std::nullopt;
}

QString LanguageName(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

Language ChooseLanguage(const QString& option, const QString& remembered, const QString& locale)
{
    if (const auto chosen = ParseLanguage(option))
        return *chosen;
    if (const auto chosen = ParseLanguage(remembered))
        return *chosen;
    return locale == QLatin1String("en") || locale.startsWith(QLatin1String("en_")) ? Language::English
                                                                                  : Language::Chinese;
}

QString MessagesLocale()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

bool InstallLanguage(Language language)
{
    Installed& installed = Current();
    text::SetTranslator(nullptr);
    for (auto* translator : {installed.tool.get(), installed.qt.get()})
        if (translator)
            QCoreApplication::removeTranslator(translator);
    installed.tool.reset();
    installed.qt.reset();
    {
        const std::lock_guard lock(installed.mutex);
        installed.language = language;
    }

    const bool english = language == Language::English;
    // Qt's dialogs write dates and name file types by the default locale:
    // the window's language, in the system's own variant where it has one.
    const QLocale::Language wanted = english ? QLocale::English : QLocale::Chinese;
    if (QLocale::system().language() == wanted)
        QLocale::setDefault(QLocale::system());
    else
        QLocale::setDefault(english ? QLocale(QLocale::English, QLocale::UnitedStates)
                                    : QLocale(QLocale::Chinese, QLocale::China));
    installed.tool = Load(english ? QStringLiteral("dtutool_en") : QStringLiteral("dtutool_zh_CN"),
                          QStringLiteral(DTU_TRANSLATIONS_DIR));
    // Qt's own words (dialog buttons, the file dialog, edit menus) are
    // English already.
    if (!english)
        installed.qt = Load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    text::SetTranslator(&TranslateCore);
    return installed.tool && (english || installed.qt);
}

Language CurrentLanguage()
{
    return Current().language;
}

QString CoreText(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

std::optional<Language> RememberedLanguage()
{
    const auto settings = Remembered();
    return settings ? ParseLanguage(settings->value(kSettingsKey).toString()) : std::nullopt;
}

void RememberLanguage(Language language)
{
    if (const auto settings = Remembered())
        settings->setValue(kSettingsKey, LanguageName(language));
}

}  // namespace ui
