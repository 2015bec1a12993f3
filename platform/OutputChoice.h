#pragma once

#include "Output.h"

#include <string>
#include <utility>
#include <vector>

namespace vornik {

// The output a backend sends through, chosen at run time among those it has for its system, without
// touching its window system or joysticks. Forwards every call to the chosen one. A key is released
// through the output chosen when the key-up goes, so whoever switches lets go of everything first
// (Engine::releaseHeldKeys). Main thread only.
class OutputChoice : public Output {
public:
    // Offers `output` under `name`; the first one offered is chosen.
    void offer(std::string name, Output& output) { m_outputs.emplace_back(std::move(name), &output); }
    std::vector<std::string> names() const {
        std::vector<std::string> names;
        for (const auto& [name, output] : m_outputs)
            names.push_back(name);
        return names;
    }
    // False, and the choice stays, when no output has that name.
    bool choose(const std::string& name) {
        for (std::size_t i = 0; i < m_outputs.size(); ++i) {
            if (m_outputs[i].first == name) {
                m_chosen = i;
                return true;
            }
        }
        return false;
    }
    const std::string& chosenName() const { return m_outputs.at(m_chosen).first; }

    std::optional<uint32_t> keyDown(uint8_t vk) override { return chosen().keyDown(vk); }
    void keyUp(const SentKey& key) override { chosen().keyUp(key); }
    std::string unavailableReason() const override { return chosen().unavailableReason(); }
    bool canPoint() const override { return chosen().canPoint(); }
    bool pointerButton(PointerButton button, bool down) override { return chosen().pointerButton(button, down); }
    void pointerMotion(int dx, int dy) override { chosen().pointerMotion(dx, dy); }
    void wheel(int steps, bool horizontal) override { chosen().wheel(steps, horizontal); }
    void flush() override { chosen().flush(); }
    void setPressGuard(std::function<bool()> guard) override {
        for (auto& offered : m_outputs)
            offered.second->setPressGuard(guard);
    }

private:
    Output& chosen() const { return *m_outputs.at(m_chosen).second; }

    std::vector<std::pair<std::string, Output*>> m_outputs;
    std::size_t m_chosen = 0;
};

} // namespace vornik
