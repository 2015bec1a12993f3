#include "TForm4.h"

namespace vornik::ui {

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm4"));
}

} // namespace vornik::ui
