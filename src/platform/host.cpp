#include "platform/host.h"

#include <cstring>

namespace tw {

void Host::KeepFrame(const uint8_t* pixels, int width, int height, int pitch,
                     const Palette& palette) {
    if (!FramesSeen()) return;
    last_.width = width;
    last_.height = height;
    last_.indices.resize(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        std::memcpy(&last_.indices[static_cast<size_t>(y) * width],
                    pixels + static_cast<size_t>(y) * pitch, width);
    }
    last_.palette = palette;
}

}  // namespace tw
