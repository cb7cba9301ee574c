// Bitmap files: every file of the bmpsuite collection, hand-made hostile headers, each pixel
// layout and colour mask, and RLE streams that stray outside the image or stop early.

#include "display/bmp_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <tuple>

namespace tw {
namespace {

namespace fs = std::filesystem;

std::string U32(uint32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(v >> (8 * i));
    return s;
}
std::string With(std::string file, size_t at, uint32_t v) {
    return file.replace(at, 4, U32(v));
}

// A file with a 40-byte header; `palette` (or masks) comes before the pixels.
std::string Bmp(int32_t width, int32_t height, int bits, uint32_t compression,
                const std::string& palette, const std::string& pixels, uint32_t colours = 0) {
    const auto off = static_cast<uint32_t>(54 + palette.size());
    return "BM" + U32(off + static_cast<uint32_t>(pixels.size())) + U32(0) + U32(off) + U32(40) +
           U32(width) + U32(height) + std::string("\x01\x00", 2) + char(bits) + '\0' +
           U32(compression) + U32(0) + U32(2835) + U32(2835) + U32(colours) + U32(0) + palette +
           pixels;
}
// Palette entries are blue, green, red, unused.
std::string Entry(uint32_t colour) {
    return {char(colour >> 16), char(colour >> 8), char(colour), '\0'};
}

std::span<const uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

// Reads with a nearest that hands out indexes 1, 2, 3... one per call, so that the colour of every
// pixel can be told from its index and the calls can be counted. A pixel left at index 0 was
// never given a colour: Colours() then throws.
struct Decoded {
    bool ok = false;
    std::string why;
    BmpImage image;
    std::vector<uint32_t> asked;
    // Every pixel's colour, top row first.
    std::vector<uint32_t> Colours() const {
        std::vector<uint32_t> colours;
        for (uint8_t index : image.indices) colours.push_back(asked.at(size_t{index} - 1));
        return colours;
    }
};
Decoded Read(const std::string& file) {
    Decoded d;
    const auto nearest = [&](uint32_t c) {
        d.asked.push_back(c);
        return static_cast<uint8_t>(d.asked.size());
    };
    d.ok = ReadBmp(Span(file), nearest, d.image, d.why);
    return d;
}
std::vector<uint32_t> Colours(const std::string& file) {
    const Decoded d = Read(file);
    EXPECT_TRUE(d.ok) << d.why;
    return d.Colours();
}

// 3 bits of red and green, 2 of blue.
uint8_t Nearest332(uint32_t c) {
    return static_cast<uint8_t>((c & 0xE0) >> 5 | (c & 0xE000) >> 10 | (c & 0xC00000) >> 16);
}

const fs::path kSuite = fs::path(TARNWICK_SOURCE_DIR "/../shared/corpus/bmpsuite");

std::string Load(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
std::vector<uint8_t> Indexes332(const std::string& name) {
    BmpImage image;
    std::string why;
    EXPECT_TRUE(ReadBmp(Span(Load(kSuite / name)), Nearest332, image, why)) << name << ": " << why;
    return image.indices;
}

TEST(BmpSuite, EveryFileDecodesOrIsRefusedWithinItsMeans) {
    if (!fs::is_directory(kSuite)) GTEST_SKIP() << "no bmpsuite at " << kSuite;
    int files = 0;
    std::string refusals;
    for (const auto& entry : fs::recursive_directory_iterator(kSuite)) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const std::string name = entry.path().lexically_relative(kSuite).generic_string();
        const std::string file = Load(entry.path());
        BmpImage image;
        std::string why;
        int32_t width = 0, height = 0;
        const bool probed = ProbeBmp(Span(file), width, height, why);
        const bool read = ReadBmp(Span(file), Nearest332, image, why);
        EXPECT_EQ(probed, read) << name;
        EXPECT_LE(image.indices.size(), size_t{64} << 20) << name;
        if (read) {
            EXPECT_EQ(std::tuple(image.width, image.height, image.indices.size()),
                      std::tuple(width, height, size_t(width) * size_t(height)))
                << name;
        } else {
            EXPECT_TRUE(!why.empty() && image.indices.empty() && image.width == 0) << name;
            refusals += name + ": " + why + "\n";
        }
        EXPECT_TRUE(read || !name.starts_with("g/")) << name << ": " << why;
    }
    EXPECT_GT(files, 50);
    for (const char* refused :
         {"b/reallybig.bmp: the image is 3000000 x 2000000", "b/badbitcount.bmp: 30000 bits",
          "b/badplanes.bmp: the plane count is 30000", "b/badwidth.bmp: the width is negative",
          "b/badpalettesize.bmp: the palette", "b/rletopdown.bmp: a top-down image",
          "b/shortfile.bmp: the pixel data runs past", "b/badheadersize.bmp: a header of 66",
          "q/rgb24jpeg.bmp: embedded JPEG", "q/rgb24png.bmp: embedded PNG",
          "q/rgb24rle24.bmp: RLE24", "q/pal1huffmsb.bmp: Huffman", "q/rgba64.bmp: 64 bits"}) {
        EXPECT_NE(refusals.find(refused), std::string::npos) << refused << " in\n" << refusals;
    }
}

TEST(BmpSuite, LayoutsOfOnePictureAgree) {
    if (!fs::is_directory(kSuite)) GTEST_SKIP() << "no bmpsuite at " << kSuite;
    // The direct-colour files hold the same colours, to 5 bits a channel and more.
    const std::vector<uint8_t> rgb = Indexes332("g/rgb24.bmp");
    for (const char* name : {"g/rgb16.bmp", "g/rgb16-565.bmp", "g/rgb16-565pal.bmp",
                             "g/rgb16bfdef.bmp", "g/rgb24pal.bmp", "g/rgb32.bmp", "g/rgb32bf.bmp",
                             "g/rgb32bfdef.bmp", "q/rgb32-111110.bmp", "q/rgb32-7187.bmp",
                             "q/rgb32-xbgr.bmp", "q/rgb32h52.bmp", "q/rgba16-5551.bmp"}) {
        EXPECT_EQ(Indexes332(name), rgb) << name;
    }
    // The 8-bit files all store one palette picture, however it is headed, ordered or packed.
    const std::vector<uint8_t> pal8 = Indexes332("g/pal8.bmp");
    for (const char* name : {"g/pal8-0.bmp", "g/pal8os2.bmp", "g/pal8rle.bmp", "g/pal8topdown.bmp",
                             "g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal8os2sp.bmp",
                             "q/pal8os2v2-16.bmp", "q/pal8oversizepal.bmp", "q/pal8offs.bmp"}) {
        EXPECT_EQ(Indexes332(name), pal8) << name;
    }
    EXPECT_EQ(Indexes332("g/pal4rle.bmp"), Indexes332("g/pal4.bmp"));
    // The palette picture is the true-colour one, bar a few pixels more than a step away.
    int far = 0;
    for (size_t i = 0; i < rgb.size(); ++i) {
        const int a = pal8.at(i), b = rgb[i];
        far += std::abs((a & 7) - (b & 7)) > 1 || std::abs((a >> 3 & 7) - (b >> 3 & 7)) > 1 ||
               std::abs((a >> 6) - (b >> 6)) > 1;
    }
    EXPECT_LT(far, int(rgb.size() / 100));
}

TEST(BmpHeaders, HostileHeadersAreRefusedBeforeAnyAllocation) {
    const std::string pixel = Bmp(1, 1, 24, 0, "", std::string(4, '\0'));
    const std::string masked = Bmp(1, 1, 16, 3, U32(0xF800) + U32(0x7E0) + U32(0x1F), U32(0));
    const std::pair<std::string, std::string> cases[] = {
        {Bmp(30000, 30000, 24, 0, "", ""), "the image is 30000 x 30000"},
        {Bmp(0, 1, 24, 0, "", std::string(4, '\0')), "the width is 0"},
        {Bmp(1, 0, 24, 0, "", std::string(4, '\0')), "the height is 0"},
        {Bmp(1, INT32_MIN, 24, 0, "", std::string(4, '\0')), "2147483648"},
        {Bmp(16385, 1, 8, 0, "", std::string(16388, '\0')), "16385 x 1"},
        {Bmp(1, 1, 7, 0, "", std::string(4, '\0')), "7 bits per pixel"},
        {Bmp(1, 1, 4, 1, "", std::string(4, '\0')), "RLE8 compression needs 8 bits"},
        {Bmp(1, 1, 24, 3, "", std::string(4, '\0')), "colour masks need 16 or 32 bits"},
        {Bmp(1, -1, 8, 1, "", std::string(4, '\0')), "top-down"},
        {Bmp(16384, 16384, 8, 1, "", std::string(1000, '\0')), "too few"},
        {Bmp(2, 2, 24, 0, "", std::string(15, '\0')), "the pixel data runs past the end"},
        {Bmp(1, 1, 16, 3, "", ""), "the colour masks run past the end"},
        {With(pixel, 10, 58), "the file ends before the pixel data"},
        {With(pixel, 10, 0xFFFFFFFF), "the file ends before the pixel data"},
        {With(pixel, 10, 40), "the pixel data offset 40 points into the headers"},
        {With(masked, 10, 62), "the pixel data offset 62 points into the headers"},
        {With(pixel, 46, 0x80000000), "the palette of 2147483648 colours runs past the end"},
        {With(pixel, 14, 0xFFFFFFF0), "a header of 4294967280 bytes is not known"},
        {With(pixel, 14, 108), "the header runs past the end"},
        {With(pixel, 26, 0x00180002), "the plane count is 2"},
        {With(pixel, 30, 7), "compression 7 is not supported"},
        {"BM" + pixel.substr(2, 10), "too short"},
        {"MB" + pixel.substr(2), "does not start with BM"},
    };
    for (const auto& [file, reason] : cases) {
        const Decoded d = Read(file);
        EXPECT_TRUE(!d.ok && d.image.indices.empty() && d.asked.empty()) << reason;
        EXPECT_NE(d.why.find(reason), std::string::npos) << reason << " / " << d.why;
        int32_t width = 7, height = 7;
        std::string why;
        EXPECT_FALSE(ProbeBmp(Span(file), width, height, why));
        EXPECT_EQ(why, d.why);
    }
}

TEST(BmpPixels, PalettedRowsUnpackHighBitsFirstAndFlipToTopRowFirst) {
    const std::string four = Entry(0x0000FF) + Entry(0x00FF00) + Entry(0xFF0000) + Entry(0x123456);
    // Two rows of five 2-bit pixels, 0 1 2 3 1 on the bottom row, stored first.
    const Decoded d = Read(Bmp(5, 2, 2, 0, four, std::string("\x1B\x40\0\0\xFF\xC0\0\0", 8), 4));
    EXPECT_EQ(d.asked.size(), 5u);  // each palette entry once, and black for the rest
    EXPECT_EQ(d.Colours(),
              (std::vector<uint32_t>{0x123456, 0x123456, 0x123456, 0x123456, 0x123456, 0x0000FF,
                                     0x00FF00, 0xFF0000, 0x123456, 0x00FF00}));
    // A top-down file keeps its order. Only the 2 entries before the pixels are palette; an
    // index beyond them shows black.
    const Decoded top =
        Read(Bmp(2, -2, 8, 0, four.substr(0, 8), std::string("\0\1\0\0\1\7\0\0", 8)));
    EXPECT_EQ(top.Colours(), (std::vector<uint32_t>{0x0000FF, 0x00FF00, 0x00FF00, 0}));
    EXPECT_EQ(top.asked.size(), 3u);
    // With no pixel offset the pixels follow the palette; 1-bit rows take the top bit first.
    const std::vector<uint32_t> one =
        Colours(With(Bmp(9, 1, 1, 0, four.substr(0, 8), std::string("\x7E\x80\0\0", 4), 2), 10, 0));
    EXPECT_EQ(one, (std::vector<uint32_t>{0x0000FF, 0x00FF00, 0x00FF00, 0x00FF00, 0x00FF00,
                                          0x00FF00, 0x00FF00, 0x0000FF, 0x00FF00}));
}

TEST(BmpPixels, DirectColoursAreScaledAndAskedOncePerColour) {
    // Stored blue, green, red; a top-down image of one row is 1 high.
    const Decoded one = Read(Bmp(1, -1, 24, 0, "", std::string("\x30\x20\x10\0", 4)));
    EXPECT_EQ(std::tuple(one.image.height, one.Colours()), std::tuple(1, std::vector{0x302010u}));
    const Decoded bgr =
        Read(Bmp(3, 1, 24, 0, "", std::string("\x30\x20\x10\x30\x20\x10\1\2\3\0\0\0", 12)));
    EXPECT_EQ(bgr.asked, (std::vector<uint32_t>{0x302010, 0x010203}));
    EXPECT_EQ(bgr.image.indices, (std::vector<uint8_t>{1, 1, 2}));
    // 5-5-5 by default: 1 of 31 is 8 of 255.
    EXPECT_EQ(Colours(Bmp(3, 1, 16, 0, "", std::string("\xFF\x7F\x01\x00\x00\x7C\0\0", 8))),
              (std::vector<uint32_t>{0xFFFFFF, 0x080000, 0x0000FF}));
    // Masks of 10 bits, 1 bit, none, and one whose bits are apart (reading 0b10 of 3; the bit
    // beyond 16 means nothing).
    const std::string masks = U32(0x3FF00000) + U32(0x80000000) + U32(0);
    EXPECT_EQ(Colours(Bmp(1, 1, 32, 3, masks, U32(0x80000000 | 0x200u << 20))),
              (std::vector<uint32_t>{0x00FF80}));
    EXPECT_EQ(Colours(Bmp(2, 1, 16, 3, U32(0x10005) + U32(0x0700) + U32(0), U32(0x0204))),
              (std::vector<uint32_t>{0x0049AA, 0}));
    // An image of one colour asks for it once.
    const Decoded flat = Read(Bmp(64, 64, 32, 0, "", std::string(64 * 64 * 4, '\x11')));
    EXPECT_EQ(std::tuple(flat.ok, flat.asked.size()), std::tuple(true, size_t{1}));
}

// RLE8, 4 x 2, palette c0, c1, c2: a run too long for its row, a line end, a delta, an absolute
// run too long for its row, then a delta far above the top row.
const std::string kPalette3 = Entry(0xAA0000) + Entry(0x00BB00) + Entry(0x0000CC);
const std::string kRle8 = std::string(
    "\x06\x01\x00\x00\x00\x02\x01\x00\x00\x05\x02\x02\x02\x02\x02\x00"
    "\x00\x02\x00\x40\x01\x01",
    22);

TEST(BmpRle, RunsAreClippedAndUnreachedPixelsTakeEntryZero) {
    EXPECT_EQ(Colours(Bmp(4, 2, 8, 1, kPalette3, kRle8, 3)),
              (std::vector<uint32_t>{0xAA0000, 0x0000CC, 0x0000CC, 0x0000CC,  // top row
                                     0x00BB00, 0x00BB00, 0x00BB00, 0x00BB00}));
    // RLE4 runs alternate their two nibbles; the absolute run 1 2 0 loses its last to the edge.
    EXPECT_EQ(Colours(Bmp(5, 1, 4, 2, kPalette3, std::string("\3\x12\0\3\x12\0\0\1", 8), 3)),
              (std::vector<uint32_t>{0x00BB00, 0x0000CC, 0x00BB00, 0x00BB00, 0x0000CC}));
}

TEST(BmpRle, CutStreamKeepsWhatItReached) {
    // Cut after every byte: what was decoded stays, the rest is entry 0, nothing else is touched.
    for (size_t cut = 1; cut < kRle8.size(); ++cut) {
        const std::vector<uint32_t> c =
            Colours(Bmp(4, 2, 8, 1, kPalette3, kRle8.substr(0, cut), 3));
        ASSERT_EQ(c.size(), 8u) << cut;
        EXPECT_EQ(c[0], 0xAA0000u) << cut;
        EXPECT_EQ(c[3], cut >= 13 ? 0x0000CCu : 0xAA0000u) << cut;
        EXPECT_EQ(c[7], cut >= 2 ? 0x00BB00u : 0xAA0000u) << cut;
    }
    // A stream of nothing but deltas and line ends over a large image stays in bounds.
    std::string moves;
    for (int i = 0; i < 200; ++i)
        moves += std::string(i % 3 ? "\0\2\xFF\1" : "\0\0", i % 3 ? 4 : 2);
    EXPECT_EQ(Colours(Bmp(300, 300, 8, 1, kPalette3, moves + "\x08\x01", 3)).size(), 90000u);
}

}  // namespace
}  // namespace tw
