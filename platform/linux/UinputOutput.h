#pragma once

#include "Output.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <set>
#include <string>

namespace vornik {

// Key and pointer events through a virtual input device of the kernel's (uinput), which every
// desktop reads like a real keyboard and mouse: X11, any Wayland compositor, and games reading
// evdev. The events go to whatever has the focus, so each key-down, button press and wheel notch
// first asks the press guard (after `freshen`, which reads what the window system has to tell).
//
// One device, made once when the output is chosen (open()): a desktop takes a new device in only
// after a while, so never one per press. It is destroyed with the output, after every key and
// button it still has down is let go.
//
// The pointer is an absolute one: a relative device's motion is accelerated by the desktop, by
// settings a program cannot read on GNOME or Plasma, while an absolute position lands where it is
// sent. The device's range covers the whole desktop (`desktopSize`, in pixels); a move goes on from
// where the last one ended, or, after a pause, from where the desktop says the pointer is when that
// has changed since it was last asked (`pointerNow`), so the user's mouse between two moves is not
// undone where the desktop can tell (X11; on Wayland while the pointer is over an X window).
// Main thread only.
class UinputOutput : public Output {
public:
    struct Size {
        int width = 0;
        int height = 0;
    };
    struct Point {
        int x = 0;
        int y = 0;
    };
    static constexpr const char* kDeviceName = "Vornik virtual keyboard and pointer";
    static constexpr int kAbsoluteMax = 32767;

    explicit UinputOutput(std::string devicePath = "/dev/uinput");
    ~UinputOutput() override;
    UinputOutput(const UinputOutput&) = delete;
    UinputOutput& operator=(const UinputOutput&) = delete;

    // Makes the device, the first time; false (and unavailableReason() says why) when it cannot be.
    bool open();
    bool isOpen() const { return m_fd >= 0; }

    void setDesktop(std::function<Size()> desktopSize, std::function<std::optional<Point>()> pointerNow) {
        m_desktopSize = std::move(desktopSize);
        m_pointerNow = std::move(pointerNow);
    }
    // Called right before the press guard: reads the window system's news (a round trip).
    void setFreshen(std::function<void()> freshen) { m_freshen = std::move(freshen); }
    // Told of every key event sent, by evdev code: an X server hears it from a device like the
    // user's, so the key state must know it as the program's own (XKeyboard::noteSent).
    void setKeySent(std::function<void(uint32_t code, bool down)> keySent) { m_keySent = std::move(keySent); }

    std::optional<uint32_t> keyDown(uint8_t vk) override;
    void keyUp(const SentKey& key) override;
    std::string unavailableReason() const override;
    bool canPoint() const override { return isOpen(); }
    bool pointerButton(PointerButton button, bool down) override;
    void pointerMotion(int dx, int dy) override;
    void wheel(int steps, bool horizontal) override;
    void setPressGuard(std::function<bool()> guard) override { m_guard = std::move(guard); }

    // Why `path` cannot be opened for writing, with what to do about it, from the errno of the
    // attempt; empty for 0.
    static std::string reasonFor(const std::string& path, int error);

private:
    bool guardAllows();
    // Writes events followed by a SYN_REPORT.
    void send(std::initializer_list<std::array<int, 3>> events);

    std::string m_path;
    int m_fd = -1;
    bool m_tried = false;
    std::string m_reason;
    std::function<bool()> m_guard;
    std::function<void()> m_freshen;
    std::function<void(uint32_t, bool)> m_keySent;
    std::function<Size()> m_desktopSize;
    std::function<std::optional<Point>()> m_pointerNow;
    std::set<uint16_t> m_down; // the device's keys and buttons that are down, let go before it goes
    Size m_size;               // the desktop's, asked again after a pause in the moves
    double m_x = -1, m_y = -1; // where the last move ended; negative: not known
    std::optional<Point> m_told; // where the desktop last said the pointer was
    std::chrono::steady_clock::time_point m_lastMove{};
};

} // namespace vornik
