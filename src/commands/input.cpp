// The keyboard's functions and WAIT: INKEY takes characters from the key buffer that the
// keyboard service fills; KEYDOWN, KEYSHIFT, KEYCTRL and KEYALT read the keys that are down now.

#include "commands/registry.h"
#include "frontend/names.h"
#include "frontend/number_text.h"
#include "interpreter/interpreter.h"
#include "platform/key_script.h"

namespace tw {

namespace {

constexpr int32_t kTrueValue = 0;
constexpr int32_t kFalseValue = -1;
constexpr int32_t kWaitTimerAllowance = 16777215;

bool ServiceRunning(Interpreter& in, FunctionResult& result) {
    if (in.keys.running) return true;
    result.Fail(ErrorId::KeyboardNotRunning, -1);
    return false;
}

void InkeyFunction(Interpreter& in, const Args&, FunctionResult& result) {
    if (!ServiceRunning(in, result)) return;
    char c;
    result.ok = true;
    result.value = Value::Str(TakeKey(in.keys, in.host, c) ? std::string(1, c) : std::string());
}

// KEYDOWN(scan code): TRUE (0) while the key is down. A number outside 0 to 255 names no key,
// which is never down.
void KeydownFunction(Interpreter& in, const Args& args, FunctionResult& result) {
    if (!ServiceRunning(in, result)) return;
    int32_t code;
    if (!ParseWholeNumber(args[0], code)) {
        result.Fail(ErrorId::SingleInteger, 0);
        return;
    }
    uint8_t state[256];
    ReadKeyboardState(in.host, state);
    const bool down = code >= 0 && code <= 255 && (state[code] & 0x80);
    result.ok = true;
    result.value = Value::Int(down ? kTrueValue : kFalseValue);
}

// 0 neither key down, 1 the left one only, 2 the right one only, 3 both.
void PairFunction(Interpreter& in, FunctionResult& result, uint8_t left, uint8_t right) {
    if (!ServiceRunning(in, result)) return;
    uint8_t state[256];
    ReadKeyboardState(in.host, state);
    result.ok = true;
    result.value = Value::Int(((state[left] & 0x80) ? 1 : 0) + ((state[right] & 0x80) ? 2 : 0));
}

void KeyshiftFunction(Interpreter& in, const Args&, FunctionResult& result) {
    PairFunction(in, result, scan::kLeftShift, scan::kRightShift);
}

void KeyctrlFunction(Interpreter& in, const Args&, FunctionResult& result) {
    PairFunction(in, result, scan::kLeftCtrl, scan::kRightCtrl);
}

void KeyaltFunction(Interpreter& in, const Args&, FunctionResult& result) {
    PairFunction(in, result, scan::kLeftAlt, scan::kRightAlt);
}

// ---------------------------------------------------------------------------------------------
// WAIT

// WAIT KEY ends at the first character produced after it began. (The key buffer keeps the
// characters INKEY has taken, so looking at the buffer's next position would end the wait at
// once after any INKEY.)
void WaitKeyAction(Interpreter& in, uint8_t&) {
    if (in.keys.produced != in.run.waitKeyMark) {
        in.timers.RemoveTimer("WAITKEY");
        in.run.suspended = false;
    }
}

void WaitTimeAction(Interpreter& in, uint8_t&) {
    in.timers.RemoveTimer("WAITTIME");
    in.run.suspended = false;
}

TimerSlot WaitTimer(const char* name, int32_t interval, int64_t lastService,
                    TimerCallback callback) {
    return ActiveTimer(name, 2, interval, lastService, kWaitTimerAllowance, TimerKind::Plain,
                       callback);
}

// WAIT KEY or WAIT milliseconds: statements stop until a key arrives or the time has passed;
// the run loop goes on composing the display and servicing the timers meanwhile.
void WaitCommand(Interpreter& in, const Args& args, CommandResult& result) {
    result.ok = true;
    TimerSlot timer;
    if (ToUpper(args[0]) == "KEY") {
        in.run.waitKeyMark = in.keys.produced;
        timer = WaitTimer("WAITKEY", 100, -1, WaitKeyAction);
    } else {
        int32_t ms;
        if (!ParseWholeNumber(args[0], ms)) {
            result.Fail(ErrorId::SingleInteger, 0);
            return;
        }
        timer = WaitTimer("WAITTIME", ms, in.host.TickCount(), WaitTimeAction);
    }
    // Without a timer to end it the wait would never end: then there is no wait.
    if (in.timers.AddTimer(timer) >= 0) in.run.suspended = true;
}

}  // namespace

void RegisterInputCommands(CommandTable& commands, FunctionTable& functions) {
    functions.Bind(FunctionId::INKEY, InkeyFunction);
    functions.Bind(FunctionId::KEYDOWN, KeydownFunction);
    functions.Bind(FunctionId::KEYSHIFT, KeyshiftFunction);
    functions.Bind(FunctionId::KEYCTRL, KeyctrlFunction);
    functions.Bind(FunctionId::KEYALT, KeyaltFunction);
    commands.Bind(CommandId::WAIT, WaitCommand);
}

}  // namespace tw
