#include "TForm5.h"

namespace vornik::ui {

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TForm5"));
}

} // namespace vornik::ui
