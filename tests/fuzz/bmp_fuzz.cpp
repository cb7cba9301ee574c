// The bitmap reader on arbitrary bytes. Besides not crashing: the probe and the reader agree,
// a refusal gives a reason and leaves the image empty, and a decoded image has exactly the size
// the probe gave, every pixel of it an index that `nearest` handed out.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "display/bmp_reader.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// Every index it gives has the top bit set, so that a pixel the reader never coloured shows.
uint8_t Nearest(uint32_t colour) {
    return static_cast<uint8_t>(0x80 | ((colour ^ colour >> 8 ^ colour >> 16) & 0x7F));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    int32_t width = -1, height = -1;
    std::string probeWhy, why;
    const bool probed = tw::ProbeBmp(input, width, height, probeWhy);
    tw::BmpImage image;
    const bool read = tw::ReadBmp(input, Nearest, image, why);
    Require(probed == read);
    if (!read) {
        Require(!why.empty() && why == probeWhy);
        Require(image.indices.empty() && image.width == 0 && image.height == 0);
        return 0;
    }
    Require(image.width == width && image.height == height);
    Require(width > 0 && height > 0 && width <= tw::kMaxBmpSide && height <= tw::kMaxBmpSide);
    Require(image.indices.size() == size_t(width) * size_t(height));
    for (uint8_t index : image.indices) Require(index & 0x80);
    return 0;
}
