#pragma once

// Tform2, the About box: product name, version and two links into the local documentation.

#include <QDialog>

namespace vornik::ui {

class Tform2 : public QDialog {
    Q_OBJECT
public:
    explicit Tform2(QWidget* parent = nullptr);
};

} // namespace vornik::ui
