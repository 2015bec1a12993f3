#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace vornik::ui {

QString chineseFontFamily() {
    static const QString chosen = [] {
        const QStringList families = QFontDatabase::families();
        for (const QString& wanted :
             {QStringLiteral("細明體"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW")}) {
            if (families.contains(wanted, Qt::CaseInsensitive))
                return wanted;
        }
        const QStringList cjk = QFontDatabase::families(QFontDatabase::TraditionalChinese);
        return cjk.isEmpty() ? QFont().family() : cjk.first();
    }();
    return chosen;
}

QFont programFont(int pixelSize) {
    QFont font(chineseFontFamily());
    font.setPixelSize(pixelSize);
#ifdef _WIN32
    // With the default hinting Qt draws through GDI, whose grey anti-aliasing leaves the Ming face's
    // thin strokes so pale that list rows look disabled; vertical hinting draws through DirectWrite.
    font.setHintingPreference(QFont::PreferVerticalHinting);
#endif
    return font;
}

} // namespace vornik::ui
