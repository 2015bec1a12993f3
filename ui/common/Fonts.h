#pragma once

#include <QFont>
#include <QString>

namespace vornik::ui {

// The family used for all Chinese text: "細明體" when installed, else "AR PL UMing TW", else the
// first font that covers Traditional Chinese, else the default family.
QString chineseFontFamily();

// The program's text font: that family at `pixelSize` pixels.
QFont programFont(int pixelSize = 12);

} // namespace vornik::ui
