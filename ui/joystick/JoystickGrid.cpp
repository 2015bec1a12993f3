#include "JoystickGrid.h"

#include "DrawGrid.h"
#include "PictureStore.h"

namespace vornik::ui {

void JoystickGrid::DCell(DrawGrid&, int, int, QPainter&, const QRect&) {}

void JoystickGrid::DbC(DrawGrid&) {}

} // namespace vornik::ui
