#include "XInputSlots.h"

#include <algorithm>

namespace vornik {

int XInputSlots::bind(uint32_t id, uint32_t product, const Users& users) {
    if (id >= kJoysticks)
        return -1;
    if (m_user[id] >= 0)
        return m_user[id];
    const auto free = [&](int user) {
        return users[static_cast<std::size_t>(user)].connected &&
               std::find(m_user.begin(), m_user.end(), user) == m_user.end();
    };
    int chosen = -1;
    for (int user = 0; user < kUsers && chosen < 0; ++user) {
        if (free(user) && product != 0 && users[static_cast<std::size_t>(user)].product == product)
            chosen = user;
    }
    for (int user = 0; user < kUsers && chosen < 0; ++user) {
        if (free(user))
            chosen = user;
    }
    m_user[id] = chosen;
    return chosen;
}

void XInputSlots::release(uint32_t id) {
    if (id < kJoysticks) {
        m_user[id] = -1;
        m_settled[id] = false;
    }
}

bool XInputSlots::confirmPress(uint32_t id, uint32_t winmmButtons, const Users& users) {
    const uint32_t pressed = winmmButtons & kFaceButtons;
    const int own = user(id);
    if (pressed == 0 || own < 0 || m_settled[id])
        return false;
    int match = -1;
    for (int slot = 0; slot < kUsers; ++slot) {
        const User& u = users[static_cast<std::size_t>(slot)];
        if (!u.connected || (u.faceButtons & kFaceButtons) != pressed)
            continue;
        if (match >= 0)
            return false; // two pads pressed alike: no telling which
        match = slot;
    }
    if (match < 0)
        return false;
    const auto holder = std::find(m_user.begin(), m_user.end(), match);
    if (match != own && holder != m_user.end()) {
        const auto other = static_cast<std::size_t>(holder - m_user.begin());
        if (m_settled[other])
            return false;
        *holder = own;
    }
    m_user[id] = match;
    m_settled[id] = true;
    return match != own;
}

} // namespace vornik
