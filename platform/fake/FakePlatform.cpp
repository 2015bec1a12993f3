#include "FakePlatform.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vornik {

FakeJoysticks::FakeJoysticks() {
#ifndef _WIN32
    if (::pipe2(m_change, O_CLOEXEC | O_NONBLOCK) != 0)
        m_change[0] = m_change[1] = -1;
#endif
}

FakeJoysticks::~FakeJoysticks() {
#ifndef _WIN32
    for (int fd : m_change) {
        if (fd >= 0)
            ::close(fd);
    }
#endif
}

void FakeJoysticks::signalChange() {
#ifndef _WIN32
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_change[1], &byte, 1);
#endif
}

void FakeJoysticks::drainChanges() {
#ifndef _WIN32
    char buffer[64];
    while (m_change[0] >= 0 && ::read(m_change[0], buffer, sizeof buffer) > 0) {
    }
#endif
}

FakeJoystick& FakeJoysticks::plug(uint32_t id, uint32_t buttons) {
    FakeJoystick& j = devices.at(id);
    j = FakeJoystick{};
    j.present = true;
    j.caps.wMaxButtons = buttons;
    return j;
}

uint32_t FakeJoysticks::getDevCaps(uint32_t id, JoyCapsRecord& caps) {
    capsQueries.push_back(id);
    if (id >= devices.size() || !devices[id].present)
        return 167; // the system's "unplugged" code
    caps = devices[id].caps;
    return 0;
}

uint32_t FakeJoysticks::getPosEx(uint32_t id, JoyReading& reading) {
    ++reads;
    if (id >= devices.size() || !devices[id].present)
        return 167;
    if (devices[id].readError != 0)
        return devices[id].readError;
    reading = devices[id].reading;
    return 0;
}

int16_t FakeKeyboard::asyncKeyState(int vk) {
    ++stateQueries;
    return m_down[vk & 0xFF] ? static_cast<int16_t>(0x8000) : 0;
}

bool FakeKeyboard::pressedSinceLastQuery(int vk) {
    const bool pressed = std::exchange(m_pressed[static_cast<std::size_t>(vk & 0xFF)], false);
    return asyncKeyState(vk) != 0 || pressed;
}

void FakeKeyboard::synthesized(uint32_t time, uint8_t vk, bool down) {
    events.push_back({time, vk, down ? kKeyEventExtendedKey : kKeyEventKeyUp});
    m_down[vk] = down;
}

std::optional<uint32_t> FakeOutput::keyDown(uint8_t vk) {
    if (!unavailable.empty())
        return std::nullopt;
    m_keyboard.synthesized(m_clock.tickCount(), vk, true);
    if (afterKeyDown)
        afterKeyDown(vk);
    return vk;
}

void FakeOutput::keyUp(const SentKey& key) {
    m_keyboard.synthesized(m_clock.tickCount(), static_cast<uint8_t>(key.native & 0xFF), false);
}

bool FakeOutput::pointerButton(PointerButton button, bool down) {
    if (!pointer || (down && refuseButtons))
        return false;
    pointerEvents.push_back({PointerEventRecord::Button, static_cast<int>(button), down ? 1 : 0});
    m_buttons[static_cast<std::size_t>(button)] = down;
    return true;
}

void FakeOutput::pointerMotion(int dx, int dy) {
    if (pointer)
        pointerEvents.push_back({PointerEventRecord::Motion, dx, dy});
}

void FakeOutput::wheel(int steps, bool horizontal) {
    if (pointer)
        pointerEvents.push_back({PointerEventRecord::Wheel, steps, horizontal ? 1 : 0});
}

FakeWindow& FakeWindowSystem::add(WindowHandle h, uint32_t pid, std::string title, bool visible) {
    FakeWindow& w = windows[h];
    w = FakeWindow{pid, visible, std::move(title)};
    return w;
}

uint32_t FakeWindowSystem::windowProcessId(WindowHandle window) {
    auto it = windows.find(window);
    return it == windows.end() ? 0 : it->second.pid;
}

void FakeWindowSystem::enumWindows(const std::function<void(WindowHandle)>& visit) {
    for (const auto& [handle, window] : windows)
        visit(handle);
}

bool FakeWindowSystem::isWindowVisible(WindowHandle window) {
    auto it = windows.find(window);
    return it != windows.end() && it->second.visible;
}

std::string FakeWindowSystem::windowText(WindowHandle window, int maxChars) {
    auto it = windows.find(window);
    if (it == windows.end() || maxChars <= 1)
        return {};
    return it->second.title.substr(0, static_cast<std::size_t>(maxChars - 1));
}

bool FakeWindowSystem::setWindowText(WindowHandle window, const std::string& title) {
    auto it = windows.find(window);
    if (it == windows.end())
        return false;
    it->second.title = title;
    return true;
}

} // namespace vornik
