#include "TForm3.h"

namespace vornik::ui {

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("設定"));
}

} // namespace vornik::ui
