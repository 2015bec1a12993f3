#include "TargetStateText.h"

#include <QCoreApplication>
#include <QStringList>

namespace vornik::ui {

namespace {

// How the keys go out, as a player would look it up.
QString outputText(const std::string& output, const TargetState& state) {
    if (output == "xtest")
        return QCoreApplication::translate("Vornik", "X 伺服器的 XTest（如同從鍵盤輸入）");
    // On a Wayland desktop: the compositor's virtual keyboard into a native window, XTest into an X one.
    if (output == "wayland")
        return state.keysUnread ? QCoreApplication::translate("Vornik", "Wayland 虛擬鍵盤")
                                : QCoreApplication::translate("Vornik", "X 伺服器的 XTest（如同從鍵盤輸入）");
    // A device of the kernel's, which every desktop reads as a keyboard and a mouse.
    if (output == "uinput")
        return QCoreApplication::translate("Vornik", "uinput 虛擬鍵盤與滑鼠");
    if (output == "sendinput")
        return QCoreApplication::translate("Vornik", "SendInput（虛擬鍵碼與掃描碼）");
    if (output == "sendinput-scancodes")
        return QCoreApplication::translate("Vornik", "SendInput（只用掃描碼）");
    return QString::fromStdString(output);
}

QString mainSentence(const TargetState& state, const std::string& output) {
    using Kind = TargetState::Kind;
    const QString front = QString::fromStdString(state.front);
    switch (state.kind) {
    case Kind::Unknown:
        return {};
    case Kind::CannotSend:
        return QCoreApplication::translate("Vornik", "無法送出按鍵：%1。").arg(QString::fromStdString(state.reason));
    case Kind::NoTarget:
        return QCoreApplication::translate("Vornik",
                                           "還沒有選擇目標程式：從上方的清單選擇，或把程式切到前景後按 CTRL+J。");
    case Kind::InFront:
        if (output.empty())
            return QCoreApplication::translate("Vornik", "目標「%1」在前景，按鍵會送給它。").arg(front);
        return QCoreApplication::translate("Vornik", "目標「%1」在前景，按鍵經由 %2 送給它。")
            .arg(front, outputText(output, state));
    case Kind::OutOfReach:
        return QCoreApplication::translate("Vornik",
                                           "目標「%1」在前景，但它以系統管理員權限執行，收不到 Vornik 送出的按鍵。")
            .arg(front);
    case Kind::Ended:
        return QCoreApplication::translate("Vornik", "目標程式已經結束：請重新選擇目標。");
    case Kind::UnseenInFront:
        if (!state.reason.empty())
            return QCoreApplication::translate("Vornik", "Vornik 看不到前景的視窗（Wayland 原生程式）：%1。按鍵不會送出。")
                .arg(QString::fromStdString(state.reason));
        return QCoreApplication::translate(
            "Vornik", "前景的視窗不是 X11 視窗（是 Wayland 原生程式）：Vornik 看不到它，也無法送按鍵給它。");
    case Kind::NothingInFront:
        return QCoreApplication::translate("Vornik", "目標程式不在前景，前景沒有任何視窗：按鍵不會送出。");
    case Kind::Behind:
        if (front.isEmpty())
            return QCoreApplication::translate("Vornik", "目標程式不在前景：按鍵不會送出。");
        return QCoreApplication::translate("Vornik", "目標程式不在前景，前景是「%1」：按鍵不會送出。").arg(front);
    }
    return {};
}

} // namespace

QString targetStateText(const TargetState& state, const std::string& output) {
    QString text = mainSentence(state, output);
    if (text.isEmpty())
        return text;
    QStringList notes;
    if (state.keyboardStopped)
        notes << QCoreApplication::translate("Vornik", "鍵盤的「%1」已勾選。")
                     .arg(QCoreApplication::translate("Vornik", "停止作用"));
    if (state.joysticksStopped != 0) {
        QStringList numbers;
        for (int t = 1; t <= 32; ++t) {
            if ((state.joysticksStopped >> (t - 1)) & 1u)
                numbers << QString::number(t);
        }
        notes << QCoreApplication::translate("Vornik", "搖桿 %1 的「%2」已勾選。")
                     .arg(numbers.join(QCoreApplication::translate("Vornik", "、")),
                          QCoreApplication::translate("Vornik", "停止作用"));
    }
    if (state.noJoystick)
        notes << QCoreApplication::translate("Vornik", "沒有連接搖桿。");
    if (state.keysUnread)
        notes << QCoreApplication::translate("Vornik", "前景是 Wayland 原生視窗：鍵盤頁的綁定要等 XWayland 視窗在前景時才看得到鍵盤。");
    for (const QString& note : notes)
        text += QLatin1Char('\n') + note;
    return text;
}

QStyle::StandardPixmap targetStateIcon(const TargetState& state) {
    using Kind = TargetState::Kind;
    switch (state.kind) {
    case Kind::InFront:
        return state.keyboardStopped || state.joysticksStopped != 0 ? QStyle::SP_MessageBoxInformation
                                                                    : QStyle::SP_DialogApplyButton;
    case Kind::Unknown:
    case Kind::NoTarget:
        return QStyle::SP_MessageBoxInformation;
    case Kind::Behind:
    case Kind::NothingInFront:
    case Kind::UnseenInFront:
        return QStyle::SP_MessageBoxWarning;
    case Kind::Ended:
    case Kind::OutOfReach:
    case Kind::CannotSend:
        return QStyle::SP_MessageBoxCritical;
    }
    return QStyle::SP_MessageBoxInformation;
}

} // namespace vornik::ui
