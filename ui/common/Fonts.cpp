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
    return font;
}

} // namespace vornik::ui
