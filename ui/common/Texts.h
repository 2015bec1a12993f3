#pragma once

// Conversions at the edge between the model's Big5 move names and the widgets' Unicode text.

#include "Tables.h"

#include <QString>

#include <string>
#include <string_view>

namespace vornik::ui {

// Big5 bytes as text; bytes with no Unicode form are dropped.
QString fromBig5(std::string_view big5);
// Text as Big5 bytes; characters with no Big5 form are dropped.
std::string toBig5(const QString& text);

// A move's name as text.
QString moveName(const Move& move);
// "招式：" followed by the name of move 1..100, the whole text cut to 255 Big5 bytes; for a number
// outside 1..100 the prefix alone.
QString moveBindingText(const MoveTable& moves, int moveNumber);

// The name of pointer button or wheel notch 1..9 ("左鍵", "滾輪上", ...); empty for any other value.
QString pointerTargetName(int target);
// "滑鼠：" followed by the pointer button's name.
QString pointerBindingText(int target);

// "第 2 層", or with the name the player gave it "第 2 層：換檔".
QString layerName(const PadSettings& pad, int layer);
// What a layer switch does: "按住時用第 2 層", "切換第 2 層", "下一鍵用第 2 層", "回到上一層".
QString layerSwitchText(const JoystickBinding& binding, const PadSettings& pad);
// When a binding fires: "按下時", "輕按", "長按", "連按兩下", "放開時".
QString activatorName(int activator);

// "沒有", "自動連發中", "按下連發" for auto-fire modes 0, 1, 2; empty for any other value.
QString autoFireModeText(int mode);
// "Delay: " followed by the delay.
QString autoFireDelayText(int delay);

} // namespace vornik::ui
