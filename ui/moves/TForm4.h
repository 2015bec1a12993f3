#pragma once

#include <QDialog>

namespace vornik::ui {

// The move editor.
class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);
};

} // namespace vornik::ui
