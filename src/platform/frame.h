#pragma once
// A picture of the display: palette indexes and the 256-entry palette they index.

#include <array>
#include <cstdint>
#include <vector>

namespace tw {

struct PaletteEntry {
    uint8_t red = 0, green = 0, blue = 0, flags = 0;
    bool operator==(const PaletteEntry&) const = default;
};
using Palette = std::array<PaletteEntry, 256>;

struct Frame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> indices;  // width * height, row by row
    Palette palette{};
    bool Valid() const { return width > 0 && height > 0; }
};

}  // namespace tw
