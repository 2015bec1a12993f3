#pragma once

#include <QDialog>

namespace vornik::ui {

// The joystick binding dialog (caption "設定").
class TForm3 : public QDialog {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
};

} // namespace vornik::ui
