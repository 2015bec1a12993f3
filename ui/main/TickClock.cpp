#include "TickClock.h"

#include "Modal.h"
#include "QtTimerHooks.h"

#include <QCoreApplication>

#include <stdexcept>

namespace vornik::ui {

namespace {
constexpr int kTimerInterval = 30; // ms between the end of one tick and the next
} // namespace

TickClock::TickClock(Engine& engine, const Platform& platform, QWidget* window, bool run, uint32_t restInterval) {
    m_timer = std::make_unique<TTimerEx>(qtTimerHooks([window](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            Modal::error(window, QString::fromStdString(e.what()));
        } catch (...) {
            Modal::error(window, QCoreApplication::translate("Vornik", "按鍵引擎發生不明的錯誤。"));
        }
    }));
    m_timer->setEnabled(run);
    m_timer->setInterval(kTimerInterval);
    m_timer->setThreadPriority(tpHighest);
    m_timer->setThreadSafe(false);
    m_timer->setOnTimer([this](TTimerEx&) { fire(); });
    // Tests run the ticks themselves: theirs never rest.
    std::function<void(uint32_t)> setInterval;
    if (run)
        setInterval = [this](uint32_t ms) { m_timer->setInterval(ms); };
    m_ticks = std::make_unique<QtTickDriver>(engine, platform, std::move(setInterval), kTimerInterval, restInterval);
}

TickClock::~TickClock() {
    m_timer.reset();
    m_ticks.reset();
}

} // namespace vornik::ui
