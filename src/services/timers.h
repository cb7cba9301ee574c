#pragma once
// The timer service: 11 named software timers, serviced by the run loop between statements.
// A watchdog timer also measures how long the loop stayed away and stops an overlong run.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

class Host;
// Whose state the timer actions change (the service only passes it on).
class Interpreter;

// A timer action. The status byte is the action's to write; the service ignores it.
using TimerCallback = void (*)(Interpreter& in, uint8_t& status);

enum class TimerKind : uint8_t { Plain = 0, Watchdog = 3 };

struct TimerSlot {
    bool active = false;
    std::string name;
    uint8_t timerClass = 0;  // 0 the run's own timers, 2 keyboard and wait timers
    int32_t interval = -1;
    int64_t lastService = -1;  // tick of the last service; -1 until the timers start
    int32_t allowed = -1;
    TimerKind kind = TimerKind::Watchdog;
    TimerCallback callback = nullptr;
};

// An active timer of the class, due first after `lastService` (-1: at once).
TimerSlot ActiveTimer(std::string_view name, uint8_t timerClass, int32_t interval,
                      int64_t lastService, int32_t allowed, TimerKind kind,
                      TimerCallback callback);

class TimerTable {
public:
    static constexpr int kSlots = 11;

    // Every slot back to its cleared state.
    void Reset();
    // Copies the timer into the first inactive slot; its index, or -1 when all are in use.
    int AddTimer(const TimerSlot& timer);
    // Clears the first slot with this exact name; false when there is none.
    bool RemoveTimer(std::string_view name);
    // Every active timer's last service becomes `now`.
    void StartTimers(uint32_t now);
    // One pass over the table at the host's clock: runs the callbacks of due timers on `in`.
    // Returns the expiry message of a watchdog that waited too long, else the empty string.
    std::string ServiceTimers(Host& clock, Interpreter& in);
    // False when no timer can be due at `now` (ServiceTimers would do nothing).
    bool MayBeDue(int64_t now) const { return earliestDue_ == kUnknown || now > earliestDue_; }

    const TimerSlot& Slot(int i) const { return slots_[i]; }
    TimerSlot& Slot(int i) {
        earliestDue_ = kUnknown;  // the caller may change when the timer is due
        return slots_[i];
    }
    int ActiveCount() const;

private:
    static constexpr int64_t kUnknown = INT64_MIN;
    // The largest tick at which no timer is due yet (min of last service + interval), so that
    // a pass with nothing due costs one comparison.
    void Recompute();

    std::array<TimerSlot, kSlots> slots_{};
    int64_t earliestDue_ = kUnknown;
};

std::string TimerExpiredMessage(std::string_view name, int64_t waited, int64_t allowedPlusInterval);

}  // namespace tw
