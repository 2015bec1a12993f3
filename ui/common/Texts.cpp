#include "Texts.h"

#include "Big5.h"
#include <QCoreApplication>

namespace vornik::ui {

QString fromBig5(std::string_view big5) {
    if (const auto utf8 = big5ToUtf8(big5))
        return QString::fromStdString(*utf8);
    // Convert what can be converted, one character at a time.
    QString text;
    for (std::size_t i = 0; i < big5.size();) {
        const std::size_t width = isBig5LeadByte(static_cast<unsigned char>(big5[i])) ? 2 : 1;
        if (const auto one = big5ToUtf8(big5.substr(i, width)))
            text += QString::fromStdString(*one);
        i += width;
    }
    return text;
}

std::string toBig5(const QString& text) {
    if (const auto big5 = utf8ToBig5(text.toStdString()))
        return *big5;
    std::string bytes;
    for (const QChar c : text) {
        if (const auto one = utf8ToBig5(QString(c).toStdString()))
            bytes += *one;
    }
    return bytes;
}

QString moveName(const Move& move) {
    return fromBig5(move.Name.view());
}

QString moveBindingText(const MoveTable& moves, int moveNumber) {
    // The prefix in the user's language; ASCII (English) is Big5 too.
    std::string text = utf8ToBig5(QCoreApplication::translate("Vornik", "招式：").toStdString()).value_or("");
    if (moveNumber >= 1 && moveNumber <= kMoveSlots)
        text += moves[moveNumber].Name.view();
    return fromBig5(std::string_view(text).substr(0, big5CutLength(text, 255)));
}

QString pointerTargetName(int target) {
    switch (target) {
    case PointerLeft:
        return QCoreApplication::translate("Vornik", "左鍵");
    case PointerMiddle:
        return QCoreApplication::translate("Vornik", "中鍵");
    case PointerRight:
        return QCoreApplication::translate("Vornik", "右鍵");
    case WheelUp:
        return QCoreApplication::translate("Vornik", "滾輪向上");
    case WheelDown:
        return QCoreApplication::translate("Vornik", "滾輪向下");
    case WheelLeft:
        return QCoreApplication::translate("Vornik", "滾輪向左");
    case WheelRight:
        return QCoreApplication::translate("Vornik", "滾輪向右");
    case PointerBack:
        return QCoreApplication::translate("Vornik", "上一頁鍵");
    case PointerForward:
        return QCoreApplication::translate("Vornik", "下一頁鍵");
    default:
        return {};
    }
}

QString pointerBindingText(int target) {
    return QCoreApplication::translate("Vornik", "滑鼠：") + pointerTargetName(target);
}

QString layerName(const PadSettings& pad, int layer) {
    const QString number = QCoreApplication::translate("Vornik", "第 %1 層").arg(layer);
    if (layer < 1 || layer > kMaxLayers || pad.layerNames[static_cast<std::size_t>(layer - 1)].empty())
        return number;
    return QCoreApplication::translate("Vornik", "%1：%2")
        .arg(number, QString::fromStdString(pad.layerNames[static_cast<std::size_t>(layer - 1)]));
}

QString layerSwitchText(const JoystickBinding& binding, const PadSettings& pad) {
    const QString layer = layerName(pad, binding.Key1);
    switch (binding.Key2) {
    case LayerWhileHeld:
        return QCoreApplication::translate("Vornik", "按住時用%1").arg(layer);
    case LayerToggle:
        return QCoreApplication::translate("Vornik", "切換%1").arg(layer);
    case LayerOneShot:
        return QCoreApplication::translate("Vornik", "下一鍵用%1").arg(layer);
    case LayerBack:
        return QCoreApplication::translate("Vornik", "回到上一層");
    default:
        return {};
    }
}

QString activatorName(int activator) {
    switch (activator) {
    case ActivatePress:
        return QCoreApplication::translate("Vornik", "按下時");
    case ActivateTap:
        return QCoreApplication::translate("Vornik", "輕按");
    case ActivateHold:
        return QCoreApplication::translate("Vornik", "長按");
    case ActivateDouble:
        return QCoreApplication::translate("Vornik", "連按兩下");
    case ActivateRelease:
        return QCoreApplication::translate("Vornik", "放開時");
    default:
        return {};
    }
}

QString autoFireModeText(int mode) {
    switch (mode) {
    case 0:
        return QCoreApplication::translate("Vornik", "沒有");
    case 1:
        return QCoreApplication::translate("Vornik", "自動連發中");
    case 2:
        return QCoreApplication::translate("Vornik", "按下連發");
    default:
        return {};
    }
}

QString autoFireDelayText(int delay) {
    return QStringLiteral("Delay: ") + QString::number(delay);
}

} // namespace vornik::ui
