#pragma once

// The language of the program's texts: its own Chinese texts, or English from the translation built
// into the resources. Only display texts change; key labels, profiles and object names never do.

#include <QDialogButtonBox>
#include <QString>
#include <QStringList>

namespace vornik::ui {

// "en" or "zh": the command line's --lang first, then the choice remembered in the settings, then
// the user's first UI language (English when it is English, the program's own texts otherwise).
QString chooseLanguage(const QString& option, const QString& setting, const QStringList& uiLanguages);

// The choice made in the file menu, kept in the settings file at `settingsFile`; empty when none.
QString rememberedLanguage(const QString& settingsFile);
void rememberLanguage(const QString& settingsFile, const QString& language);

// Installs the English translation when `language` is "en" (and removes it otherwise), and Qt's own
// translation for the program's Chinese when it is "zh", so that what Qt draws itself (the standard
// buttons, the file dialogs) speaks the program's language. Call before any window is built; true
// when the program's texts are now English.
bool applyLanguage(const QString& language);

// The text Qt gives its standard button `which` in the language in force ("OK", "確定"): the program's
// own dialogs name their OK and Cancel buttons as Qt's boxes do.
QString standardButtonText(QDialogButtonBox::StandardButton which);

// Where Qt's translations are looked for: "translations" beside the program (the Windows folder),
// then Qt's own folder (Debian: qt6-translations-l10n).
QStringList qtTranslationFolders();

} // namespace vornik::ui
