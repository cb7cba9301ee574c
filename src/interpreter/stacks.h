#pragma once
// The fixed-size control stacks of a run: loops, procedure calls and GOSUB returns.

#include <array>
#include <bit>
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
    // The active entries and the free ones, one bit each (entry 0 in the lowest bit), kept by
    // SetActive and SetKind: the lowest of either is found without reading the entries.
    uint64_t activeSet = 0;
    uint64_t freeSet = kAllEntries;
    void SetActive(int i, bool on) {
        entries[i].active = on;
        activeSet = on ? activeSet | Bit(i) : activeSet & ~Bit(i);
    }
    void SetKind(int i, LoopKind kind) {
        entries[i].kind = kind;
        freeSet = kind == LoopKind::Free ? freeSet | Bit(i) : freeSet & ~Bit(i);
    }
    // The lowest active entry, the lowest free one; -1 for none.
    int FirstActive() const { return activeSet ? std::countr_zero(activeSet) : -1; }
    int FirstFree() const { return freeSet ? std::countr_zero(freeSet) : -1; }
    void Reset() {
        activeSet = 0;
        freeSet = kAllEntries;
        for (int i = 0; i < kEntries; ++i) {
            LoopEntry& e = entries[i];
            e.index = i;
            e.kind = LoopKind::Free;
            e.active = false;
            e.parent = -1;
            e.variableSlot = e.endValue = e.step = e.startLine = e.endLine = 0;
        }
    }

private:
    static_assert(kEntries <= 64);
    static constexpr uint64_t kAllEntries = (uint64_t{1} << kEntries) - 1;
    static constexpr uint64_t Bit(int i) { return uint64_t{1} << i; }
};

struct ProcedureFrame {
    std::string name;
    bool inUse = false;
    int32_t returnLine = 0;
};

// The frames in use are always the lowest ones: a call takes the lowest free frame and a return
// frees the highest frame in use. `depth` counts them.
struct ProcedureStack {
    static constexpr int kFrames = 51;
    std::array<ProcedureFrame, kFrames> frames{};
    int depth = 0;
    void Reset() {
        frames.fill(ProcedureFrame{});
        depth = 0;
    }
    // The name of the procedure currently executing (highest frame in use), or empty.
    const std::string& Current() const {
        static const std::string none;
        // The frame below `depth` is the highest in use unless the frames were set some other
        // way (then they are searched).
        if (depth > 0 && frames[depth - 1].inUse && (depth == kFrames || !frames[depth].inUse)) {
            return frames[depth - 1].name;
        }
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

// As with procedures, the frames in use are the lowest `depth` ones.
struct GosubStack {
    static constexpr int kFrames = 51;
    std::array<GosubFrame, kFrames> frames{};
    int depth = 0;
    void Reset() {
        frames.fill(GosubFrame{});
        depth = 0;
    }
};

}  // namespace tw
