#include "OutputSetting.h"

#include <QSettings>

namespace vornik::ui {

namespace {
const QString kOutputKey = QStringLiteral("output");
} // namespace

QString rememberedOutput(const QString& settingsFile) {
    return QSettings(settingsFile, QSettings::IniFormat).value(kOutputKey).toString();
}

void rememberOutput(const QString& settingsFile, const QString& output) {
    QSettings(settingsFile, QSettings::IniFormat).setValue(kOutputKey, output);
}

} // namespace vornik::ui
