#pragma once
// The fixed-size control stacks of a run: loops, procedure calls and GOSUB returns.

#include <array>
#include <cstdint>
#include <string>

namespace tw {

enum class LoopKind : uint8_t { RepeatOrWhile = 0, Do = 1, For = 2, Free = 3 };

struct LoopEntry {
    int32_t index = 0;
    LoopKind kind = LoopKind::Free;
    std::array<std::string, 51> condition{};  // WHILE: the condition's tokens in slots 1..50
    int32_t conditionCount = 0;
    int32_t variableSlot = 0;
    int32_t endValue = 0;
    int32_t step = 0;
    int32_t startLine = 0;
    int32_t endLine = 0;
    bool active = false;
    int32_t parent = -1;
};

struct LoopStack {
    static constexpr int kEntries = 51;
    std::array<LoopEntry, kEntries> entries{};
    void Reset() {
        for (int i = 0; i < kEntries; ++i) {
            LoopEntry& e = entries[i];
            e.index = i;
            e.kind = LoopKind::Free;
            e.active = false;
            e.parent = -1;
            e.variableSlot = e.endValue = e.step = e.startLine = e.endLine = 0;
        }
    }
};

struct ProcedureFrame {
    std::string name;
    bool inUse = false;
    int32_t returnLine = 0;
};

struct ProcedureStack {
    static constexpr int kFrames = 51;
    std::array<ProcedureFrame, kFrames> frames{};
    void Reset() { frames.fill(ProcedureFrame{}); }
    // The name of the procedure currently executing (highest frame in use), or empty.
    const std::string& Current() const {
        static const std::string none;
        for (int i = kFrames - 1; i >= 0; --i) {
            if (frames[i].inUse) return frames[i].name;
        }
        return none;
    }
};

struct GosubFrame {
    bool inUse = false;
    int32_t returnLine = 0;
};

struct GosubStack {
    static constexpr int kFrames = 51;
    std::array<GosubFrame, kFrames> frames{};
    void Reset() { frames.fill(GosubFrame{}); }
};

}  // namespace tw
