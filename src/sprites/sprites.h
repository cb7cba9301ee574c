#pragma once
// Sprites and the paths they move along.
//
// Sprites are bitmaps from the project's sprite files that float above every screen: the
// composition of the display draws them after the screens (SpriteTables is the display's
// overlay), so moving one needs no redrawing of what lies under it. A sprite attached to a path
// moves by itself, one point per 20 ms tick, forwards or backwards, and loops, bounces or stops
// at the ends. The path table is loaded from the project's path files at the start of a run.

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "display/screens.h"

namespace tw {

inline constexpr int kSpriteCount = 51;  // sprites 0 to 50
inline constexpr int kSpriteImageSlots = 51;
inline constexpr int kPathCount = 11;
inline constexpr int kMaxPathPoints = 1000;
// The pixels all sprite images of one run may take together.
inline constexpr int64_t kSpritePixelBudget = int64_t{128} << 20;

// A file of the project as a run sees it: its name, its bytes and, for a path, its "ID".
struct RunFile {
    std::string name;
    bool isPath = false;
    std::span<const uint8_t> data;
    std::string id;
};
// The project's files in slot order. A run without a project has none.
using RunFiles = std::vector<RunFile>;

enum class PathEnd : uint8_t { Loop = 0, Bounce = 1, Stop = 2 };

struct SpriteRecord {
    bool active = false;
    int32_t x = 0, y = 0;
    int32_t height = 0, width = 0;
    int32_t hotspotX = 0, hotspotY = 0;
    // Path state.
    bool hasPath = false;
    bool running = false;
    int32_t step = 1;
    bool backward = false;
    PathEnd endMode = PathEnd::Loop;
    int32_t pathPosition = 0;
    int32_t pathIndex = -1;

    int32_t imageSlot = -1;
    bool transparent = false;
    TDispSurface* surface = nullptr;  // held by the image slot
};

struct SpriteImage {
    bool used = false;
    int32_t frameCount = 0;
    int32_t currentFrame = 0;
    std::unique_ptr<TDispSurface> surface;
};

struct PathRecord {
    bool used = false;
    int32_t pathId = 0;
    int32_t pointCount = 0;
    std::vector<std::pair<int32_t, int32_t>> points;
};

// The sprite, image and path tables of a run; the interpreter owns one.
class SpriteTables : public DisplayOverlay {
public:
    std::array<SpriteRecord, kSpriteCount> sprites;
    std::array<SpriteImage, kSpriteImageSlots> images;
    std::array<PathRecord, kPathCount> paths;
    // The project's files, or null for a run without a project.
    const RunFiles* files = nullptr;
    int64_t pixelsUsed = 0;

    // The active sprite n, or null (numbers outside 0 to 50 are no sprites).
    SpriteRecord* Active(int32_t n) {
        return n >= 0 && n < kSpriteCount && sprites[n].active ? &sprites[n] : nullptr;
    }

    // Draws the active sprites, 0 to 50, over the composed screens.
    void DrawOver(const Screens& s, TDispSurface& back) override;
};

// A position plus a hotspot, wrapping as 32-bit arithmetic does.
inline int32_t AddHotspot(int32_t position, int32_t hotspot) {
    return static_cast<int32_t>(static_cast<uint32_t>(position) + static_cast<uint32_t>(hotspot));
}

// Every sprite inactive, every image slot free (their surfaces are freed).
void ResetSprites(SpriteTables& sprites);
void ResetPaths(SpriteTables& sprites);

// Builds the path table from the project's path files. False, with a message for the user, when
// a path file cannot be used: more paths than the table holds, an "ID" that is not a whole
// number, a line where a number belongs that is not one, more points than a path may hold.
bool LoadPaths(SpriteTables& sprites, std::string& failure);
// Reads a path file's points: lines 1 and 2 are not read, then an x line and a y line per point;
// a last unpaired line is ignored. False with the reason on a bad line or too many points.
bool ReadPathPoints(std::span<const uint8_t> data, std::vector<std::pair<int32_t, int32_t>>& out,
                    std::string& why);

// Moves every running path-driven sprite one step.
void AdvanceSpritePaths(SpriteTables& sprites);

// The first project file whose name equals `upperName` in upper case; -1 when none does.
int FindRunFile(const SpriteTables& sprites, std::string_view upperName);

// Loads a sprite file's bitmap into the lowest free image slot, its colours mapped to the
// display's palette: the slot, -1 when every slot is used, or -2 with the reason in `why` when
// the file is refused.
int LoadSpriteImage(SpriteTables& sprites, TDispScreen& screen, std::span<const uint8_t> data,
                    std::string& why);

}  // namespace tw
