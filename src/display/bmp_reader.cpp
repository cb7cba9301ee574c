#include "display/bmp_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <utility>

namespace tw {

namespace {

constexpr uint64_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;

// Compression codes. An OS/2 2.x header gives 3 and 4 other meanings (Huffman 1D and RLE24).
constexpr uint32_t kRgb = 0;
constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kJpeg = 4;
constexpr uint32_t kPng = 5;
constexpr uint32_t kAlphaBitFields = 6;

// RLE can describe many pixels in few bytes; an image may have this many pixels per byte of
// compressed data (plus a small allowance), so that a tiny file cannot claim a huge image.
constexpr uint64_t kRlePixelsPerByte = 64;
constexpr uint64_t kRleAllowance = 65536;

constexpr uint32_t kBlack = 0;

uint32_t Get16(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8;
}
uint32_t Get32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
    return red | green << 8 | blue << 16;
}

enum class Packing { kIndexed, kRle8, kRle4, kBgr, kMasked };

// One colour channel of a 16- or 32-bit pixel, as its mask describes it.
class Channel {
public:
    explicit Channel(uint32_t mask)
        : mask_(mask),
          shift_(mask == 0 ? 0 : std::countr_zero(mask)),
          width_(std::popcount(mask)),
          contiguous_(((mask >> shift_) & ((mask >> shift_) + 1)) == 0),
          max_(width_ == 0 ? 0 : ~uint32_t{0} >> (32 - width_)) {}

    // The channel scaled to 0..255, rounded; an empty mask reads 0.
    uint32_t Value(uint32_t pixel) const {
        if (width_ == 0) return 0;
        uint32_t v = 0;
        if (contiguous_) {
            v = (pixel & mask_) >> shift_;
        } else {
            // The mask's bits, gathered in order into one number.
            int out = 0;
            for (uint32_t m = mask_; m != 0; m &= m - 1, ++out) {
                if (pixel & m & (~m + 1)) v |= uint32_t{1} << out;
            }
        }
        if (width_ == 8) return v;
        return static_cast<uint32_t>((uint64_t{v} * 255 + max_ / 2) / max_);
    }

private:
    uint32_t mask_ = 0;
    int shift_ = 0;
    int width_ = 0;
    bool contiguous_ = true;
    uint32_t max_ = 0;
};

// Everything the decoder needs, found and checked in the headers.
struct Layout {
    int32_t width = 0;
    int32_t height = 0;
    bool topDown = false;
    uint32_t bits = 0;
    Packing packing = Packing::kIndexed;
    uint64_t paletteStart = 0;
    uint32_t paletteEntries = 0;  // entries that can be read, at most 256
    uint32_t entrySize = 4;
    uint64_t pixelStart = 0;
    uint64_t stride = 0;  // uncompressed rows only
    std::array<uint32_t, 3> masks{};
};

bool Refuse(std::string& why, std::string reason) {
    why = std::move(reason);
    return false;
}

// Checks the headers against each other and against the file's size; nothing is read outside
// `bytes` and nothing is allocated.
bool Parse(std::span<const uint8_t> bytes, Layout& layout, std::string& why) {
    const uint64_t size = bytes.size();
    if (size < kFileHeaderSize + 4) return Refuse(why, "the file is too short to be a bitmap");
    if (bytes[0] != 'B' || bytes[1] != 'M') return Refuse(why, "the file does not start with BM");
    const uint32_t offBits = Get32(&bytes[10]);
    const uint32_t headerSize = Get32(&bytes[14]);

    const bool core = headerSize == kCoreHeaderSize;
    const bool windows = headerSize == 40 || headerSize == 52 || headerSize == 56 ||
                         headerSize == 108 || headerSize == 124;
    const bool os2 = !windows && headerSize >= 16 && headerSize <= 64;
    if (!core && !windows && !os2) {
        return Refuse(why, "a header of " + std::to_string(headerSize) + " bytes is not known");
    }
    if (kFileHeaderSize + headerSize > size) {
        return Refuse(why, "the header runs past the end of the file");
    }
    // An OS/2 2.x header may stop after any field; the fields it leaves out are 0.
    const uint8_t* header = &bytes[kFileHeaderSize];
    auto field = [&](uint32_t at) { return at + 4 <= headerSize ? Get32(header + at) : 0; };
    auto half = [&](uint32_t at) { return at + 2 <= headerSize ? Get16(header + at) : 0; };

    int64_t width = 0;
    int64_t height = 0;
    uint32_t planes = 0;
    uint32_t compression = kRgb;
    uint32_t colours = 0;
    if (core) {
        width = Get16(header + 4);
        height = Get16(header + 6);
        planes = Get16(header + 8);
        layout.bits = Get16(header + 10);
        layout.entrySize = 3;
    } else {
        width = static_cast<int32_t>(field(4));
        height = static_cast<int32_t>(field(8));
        planes = half(12);
        layout.bits = half(14);
        compression = field(16);
        colours = field(32);
    }
    const uint32_t bits = layout.bits;

    // The compression is checked first: an embedded JPEG or PNG says 0 bits per pixel.
    if (os2 && compression == 3) return Refuse(why, "Huffman 1D compression is not supported");
    if (os2 && compression == 4) return Refuse(why, "RLE24 compression is not supported");
    if (compression == kJpeg) return Refuse(why, "embedded JPEG images are not supported");
    if (compression == kPng) return Refuse(why, "embedded PNG images are not supported");
    if (compression > (os2 ? kRle4 : kAlphaBitFields)) {
        return Refuse(why, "compression " + std::to_string(compression) + " is not supported");
    }
    if (bits != 1 && bits != 2 && bits != 4 && bits != 8 && bits != 16 && bits != 24 &&
        bits != 32) {
        return Refuse(why, std::to_string(bits) + " bits per pixel are not supported");
    }
    if (compression == kRle8 && bits != 8) {
        return Refuse(why, "RLE8 compression needs 8 bits per pixel, not " + std::to_string(bits));
    }
    if (compression == kRle4 && bits != 4) {
        return Refuse(why, "RLE4 compression needs 4 bits per pixel, not " + std::to_string(bits));
    }
    const bool fields = compression == kBitFields || compression == kAlphaBitFields;
    if (fields && bits != 16 && bits != 32) {
        return Refuse(why,
                      "colour masks need 16 or 32 bits per pixel, not " + std::to_string(bits));
    }
    if (planes != 1) return Refuse(why, "the plane count is " + std::to_string(planes) + ", not 1");

    if (width == 0) return Refuse(why, "the width is 0");
    if (width < 0) return Refuse(why, "the width is negative");
    if (height == 0) return Refuse(why, "the height is 0");
    layout.topDown = height < 0;
    height = height < 0 ? -height : height;  // 64-bit: INT32_MIN turns positive
    if (width > kMaxBmpSide || height > kMaxBmpSide) {
        return Refuse(why, "the image is " + std::to_string(width) + " x " +
                               std::to_string(height) + ", more than " +
                               std::to_string(kMaxBmpSide) + " on a side");
    }
    const bool rle = compression == kRle8 || compression == kRle4;
    if (rle && layout.topDown) return Refuse(why, "a top-down image cannot be RLE compressed");
    layout.width = static_cast<int32_t>(width);
    layout.height = static_cast<int32_t>(height);

    // Masks follow a 40-byte header; the longer Windows headers hold them.
    uint64_t afterHeaders = kFileHeaderSize + headerSize;
    if (fields && headerSize == 40) {
        const uint64_t maskBytes = compression == kAlphaBitFields ? 16 : 12;
        if (afterHeaders + maskBytes > size) {
            return Refuse(why, "the colour masks run past the end of the file");
        }
        for (int i = 0; i < 3; ++i) layout.masks[i] = Get32(&bytes[afterHeaders + 4 * i]);
        afterHeaders += maskBytes;
    } else if (fields) {
        for (uint32_t i = 0; i < 3; ++i) layout.masks[i] = field(40 + 4 * i);
    } else if (bits == 16) {
        layout.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bits == 32) {
        layout.masks = {0xFF0000, 0xFF00, 0xFF};
    }
    if (bits == 16) {
        for (uint32_t& mask : layout.masks) mask &= 0xFFFF;  // bits beyond the pixel mean nothing
    }

    // The palette: the count the header gives (all 2^bits when it says 0), which must fit in the
    // file. Only the entries before the pixel data are read, and at most 256 of them.
    layout.paletteStart = afterHeaders;
    uint64_t declared = colours;
    if (declared == 0 && bits <= 8) declared = uint64_t{1} << bits;
    const uint64_t paletteEnd = afterHeaders + declared * layout.entrySize;
    if (colours != 0 && paletteEnd > size) {
        return Refuse(why, "the palette of " + std::to_string(colours) +
                               " colours runs past the end of the file");
    }
    // Some writers leave the pixel offset 0: the pixels then follow the palette.
    layout.pixelStart = offBits == 0 ? paletteEnd : offBits;
    if (layout.pixelStart < afterHeaders) {
        return Refuse(
            why, "the pixel data offset " + std::to_string(offBits) + " points into the headers");
    }
    if (layout.pixelStart >= size) return Refuse(why, "the file ends before the pixel data");
    if (bits <= 8) {
        const uint64_t room = (layout.pixelStart - afterHeaders) / layout.entrySize;
        layout.paletteEntries = static_cast<uint32_t>(std::min({declared, room, uint64_t{256}}));
    }

    const uint64_t available = size - layout.pixelStart;
    const uint64_t pixels = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (rle) {
        layout.packing = compression == kRle8 ? Packing::kRle8 : Packing::kRle4;
        if (pixels > kRlePixelsPerByte * available + kRleAllowance) {
            return Refuse(why, "the " + std::to_string(available) +
                                   " bytes of RLE data are too few for an image of " +
                                   std::to_string(width) + " x " + std::to_string(height));
        }
        return true;
    }
    layout.packing = bits <= 8 ? Packing::kIndexed : bits == 24 ? Packing::kBgr : Packing::kMasked;
    layout.stride = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (layout.stride * static_cast<uint64_t>(height) > available) {
        return Refuse(why, "the pixel data runs past the end of the file");
    }
    return true;
}

// The index of each palette entry, and black for the indexes the palette does not reach.
std::array<uint8_t, 256> PaletteIndexes(std::span<const uint8_t> bytes, const Layout& layout,
                                        const std::function<uint8_t(uint32_t)>& nearest) {
    std::array<uint8_t, 256> table{};
    for (uint32_t i = 0; i < layout.paletteEntries; ++i) {
        const uint8_t* entry = &bytes[layout.paletteStart + uint64_t{i} * layout.entrySize];
        table[i] = nearest(Rgb(entry[2], entry[1], entry[0]));
    }
    if (layout.paletteEntries < 256) {
        std::fill(table.begin() + layout.paletteEntries, table.end(), nearest(kBlack));
    }
    return table;
}

// Remembers the index of recently seen colours, so that `nearest` runs about once per colour
// rather than once per pixel.
class ColourCache {
public:
    explicit ColourCache(const std::function<uint8_t(uint32_t)>& nearest) : nearest_(nearest) {
        keys_.fill(kEmpty);
    }

    uint8_t Index(uint32_t colour) {
        const uint32_t slot = (colour * 2654435761u) >> (32 - kSlotBits);
        if (keys_[slot] != colour) {
            keys_[slot] = colour;
            indexes_[slot] = nearest_(colour);
        }
        return indexes_[slot];
    }

private:
    static constexpr int kSlotBits = 12;
    static constexpr uint32_t kEmpty = 0xFFFFFFFF;  // no colour has a byte above blue
    const std::function<uint8_t(uint32_t)>& nearest_;
    std::array<uint32_t, size_t{1} << kSlotBits> keys_;
    std::array<uint8_t, size_t{1} << kSlotBits> indexes_{};
};

void DecodeRows(std::span<const uint8_t> bytes, const Layout& layout,
                const std::function<uint8_t(uint32_t)>& nearest, uint8_t* out) {
    const size_t width = static_cast<size_t>(layout.width);
    const size_t height = static_cast<size_t>(layout.height);
    std::array<uint8_t, 256> table{};
    if (layout.packing == Packing::kIndexed) table = PaletteIndexes(bytes, layout, nearest);
    ColourCache cache(nearest);
    const std::array<Channel, 3> channels{Channel(layout.masks[0]), Channel(layout.masks[1]),
                                          Channel(layout.masks[2])};
    const uint32_t bits = layout.bits;

    for (size_t row = 0; row < height; ++row) {
        const uint8_t* in = &bytes[layout.pixelStart + row * layout.stride];
        uint8_t* to = out + (layout.topDown ? row : height - 1 - row) * width;
        switch (layout.packing) {
            case Packing::kIndexed: {
                const uint32_t perByte = 8 / bits;
                const uint32_t valueMask = (1u << bits) - 1;
                for (size_t x = 0; x < width; ++x) {
                    // The leftmost pixel is in the byte's high bits.
                    const uint32_t slot = static_cast<uint32_t>(x % perByte);
                    to[x] = table[(in[x / perByte] >> (8 - bits - slot * bits)) & valueMask];
                }
                break;
            }
            case Packing::kBgr:
                for (size_t x = 0; x < width; ++x, in += 3) {
                    to[x] = cache.Index(Rgb(in[2], in[1], in[0]));
                }
                break;
            case Packing::kMasked:
                for (size_t x = 0; x < width; ++x, in += bits / 8) {
                    const uint32_t pixel = bits == 16 ? Get16(in) : Get32(in);
                    to[x] = cache.Index(Rgb(channels[0].Value(pixel), channels[1].Value(pixel),
                                            channels[2].Value(pixel)));
                }
                break;
            default:
                break;
        }
    }
}

// Runs and absolute runs are clipped to the image; a delta or line end may move anywhere. The
// stream ends at its end-of-bitmap mark, above the top row, or where the data stops.
void DecodeRle(std::span<const uint8_t> bytes, const Layout& layout,
               const std::function<uint8_t(uint32_t)>& nearest, uint8_t* out) {
    const std::array<uint8_t, 256> table = PaletteIndexes(bytes, layout, nearest);
    const bool four = layout.packing == Packing::kRle4;
    const std::span<const uint8_t> data = bytes.subspan(layout.pixelStart);
    const int64_t width = layout.width;
    const int64_t height = layout.height;
    std::fill(out, out + width * height, table[0]);

    int64_t x = 0;
    int64_t y = 0;  // counted from the bottom row
    size_t at = 0;
    // Writes `count` pixels from x on, as far as the row allows; pixel i is value(i).
    auto put = [&](int64_t count, auto value) {
        const int64_t inside = std::clamp<int64_t>(width - x, 0, count);
        if (inside > 0) {
            uint8_t* to = out + (height - 1 - y) * width + x;
            for (int64_t i = 0; i < inside; ++i) to[i] = table[value(i)];
        }
        x += count;
    };
    while (y < height && data.size() - at >= 2) {
        const uint8_t count = data[at];
        const uint8_t code = data[at + 1];
        at += 2;
        if (count > 0) {
            put(count, [&](int64_t i) { return four ? (i % 2 ? code & 15 : code >> 4) : code; });
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (data.size() - at < 2) return;
            x += data[at];
            y += data[at + 1];
            at += 2;
        } else {
            // An absolute run of `code` pixels, its bytes padded to a whole 16-bit word. A run
            // cut off by the end of the data keeps the pixels that are there.
            const size_t runBytes = four ? (code + 1u) / 2 : code;
            const size_t there = std::min(runBytes, data.size() - at);
            const int64_t pixels = std::min<int64_t>(code, four ? 2 * int64_t(there) : there);
            const uint8_t* run = data.data() + at;
            put(pixels,
                [&](int64_t i) { return four ? (run[i / 2] >> (i % 2 ? 0 : 4)) & 15 : run[i]; });
            if (there < runBytes) return;
            at += std::min(runBytes + runBytes % 2, data.size() - at);
        }
    }
}

}  // namespace

bool ProbeBmp(std::span<const uint8_t> bytes, int32_t& width, int32_t& height, std::string& why) {
    Layout layout;
    if (!Parse(bytes, layout, why)) return false;
    width = layout.width;
    height = layout.height;
    return true;
}

bool ReadBmp(std::span<const uint8_t> bytes, const std::function<uint8_t(uint32_t)>& nearest,
             BmpImage& image, std::string& why) {
    image = BmpImage();
    if (!nearest) return Refuse(why, "no colour mapping was given");
    Layout layout;
    if (!Parse(bytes, layout, why)) return false;

    BmpImage decoded;
    try {
        decoded.indices.resize(static_cast<size_t>(layout.width) *
                               static_cast<size_t>(layout.height));
    } catch (const std::bad_alloc&) {
        return Refuse(why, "there is no memory for an image of " + std::to_string(layout.width) +
                               " x " + std::to_string(layout.height));
    }
    if (layout.packing == Packing::kRle8 || layout.packing == Packing::kRle4) {
        DecodeRle(bytes, layout, nearest, decoded.indices.data());
    } else {
        DecodeRows(bytes, layout, nearest, decoded.indices.data());
    }
    decoded.width = layout.width;
    decoded.height = layout.height;
    image = std::move(decoded);
    return true;
}

}  // namespace tw
