#pragma once

#include <QComboBox>

namespace vornik::ui {

// Gives every item of a drop-down list the same height in pixels.
void setFixedItemHeight(QComboBox* combo, int height);

} // namespace vornik::ui
