// Windows sends a program none of the signals SignalExit honours on Linux: nothing is installed and
// nothing is ever called.
#include "SignalExit.h"

namespace vornik::ui {

SignalExit::SignalExit(std::function<void(int)> onSignal, QObject* parent)
    : QObject(parent), m_onSignal(std::move(onSignal)) {}

SignalExit::~SignalExit() = default;

void SignalExit::setInterrupt(Interrupt, void*) {}

void SignalExit::readSignal() {}

} // namespace vornik::ui
