#include "XKeyboard.h"

#include "VirtualKeySyms.h"

#include <cstring>

#include <X11/XKBlib.h>
#include <X11/extensions/XInput2.h>

namespace vornik {

XKeyboard::XKeyboard(XConnection& connection) : m_connection(connection) {
    // A server with XKB tells an XKB client about keyboard mapping changes only through XKB events.
    int opcode = 0, xkbError = 0, xkbMajor = XkbMajorVersion, xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(m_connection.display(), &opcode, &m_xkbEventBase, &xkbError, &xkbMajor, &xkbMinor)) {
        const unsigned long mask = XkbMapNotifyMask | XkbNewKeyboardNotifyMask;
        XkbSelectEvents(m_connection.display(), XkbUseCoreKbd, mask, mask);
    } else {
        m_xkbEventBase = -1;
    }
    m_connection.countRoundTrip();
    m_connection.addListener([this](const XEvent& event) { return onEvent(event); });
    buildTable();
    selectRawEvents();
}

void XKeyboard::selectRawEvents() {
    Display* display = m_connection.display();
    int opcode = 0, firstEvent = 0, firstError = 0;
    if (!XQueryExtension(display, "XInputExtension", &opcode, &firstEvent, &firstError))
        return;
    int major = 2, minor = 0;
    m_connection.countRoundTrip();
    if (XIQueryVersion(display, &major, &minor) != Success)
        return;
    m_connection.countRoundTrip();
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display, m_connection.root(), &mask, 1);
    // What is down already; the selection is in place first, so no change falls between the two.
    XQueryKeymap(display, m_state.data());
    m_connection.countRoundTrip();
    std::bitset<256>& before = m_deviceKeys[0];
    for (int code = 0; code < 256; ++code)
        before[static_cast<std::size_t>(code)] = (m_state[static_cast<std::size_t>(code / 8)] >> (code % 8)) & 1;
    m_xinputOpcode = opcode;
}

void XKeyboard::onRawEvent(int sourceId, int keycode, bool press) {
    if (keycode <= 0 || keycode > 255)
        return;
    const auto code = static_cast<std::size_t>(keycode);
    // Our own events come back in the order they were sent.
    if (m_ownPending[code] > 0) {
        --m_ownPending[code];
        m_xtestDevice = sourceId;
    } else if (press) {
        m_pressed[code] = true;
    }
    m_deviceKeys[sourceId][code] = press;
    if (!press)
        m_deviceKeys[0][code] = false;
}

bool XKeyboard::isDown(KeyCode code) const {
    if (code == 0)
        return false;
    if (m_xinputOpcode < 0)
        return (m_state[code / 8] >> (code % 8)) & 1;
    // While one of our own events is on its way, our device's state is the one we sent.
    const bool ownInFlight = m_ownPending[code] > 0;
    if (ownInFlight && m_ownDown[code])
        return true;
    for (const auto& [device, keys] : m_deviceKeys) {
        if (ownInFlight && device == m_xtestDevice)
            continue;
        if (keys[code])
            return true;
    }
    return false;
}

// True for a key going down or up: the one kind of event here that a tick acts on.
bool XKeyboard::onEvent(const XEvent& event) {
    if (event.type == GenericEvent && event.xcookie.extension == m_xinputOpcode && m_xinputOpcode >= 0 &&
        (event.xcookie.evtype == XI_RawKeyPress || event.xcookie.evtype == XI_RawKeyRelease)) {
        XGenericEventCookie cookie = event.xcookie;
        if (XGetEventData(m_connection.display(), &cookie)) {
            const auto* raw = static_cast<const XIRawEvent*>(cookie.data);
            // Every key change comes twice, from the key's own device and again from the master
            // keyboard it is attached to; only the first is counted.
            if (raw->deviceid == raw->sourceid)
                onRawEvent(raw->sourceid, raw->detail, cookie.evtype == XI_RawKeyPress);
            XFreeEventData(m_connection.display(), &cookie);
        }
        return true;
    }
    if (event.type == MappingNotify && event.xmapping.request != MappingPointer) {
        XMappingEvent mapping = event.xmapping;
        XRefreshKeyboardMapping(&mapping);
        m_mappingChanged = true;
    } else if (m_xkbEventBase >= 0 && event.type == m_xkbEventBase) {
        XkbEvent xkb;
        std::memcpy(&xkb, &event, sizeof event);
        if (xkb.any.xkb_type == XkbMapNotify) {
            XkbRefreshKeyboardMapping(&xkb.map);
            m_mappingChanged = true;
        } else if (xkb.any.xkb_type == XkbNewKeyboardNotify) {
            m_mappingChanged = true;
        }
    }
    return false;
}

void XKeyboard::buildTable() {
    Display* display = m_connection.display();
    for (int vk = 0; vk < 256; ++vk) {
        const VirtualKeySyms syms = virtualKeySyms(vk);
        Keys& keys = m_table[static_cast<std::size_t>(vk)];
        keys.output = syms.output != NoSymbol ? XKeysymToKeycode(display, syms.output) : 0;
        keys.other = syms.other != NoSymbol ? XKeysymToKeycode(display, syms.other) : 0;
    }
    m_mappingChanged = false;
}

KeyCode XKeyboard::outputKeycode(int vk) const {
    return vk >= 0 && vk < 256 ? m_table[static_cast<std::size_t>(vk)].output : 0;
}

void XKeyboard::noteSent(KeyCode code, bool down) {
    m_stateValid = false;
    if (m_xinputOpcode >= 0 && m_ownPending[code] < 255) {
        ++m_ownPending[code];
        m_ownDown[code] = down;
        m_lastSent = std::chrono::steady_clock::now();
    }
}

KeyCode XKeyboard::keycodeToSend(int vk) {
    m_connection.processEvents();
    if (m_mappingChanged)
        buildTable();
    return outputKeycode(vk);
}

void XKeyboard::refreshStateIfStale() {
    const auto now = std::chrono::steady_clock::now();
    if (m_stateValid && now - m_stateTime < m_stateLifetime)
        return;
    m_connection.processEvents();
    if (m_mappingChanged)
        buildTable();
    if (m_xinputOpcode < 0) {
        XQueryKeymap(m_connection.display(), m_state.data());
        m_connection.countRoundTrip();
    } else if (now - m_lastSent > std::chrono::milliseconds(500)) {
        // An event the server dropped (a key-up of a key already up) never comes back.
        m_ownPending.fill(0);
    }
    m_stateValid = true;
    m_stateTime = now;
}

int16_t XKeyboard::asyncKeyState(int vk) {
    if (vk <= 0 || vk > 255)
        return 0;
    const Keys& keys = m_table[static_cast<std::size_t>(vk)];
    // A code without a key is never down, and costs no round trip.
    if (keys.output == 0 && keys.other == 0)
        return 0;
    refreshStateIfStale();
    const Keys& current = m_table[static_cast<std::size_t>(vk)];
    return isDown(current.output) || isDown(current.other) ? static_cast<int16_t>(0x8000) : int16_t{0};
}

bool XKeyboard::pressedSinceLastQuery(int vk) {
    const bool down = asyncKeyState(vk) != 0; // takes the events that have arrived
    if (vk <= 0 || vk > 255)
        return down;
    const Keys& keys = m_table[static_cast<std::size_t>(vk)];
    bool pressed = false;
    for (KeyCode code : {keys.output, keys.other}) {
        if (code != 0 && m_pressed[code]) {
            pressed = true;
            m_pressed[code] = false;
        }
    }
    return down || pressed;
}

} // namespace vornik
