#include "TargetStateSign.h"

#include "TargetStateText.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStyle>
#include <QToolTip>

namespace vornik::ui {

TargetStateSign::TargetStateSign(QTabWidget* pages, QSystemTrayIcon* tray, std::function<std::string()> outputInUse,
                                 std::function<QString()> profileFile)
    : m_button(new QToolButton(pages)), m_tray(tray), m_outputInUse(std::move(outputInUse)),
      m_profileFile(std::move(profileFile)) {
    // In the corner right of the tabs, so the window's layout stays as it is. A click shows the text
    // at once, for whoever cannot wait for the tooltip.
    m_button->setObjectName(QStringLiteral("TargetState"));
    m_button->setAutoRaise(true);
    m_button->setIconSize(QSize(16, 16));
    m_button->setFixedSize(20, 20);
    m_button->hide();
    pages->setCornerWidget(m_button, Qt::TopRightCorner);
    QObject::connect(m_button, &QToolButton::clicked, m_button, [button = m_button] {
        QToolTip::showText(button->mapToGlobal(QPoint(0, button->height())), button->toolTip(), button);
    });
}

void TargetStateSign::show(const TargetState& state) {
    m_shown = state;
    QString text = targetStateText(state, m_outputInUse ? m_outputInUse() : std::string());
    // Which profile the bindings come from.
    if (!text.isEmpty()) {
        const QString file = m_profileFile();
        text += QLatin1Char('\n') +
                (file.isEmpty() ? QCoreApplication::translate("Vornik", "設定檔：沒有（這些設定還沒存成檔案）")
                                : QCoreApplication::translate("Vornik", "設定檔：%1").arg(QFileInfo(file).fileName()));
        for (const auto& [joystick, layer] : m_layers)
            text += QLatin1Char('\n') + QCoreApplication::translate("Vornik", "搖桿 %1 正在用%2").arg(joystick).arg(layer);
    }
    m_button->setIcon(m_button->style()->standardIcon(targetStateIcon(state)));
    m_button->setToolTip(text);
    m_button->setAccessibleName(text);
    m_button->setVisible(!text.isEmpty());
    m_tray->setToolTip(text.isEmpty() ? QStringLiteral("Vornik") : QStringLiteral("Vornik\n") + text);
}

void TargetStateSign::activeLayerChanged(int joystick, const QString& layer, bool first) {
    if (first)
        m_layers.erase(joystick);
    else
        m_layers[joystick] = layer;
    show(m_shown);
}

} // namespace vornik::ui
