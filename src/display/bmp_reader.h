#pragma once
// Windows and OS/2 bitmap files, read into palette indexes.
//
// Sprite files are shared between users, so a bitmap is untrusted input. Every size in the
// headers is checked against the file before anything is allocated: the only large allocation
// is the image itself, width x height bytes, and only when the file holds the pixels it claims
// (compressed data may expand, but by no more than 64 pixels a byte past a small allowance). Every
// read is checked against the buffer.
//
// Read: core (OS/2 1.x) headers, OS/2 2.x headers of 16 to 64 bytes, and the Windows headers of
// 40, 52, 56, 108 and 124 bytes; 1, 2, 4 and 8 bits with a palette, RLE8 and RLE4, 16 and 32
// bits with the default layouts or colour masks, and 24 bits. Refused: embedded JPEG or PNG,
// OS/2 Huffman and RLE24 compression, 64 bits per pixel, a plane count other than 1, a side of 0 or
// beyond kMaxBmpSide, and top-down RLE images.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace tw {

inline constexpr int32_t kMaxBmpSide = 16384;

// An RGB colour value: red + green * 256 + blue * 65536 (the same as display's Colour).
struct BmpImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> indices;  // width * height palette indexes, top row first
};

// Checks a BMP file's headers without decoding: fills width and height (height positive even for
// a top-down file). False, with a short reason in `why` (lower case, no trailing full stop, e.g.
// "the width is 0", "the pixel data runs past the end of the file"), when the file is refused.
bool ProbeBmp(std::span<const uint8_t> bytes, int32_t& width, int32_t& height, std::string& why);

// Decodes a BMP file into palette indexes: each pixel's colour goes through `nearest`, which gives
// the palette index for a colour (uint32_t red + green*256 + blue*65536). The header is checked
// (ProbeBmp) before anything is allocated. False with a reason on a refused or damaged file; the
// image is then left empty.
//
// A palette index beyond the file's palette shows black. Pixels an RLE stream never reaches take
// the colour of palette entry 0, and a stream cut short keeps the rows it reached; runs that
// leave the image are clipped.
bool ReadBmp(std::span<const uint8_t> bytes, const std::function<uint8_t(uint32_t)>& nearest,
             BmpImage& image, std::string& why);

}  // namespace tw
