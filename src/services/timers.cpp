#include "services/timers.h"

#include <algorithm>

#include "platform/host.h"

namespace tw {

TimerSlot ActiveTimer(std::string_view name, uint8_t timerClass, int32_t interval,
                      int64_t lastService, int32_t allowed, TimerKind kind,
                      TimerCallback callback) {
    TimerSlot t;
    t.active = true;
    t.name = name;
    t.timerClass = timerClass;
    t.interval = interval;
    t.lastService = lastService;
    t.allowed = allowed;
    t.kind = kind;
    t.callback = callback;
    return t;
}

void TimerTable::Reset() {
    for (auto& slot : slots_) slot = TimerSlot{};
    Recompute();
}

void TimerTable::Recompute() {
    int64_t earliest = INT64_MAX;
    for (const auto& slot : slots_) {
        if (!slot.active) continue;
        if (slot.lastService < 0) {
            earliest = kUnknown;  // never serviced: due at once
            break;
        }
        earliest = std::min(earliest, slot.lastService + int64_t{slot.interval});
    }
    earliestDue_ = earliest;
}

int TimerTable::AddTimer(const TimerSlot& timer) {
    for (int i = 0; i < kSlots; ++i) {
        if (!slots_[i].active) {
            slots_[i] = timer;
            Recompute();
            return i;
        }
    }
    return -1;
}

bool TimerTable::RemoveTimer(std::string_view name) {
    for (auto& slot : slots_) {
        if (slot.name == name) {
            slot.active = false;
            slot.name.clear();
            Recompute();
            return true;
        }
    }
    return false;
}

void TimerTable::StartTimers(uint32_t now) {
    for (auto& slot : slots_) {
        if (slot.active) slot.lastService = now;
    }
    Recompute();
}

int TimerTable::ActiveCount() const {
    int n = 0;
    for (const auto& slot : slots_) n += slot.active ? 1 : 0;
    return n;
}

std::string TimerExpiredMessage(std::string_view name, int64_t waited,
                                int64_t allowedPlusInterval) {
    std::string text = "Timer Expired..\rThe internal timer <";
    text += name;
    text += "> expired, after waiting " + std::to_string(waited) + "ms of an allowed " +
            std::to_string(allowedPlusInterval) +
            "ms to be serviced. This suggests your program is calling a instruction, which due to "
            "its parameters, its taking too long to complete!";
    return text;
}

std::string TimerTable::ServiceTimers(Host& clock, Interpreter& in) {
    int64_t now = clock.TickCount();
    if (earliestDue_ != kUnknown && now <= earliestDue_) return std::string();
    for (int i = 0; i < kSlots; ++i) {
        if (!slots_[i].active) continue;
        const int64_t last = slots_[i].lastService;
        // A timer that was never serviced is due at once.
        if (last >= 0 && !(last + slots_[i].interval < now)) continue;
        uint8_t status = 0;
        if (slots_[i].callback) slots_[i].callback(in, status);
        // The callback may have removed or replaced this very slot.
        TimerSlot& slot = slots_[i];
        if (slot.kind == TimerKind::Watchdog && now - last >= slot.allowed) {
            Recompute();
            return TimerExpiredMessage(slot.name, now - last,
                                       int64_t{slot.allowed} + int64_t{slot.interval});
        }
        slot.lastService = now;
        // The clock is read again only when an action has run: reading it is not free.
        if (slot.callback) now = clock.TickCount();
    }
    Recompute();
    return std::string();
}

}  // namespace tw
