#include "Language.h"

#include <QCoreApplication>
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

bool applyLanguage(const QString& language) {
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
