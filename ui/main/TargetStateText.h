#pragma once

// What the window says about where the keys go (TargetState): one sentence for the state, and one
// more for each thing that holds bindings back, in the program's language.

#include "TargetStatus.h"

#include <QString>
#include <QStyle>

#include <string>

namespace vornik::ui {

// The text for `state`; empty while no tick has looked. `output` is the name of the output keys go
// out through ("xtest", "keybd_event"), or empty when it is not known.
QString targetStateText(const TargetState& state, const std::string& output);
// The picture beside it: all well, a notice, a warning or a failure.
QStyle::StandardPixmap targetStateIcon(const TargetState& state);

} // namespace vornik::ui
