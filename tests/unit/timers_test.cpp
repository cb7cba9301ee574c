#include <gtest/gtest.h>

#include "services/timers.h"
#include "test_support.h"

namespace tw {
namespace {

int g_calls = 0;
void Count(Interpreter&, uint8_t&) {
    ++g_calls;
}
void RemoveSelf(Interpreter& in, uint8_t&) {
    ++g_calls;
    in.timers.RemoveTimer("SELF");
}

TimerSlot Timer(const char* name, int32_t interval, int32_t allowed, TimerKind kind,
                TimerCallback callback = Count) {
    TimerSlot t;
    t.active = true;
    t.name = name;
    t.interval = interval;
    t.allowed = allowed;
    t.kind = kind;
    t.callback = callback;
    return t;
}

class Timers : public testing::Test {
protected:
    Timers() : in(host) {
        host.advancePerPass = false;
        in.timers.Reset();
        g_calls = 0;
    }
    test::RecordingHost host;
    Interpreter in;
};

TEST_F(Timers, DueStrictlyAfterTheInterval) {
    in.timers.AddTimer(Timer("T", 20, 1500000, TimerKind::Plain));
    host.tick = 1000;
    in.timers.StartTimers(1000);
    host.tick = 1020;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 0);
    host.tick = 1021;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(in.timers.Slot(0).lastService, 1021);
}

// The same rule when another timer's turn makes the service look at every slot.
TEST_F(Timers, ExactlyAtItsIntervalATimerWaitsForTheNextPass) {
    in.timers.AddTimer(Timer("SHORT", 10, 1500000, TimerKind::Plain));
    in.timers.AddTimer(Timer("LONG", 20, 1500000, TimerKind::Plain, nullptr));
    in.timers.StartTimers(1000);
    host.tick = 1020;  // SHORT is overdue, LONG exactly at its interval
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(in.timers.Slot(0).lastService, 1020);
    EXPECT_EQ(in.timers.Slot(1).lastService, 1000);
    host.tick = 1021;
    in.timers.ServiceTimers(host, in);
    EXPECT_EQ(in.timers.Slot(1).lastService, 1021);
}

TEST_F(Timers, WatchdogExpiresWhenItsWaitReachesTheAllowance) {
    in.timers.AddTimer(Timer("WATCHDOG", 100, 500, TimerKind::Watchdog, nullptr));
    in.timers.StartTimers(0);
    host.tick = 499;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");  // due, serviced in time
    host.tick = 499 + 500;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), TimerExpiredMessage("WATCHDOG", 500, 600));
}

TEST_F(Timers, UnstartedTimerIsDueAtOnce) {
    in.timers.AddTimer(Timer("T", 20, 1500000, TimerKind::Plain));
    host.tick = 0;
    in.timers.ServiceTimers(host, in);
    EXPECT_EQ(g_calls, 1);
}

TEST_F(Timers, LatePlainTimerRunsOnceAndNeverExpires) {
    in.timers.AddTimer(Timer("T", 20, 1000, TimerKind::Plain));
    in.timers.StartTimers(0);
    host.tick = 5000;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 1);
}

TEST_F(Timers, WatchdogExpiresWithItsMessage) {
    in.timers.AddTimer(Timer("WATCHDOG", 100, 1500000, TimerKind::Watchdog, nullptr));
    in.timers.StartTimers(0);
    host.tick = 1499999;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    host.tick = 1499999 + 1500000;
    EXPECT_EQ(in.timers.ServiceTimers(host, in),
              "Timer Expired..\rThe internal timer <WATCHDOG> expired, after waiting 1500000ms of "
              "an allowed 1500100ms to be serviced. This suggests your program is calling a "
              "instruction, which due to its parameters, its taking too long to complete!");
}

TEST_F(Timers, TableHoldsElevenAndRemovesByName) {
    for (int i = 0; i < TimerTable::kSlots; ++i) {
        EXPECT_EQ(in.timers.AddTimer(Timer("T", 20, 1, TimerKind::Plain)), i);
    }
    EXPECT_EQ(in.timers.AddTimer(Timer("U", 20, 1, TimerKind::Plain)), -1);
    EXPECT_TRUE(in.timers.RemoveTimer("T"));
    EXPECT_FALSE(in.timers.Slot(0).active);
    EXPECT_TRUE(in.timers.Slot(1).active);
    EXPECT_FALSE(in.timers.RemoveTimer("t"));  // exact names
    EXPECT_EQ(in.timers.AddTimer(Timer("U", 20, 1, TimerKind::Plain)), 0);
}

TEST_F(Timers, CallbackMayRemoveItsOwnSlot) {
    in.timers.AddTimer(Timer("SELF", 10, 1, TimerKind::Plain, RemoveSelf));
    in.timers.AddTimer(Timer("OTHER", 10, 1, TimerKind::Plain));
    host.tick = 50;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 2);
    EXPECT_FALSE(in.timers.Slot(0).active);
    EXPECT_EQ(in.timers.ActiveCount(), 1);
}

TEST_F(Timers, QuietPassesStillSeeChangesToTheTable) {
    in.timers.AddTimer(Timer("SLOW", 1000, 1500000, TimerKind::Plain));
    in.timers.StartTimers(0);
    host.tick = 10;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 0);

    // A shorter timer added after a quiet pass is due on its own interval, not the slow one's.
    in.timers.AddTimer(Timer("FAST", 5, 1500000, TimerKind::Plain));
    host.tick = 11;
    in.timers.ServiceTimers(host, in);  // never serviced: due at once
    EXPECT_EQ(g_calls, 1);
    host.tick = 17;
    in.timers.ServiceTimers(host, in);
    EXPECT_EQ(g_calls, 2);

    // Shortening an interval through the table counts from the next pass.
    in.timers.RemoveTimer("FAST");
    in.timers.Slot(0).interval = 20;
    host.tick = 21;
    in.timers.ServiceTimers(host, in);
    EXPECT_EQ(g_calls, 3);
    EXPECT_EQ(in.timers.Slot(0).lastService, 21);

    // Removing the only due timer leaves nothing to run.
    in.timers.RemoveTimer("SLOW");
    host.tick = 100000;
    EXPECT_EQ(in.timers.ServiceTimers(host, in), "");
    EXPECT_EQ(g_calls, 3);
}

}  // namespace
}  // namespace tw
