#include "Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QPushButton>
#include <QSettings>
#include <QtCore/qglobal.h>
#include <QTranslator>

#include <memory>

// Resources compiled into a static library are registered by hand, outside any namespace.
static void initTranslations() {
#ifdef VORNIK_HAS_TRANSLATIONS
    Q_INIT_RESOURCE(translations);
#endif
}

namespace vornik::ui {

namespace {
bool known(const QString& language) {
    return language == QLatin1String("en") || language == QLatin1String("zh");
}
} // namespace

QString chooseLanguage(const QString& option, const QString& setting, const QStringList& uiLanguages) {
    if (known(option))
        return option;
    if (known(setting))
        return setting;
    const QString first = uiLanguages.isEmpty() ? QString() : uiLanguages.first();
    return first == QLatin1String("en") || first.startsWith(QLatin1String("en-")) ||
                   first.startsWith(QLatin1String("en_"))
               ? QStringLiteral("en")
               : QStringLiteral("zh");
}

namespace {
const QString kLanguageKey = QStringLiteral("language");
} // namespace

QString rememberedLanguage(const QString& settingsFile) {
    return QSettings(settingsFile, QSettings::IniFormat).value(kLanguageKey).toString();
}

void rememberLanguage(const QString& settingsFile, const QString& language) {
    QSettings(settingsFile, QSettings::IniFormat).setValue(kLanguageKey, language);
}

QString standardButtonText(QDialogButtonBox::StandardButton which) {
    QDialogButtonBox box;
    return box.addButton(which)->text();
}

QStringList qtTranslationFolders() {
    return {QCoreApplication::applicationDirPath() + QStringLiteral("/translations"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
}

namespace {
// Qt's own texts (the standard buttons, the file dialogs, the context menus of text fields) in the
// program's language: Qt's translation of its base module, from the first folder that has it. Qt's
// texts are English already; the program's Chinese is the traditional one.
void applyQtLanguage(const QString& language) {
    static std::unique_ptr<QTranslator> qtTexts;
    if (qtTexts) {
        QCoreApplication::removeTranslator(qtTexts.get());
        qtTexts.reset();
    }
    if (language != QLatin1String("zh"))
        return;
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : qtTranslationFolders()) {
        if (translator->load(QStringLiteral("qtbase_zh_TW"), folder) &&
            QCoreApplication::installTranslator(translator.get())) {
            qtTexts = std::move(translator);
            return;
        }
    }
}
} // namespace

bool applyLanguage(const QString& language) {
    applyQtLanguage(language);
    static std::unique_ptr<QTranslator> english;
    if (english) {
        QCoreApplication::removeTranslator(english.get());
        english.reset();
    }
    if (language != QLatin1String("en"))
        return false;
    initTranslations();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral(":/i18n/vornik_en.qm")) || !QCoreApplication::installTranslator(translator.get()))
        return false;
    english = std::move(translator);
    return true;
}

} // namespace vornik::ui
