#pragma once

#include <QDialog>

namespace vornik::ui {

// The move recorder.
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
};

} // namespace vornik::ui
