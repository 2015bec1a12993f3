#pragma once

// The way of sending keys chosen in the file menu ("xtest", "uinput", ...), kept in the settings file
// and used from the next start on unless --output says otherwise.

#include <QString>

namespace vornik::ui {

// Empty when none was chosen.
QString rememberedOutput(const QString& settingsFile);
void rememberOutput(const QString& settingsFile, const QString& output);

} // namespace vornik::ui
