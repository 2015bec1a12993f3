#include "TargetStatus.h"

namespace vornik {

namespace {
constexpr int kTitleChars = 100; // as much of a title as the target list shows
} // namespace

const std::string& TargetStatus::frontName(WindowHandle front) {
    if (front != m_named) {
        m_named = front;
        m_name = m_platform.windows.windowText(front, kTitleChars);
        if (m_name.empty())
            m_name = m_platform.windows.processExecutableName(m_platform.windows.windowProcessId(front));
    }
    return m_name;
}

TargetState::Kind TargetStatus::kind(bool inFront, WindowHandle front) {
    using Kind = TargetState::Kind;
    if (!m_platform.output.unavailableReason().empty())
        return Kind::CannotSend;
    const uint32_t target = m_config.targets.TargetProcessId;
    if (target == 0)
        return Kind::NoTarget;
    if (inFront) {
        if (target != m_reachChecked) {
            m_reachChecked = target;
            m_outOfReach = m_platform.windows.processOutOfReach(target);
        }
        return m_outOfReach ? Kind::OutOfReach : Kind::InFront;
    }
    if (!m_platform.windows.processRunning(target))
        return Kind::Ended;
    if (front == 0)
        return m_platform.windows.seesEveryWindow() ? Kind::NothingInFront : Kind::UnseenInFront;
    return Kind::Behind;
}

void TargetStatus::update(bool inFront) {
    TargetState now;
    const WindowHandle front = m_platform.windows.foregroundWindow();
    now.kind = kind(inFront, front);
    if (now.kind == TargetState::Kind::CannotSend)
        now.reason = m_platform.output.unavailableReason();
    if (now.kind == TargetState::Kind::UnseenInFront)
        now.reason = m_platform.windows.unseenReason();
    now.keysUnread = front != 0 && !m_platform.windows.keysReadWith(front);
    if (now.kind == TargetState::Kind::InFront || now.kind == TargetState::Kind::OutOfReach ||
        now.kind == TargetState::Kind::Behind)
        now.front = frontName(front);
    now.keyboardStopped = m_host.keyboardStopBoxTicked();
    now.noJoystick = !m_config.present(1);
    for (int t = 1; t <= kMaxJoysticks && m_config.present(t); ++t) {
        if (m_host.stopBoxTicked(t))
            now.joysticksStopped |= 1u << (t - 1);
    }
    if (now == m_state)
        return;
    m_state = std::move(now);
    m_host.targetStateChanged(m_state);
}

} // namespace vornik
