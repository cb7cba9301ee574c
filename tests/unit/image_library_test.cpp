// Image and map libraries: their byte layout, copies, hostile and truncated input, and turning an
// image library into surfaces of the screen.

#include "display/image_library.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "display/disp_screen.h"
#include "test_support.h"

namespace tw {
namespace {

namespace fs = std::filesystem;

std::string I32(int32_t v) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[i] = static_cast<char>(static_cast<uint32_t>(v) >> (8 * i));
    return s;
}

// A library head whose unread bytes and palette entries all differ, so that a byte lost or moved
// on the way through shows in a comparison.
std::string ImageHead(int32_t count, const std::string& magic = "IL10") {
    std::string b = magic + I32(count) + "spar";
    for (int i = 0; i < 256; ++i) b += {char(i), char(255 - i), char(i / 2), '\x77'};
    return b;
}
std::string ImageHeader(int32_t width, int32_t height) {
    return I32(width) + I32(height) + "twelve bytes";
}
// An image whose pixel at (x, y) is x + 16 y, its row padding 0xEE.
std::string Image(int32_t width, int32_t height) {
    std::string b = ImageHeader(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < ImageStride(width); ++x) b += x < width ? char(x + 16 * y) : '\xEE';
    }
    return b;
}
// A map with dimensions 40 and -7; `size` replaces the data's size in the head.
std::string Map(std::string name, const std::string& data, int length = -1, int32_t size = -1) {
    const char lengthByte = char(length < 0 ? name.size() : length);
    name.resize(15, '\0');
    return lengthByte + name + I32(40) + I32(-7) + I32(size == -1 ? int32_t(data.size()) : size) +
           I32(0) + data;
}

std::span<const uint8_t> Span(const std::string& bytes) {
    return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}
template <typename Library>
Library Read(const std::string& bytes) {
    Library library;
    library.ReadFromBuffer(Span(bytes));
    return library;
}
template <typename Library>
std::string Written(const Library& library) {
    std::ostringstream out;
    library.WriteToStream(out);
    return out.str();
}
template <typename Action>
std::string MessageOf(Action action) {
    try {
        action();
    } catch (const EDispLibrary& e) {
        return e.what();
    }
    return "no failure";
}

// A stream whose length is unknown (a pipe), or claimed far beyond any memory.
class TestBuf : public std::stringbuf {
public:
    TestBuf(const std::string& s, off_type end) : std::stringbuf(s), end_(end) {}

protected:
    pos_type seekoff(off_type off, std::ios::seekdir dir, std::ios::openmode which) override {
        if (end_ < 0 || dir == std::ios::end) return end_;
        return std::stringbuf::seekoff(off, dir, which);
    }
    off_type end_;
};

TEST(ImageLibrary, RowsArePaddedToWholeWords) {
    EXPECT_EQ(ImageStride(3), 4);
    EXPECT_EQ(ImageStride(8), 8);
    EXPECT_EQ(ImageStride(9), 12);
    const auto images = Read<TDispImages>(ImageHead(2) + Image(3, 2) + Image(8, 1));
    EXPECT_EQ(images.Image(0).PixelBytes(), 8u);
    EXPECT_EQ(images.Image(0).Pixels()[4 + 2], 16 + 2);  // the second row starts at the stride
    EXPECT_EQ(images.Image(1).Pixels()[7], 7);
    EXPECT_EQ(MessageOf([&] { images.Image(2); }), "Image library: there is no image 2");
}

TEST(ImageLibrary, WritesAndCopiesEveryByteItRead) {
    const std::string file = ImageHead(3, "iL10") + Image(5, 3) + Image(0, 4) + Image(1, 1);
    TDispImages images = Read<TDispImages>(file), copy;
    EXPECT_EQ(Written(images), file);
    EXPECT_EQ(images.LibraryPalette()[200], (PaletteEntry{200, 55, 100, 0}));
    TestBuf pipe(file, -1);
    std::istream piped(&pipe);
    images.ReadFromStream(piped);
    images.AssignTo(copy);
    images.Image(0).Pixels()[0] = 99;
    images.Clear();
    EXPECT_EQ(Written(copy), file);
    EXPECT_EQ(Read<TDispImages>(Written(images)).Count(), 0);  // a new head reads back
}

TEST(MapLibrary, EmptyLibraryIsItsEightByteHead) {
    TDispMapLib lib;
    EXPECT_EQ(Written(lib.Maps()), std::string("ML01\xFF\xFF\xFF\xFF", 8));
    lib.Maps().ReadFromBuffer(Span("xxxx" + I32(-1)));  // the magic is not checked
    EXPECT_EQ(lib.Maps().Count(), 0);
}

TEST(MapLibrary, WritesAndCopiesEveryFieldWithNamesOfFifteenAtMost) {
    const std::string file = "ML01" + I32(1) + Map("first", "abcdef") + Map("fifteen letters", "");
    TDispMaps maps = Read<TDispMaps>(file), copy;
    EXPECT_EQ(Written(maps), file);
    maps.AssignTo(copy);
    maps.Map(0).data[1] = 0;
    EXPECT_EQ(Written(copy), file);
    EXPECT_EQ(MessageOf([&] { maps.Map(2); }), "Map library: there is no map 2");
    // A length byte beyond 15 reads 15 characters; a longer name is cut when copied or written.
    maps = Read<TDispMaps>("ML01" + I32(0) + Map("abcdefghijklmno", "x", 255));
    EXPECT_EQ(maps.Map(0).name, "abcdefghijklmno");
    maps.Map(0).name = "a name of twenty ch.";
    maps.AssignTo(copy);
    EXPECT_EQ(copy.Map(0).name, "a name of twent");
    EXPECT_EQ(Written(maps).substr(8, 16),
              "\x0F"
              "a name of twent");
}

TEST(LibraryReading, RefusalsNameTheirCause) {
    struct Case {
        bool image;
        std::string input, message;
    } const cases[] = {
        {true, ImageHead(0, "IL11"), "Not a valid Image Library File"},
        {true, ImageHead(0).substr(0, 1035), "Image library ends early: 1 bytes missing"},
        {true, ImageHead(-1), "Image library: the image count -1 is negative"},
        {true, ImageHead(1), "Image library: 1 images cannot fit in the 0 bytes that remain"},
        {true, ImageHead(1) + ImageHeader(0x7FFFFFFF, 0x7FFFFFFF),
         "Image library: image 0 needs 4611686016279904256 bytes but only 0 remain"},
        {true, ImageHead(2) + Image(2, 2) + ImageHeader(0, -2),
         "Image library: image 1 has a negative size (0 x -2)"},
        {false, "ML", "Map library ends early: 2 bytes missing"},
        {false, "ML01" + I32(-2), "Map library: the last index -2 is below -1"},
        {false, "ML01" + I32(0x7FFFFFFF),
         "Map library: 2147483648 maps cannot fit in the 0 bytes that remain"},
        {false, "ML01" + I32(0) + Map("a", "", 1, INT32_MIN),
         "Map library: map 0 has a negative data size (-2147483648)"},
        {false, "ML01" + I32(0) + Map("a", "", 1, 0x70000000),
         "Map library: map 0 needs 1879048192 bytes but only 0 remain"},
    };
    // From a buffer and from a stream alike.
    auto check = [](auto library, const Case& c) {
        std::istringstream in(c.input);
        EXPECT_EQ(MessageOf([&] { library.ReadFromBuffer(Span(c.input)); }), c.message);
        EXPECT_EQ(MessageOf([&] { library.ReadFromStream(in); }), c.message);
    };
    for (const Case& c : cases) c.image ? check(TDispImages(), c) : check(TDispMaps(), c);
}

TEST(LibraryReading, TruncatedPipeKeepsWhatWasRead) {
    // A pipe cannot say how much is left, so the short read itself is what fails.
    // The second image is longer than one piece of a pipe read.
    const std::string whole = ImageHead(2) + Image(3, 3) + Image(256, 300);
    TestBuf pipe(whole.substr(0, whole.size() - 5), -1);
    std::istream in(&pipe);
    TDispImages images;
    EXPECT_EQ(MessageOf([&] { images.ReadFromStream(in); }),
              "Image library ends early: 5 bytes missing");
    EXPECT_EQ(Written(images), ImageHead(1) + Image(3, 3));  // the count follows what is held
}

TEST(LibraryReading, PixelMemoryThatCannotBeHadIsReported) {
    // The address sanitizer aborts on such an allocation instead of failing it.
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP();
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP();
#endif
#endif
    TestBuf endless(ImageHead(1) + ImageHeader(1 << 25, 1 << 25), int64_t{1} << 55);
    std::istream in(&endless);
    EXPECT_EQ(MessageOf([&] { TDispImages().ReadFromStream(in); }),
              "TDispImage: GemMem Failed for ImgHdr.Bits");
}

TEST(LibraryWriting, FailingStreamIsReported) {
    std::ostream nowhere(nullptr);
    EXPECT_EQ(MessageOf([&] { TDispImages().WriteToStream(nowhere); }),
              "Image library could not be written");
    EXPECT_EQ(MessageOf([&] { TDispMaps().WriteToStream(nowhere); }),
              "Map library could not be written");
}

TEST(ImageLibraryComponent, LoadsReloadsAndRebuildsBitmaps) {
    TDispImageLib lib;
    EXPECT_EQ(MessageOf([&] { lib.Reload(); }), "LoadFromFile must be called first");
    const std::string path = (fs::temp_directory_path() / "tarnwick_image_library.il").string();
    EXPECT_EQ(MessageOf([&] { lib.LoadFromFile(path + "/x"); }),
              "Cannot open the image library \"" + path + "/x\"");
    std::ofstream(path, std::ios::binary) << ImageHead(1) + Image(2, 2);
    lib.LoadFromFile(path);
    lib.BuildBitmaps();
    EXPECT_EQ(lib.Bitmaps()[0].palette[0], PaletteEntry{});  // the first entry is not taken
    EXPECT_EQ(lib.Bitmaps()[0].palette[1], (PaletteEntry{1, 254, 0, 0}));
    EXPECT_EQ(lib.Bitmaps()[0].pixels[4 + 1], 17);
    std::ofstream(path, std::ios::binary) << ImageHead(2) + Image(1, 1) + Image(1, 1);
    lib.Reload();
    EXPECT_EQ(lib.Bitmaps().size(), 2u);  // rebuilt because they existed
    fs::remove(path);
}

TEST(ImageLibraryOnScreen, EveryImageBecomesAKeyedSurface) {
    test::RecordingHost host;
    TDispScreen screen(host, [] { return 0u; });
    const auto images = Read<TDispImages>(ImageHead(2) + Image(3, 2) + Image(5, 1));
    std::vector<std::unique_ptr<TDispSurface>> surfaces;
    surfaces.push_back(std::make_unique<TDispSurface>(screen, 9, 9));  // the previous library's
    LoadImageLibrary(screen, images, false, surfaces);
    EXPECT_NE(screen.StoredPalette()[3], images.LibraryPalette()[3]);
    ASSERT_EQ(surfaces.size(), 2u);
    const TDispSurface& s = *surfaces[0];
    EXPECT_EQ(std::make_pair(s.Width(), s.Height()), std::make_pair(3, 2));
    EXPECT_EQ(s.TransparentColor(), 0);
    EXPECT_EQ(s.Pixels()[s.Pitch() + 2], 18);  // row by row, the padding left behind
    LoadImageLibrary(screen, images, true, surfaces);
    EXPECT_EQ(screen.StoredPalette(), images.LibraryPalette());
}

// Every input that ever made the fuzzer fail is now read, or refused, cleanly, and what was read
// writes out as a library that reads back to the same bytes.
TEST(LibraryRegressions, EveryKeptInputIsReadOrRefused) {
    int files = 0;
    for (const auto& entry :
         fs::directory_iterator(fs::path(TARNWICK_SOURCE_DIR) / "tests/fuzz/regressions/library")) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string input((std::istreambuf_iterator<char>(file)), {});
        TDispImages images;
        TDispMaps maps;
        MessageOf([&] { images.ReadFromBuffer(Span(input)); });
        MessageOf([&] { maps.ReadFromBuffer(Span(input)); });
        EXPECT_EQ(Written(Read<TDispImages>(Written(images))), Written(images)) << entry.path();
        EXPECT_EQ(Written(Read<TDispMaps>(Written(maps))), Written(maps)) << entry.path();
        ++files;
    }
    EXPECT_GT(files, 0);
}

}  // namespace
}  // namespace tw
