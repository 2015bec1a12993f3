#pragma once

#include <QDialog>

namespace vornik::ui {

// The About box: product name, version and two links into the local documentation.
class Tform2 : public QDialog {
    Q_OBJECT
public:
    explicit Tform2(QWidget* parent = nullptr);
};

} // namespace vornik::ui
