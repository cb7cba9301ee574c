#pragma once
// Image libraries ("IL10") and map libraries ("ML01") of the screen layer.
//
// An image library is a 1036-byte head (magic, image count, four bytes nobody reads and a
// 256-entry palette) followed by images: a 20-byte head (width, height, twelve bytes nobody
// reads) and the pixels, one palette index per byte, each row padded to a multiple of four
// bytes. A map library is a magic, the index of its last map, and maps: a 32-byte head (a short
// name, two dimensions, the data size and a slot for a pointer) followed by the data. All
// integers are little-endian and signed 32-bit.
//
// Reading trusts nothing in the input: a count or size that is negative, or larger than the
// bytes that remain, is refused with a message before anything is allocated for it, so a
// hostile file can neither crash the reader nor make it allocate more than the file could hold.
// A stream that cannot seek (a pipe) does not say how much remains; it is read in pieces of
// 64 KiB, so that memory grows only as fast as bytes really arrive.

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/frame.h"

namespace tw {

class TDispScreen;
class TDispSurface;
class LibrarySource;

// Every failure of reading, writing or copying a library.
class EDispLibrary : public std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Bytes per stored pixel row: rows are padded to whole 32-bit words.
int64_t ImageStride(int64_t width);

// One image: its 20-byte head and its pixels (Stride() x Height() bytes, top row first).
class TDispImage {
public:
    static constexpr size_t kHeaderSize = 20;

    const std::array<uint8_t, kHeaderSize>& Header() const { return header_; }
    int32_t Width() const;
    int32_t Height() const;
    int64_t Stride() const { return ImageStride(Width()); }
    const uint8_t* Pixels() const { return bits_.data(); }
    uint8_t* Pixels() { return bits_.data(); }
    size_t PixelBytes() const { return bits_.size(); }

private:
    friend class TDispImages;
    std::array<uint8_t, kHeaderSize> header_{};
    std::vector<uint8_t> bits_;
};

class TDispImages {
public:
    static constexpr size_t kHeaderSize = 1036;

    // An empty library whose head carries the magic, so that writing it gives a readable file.
    TDispImages();

    // Each read clears the list first. On failure an EDispLibrary is raised and the images read
    // before the failing one are kept.
    void ReadFromStream(std::istream& in);
    void ReadFromBuffer(std::span<const uint8_t> bytes);
    void LoadFromFile(const std::string& path);
    // The head as held (its count brought up to date), then every image's head and pixels.
    void WriteToStream(std::ostream& out) const;
    // Makes `dest` an independent duplicate of this library.
    void AssignTo(TDispImages& dest) const;
    void Clear();

    int Count() const { return static_cast<int>(images_.size()); }
    const TDispImage& Image(int index) const;
    TDispImage& Image(int index);
    const std::array<uint8_t, kHeaderSize>& Header() const { return header_; }
    // The library palette: red, green and blue of each entry, flags 0.
    Palette LibraryPalette() const;

private:
    void Read(LibrarySource& source);

    std::array<uint8_t, kHeaderSize> header_{};
    std::vector<TDispImage> images_;
};

// A bitmap for showing an image in a design tool: 8-bit, top row first, rows of `pitch` bytes,
// with the library palette in entries 1 to 255 (entry 0 stays black).
struct TDispBitmap {
    int width = 0;
    int height = 0;
    int64_t pitch = 0;
    Palette palette{};
    std::vector<uint8_t> pixels;
};

// An image library component: a TDispImages that remembers the file it came from.
class TDispImageLib {
public:
    TDispImages& Images() { return images_; }
    const TDispImages& Images() const { return images_; }
    const std::string& FileName() const { return fileName_; }

    // Reads the file, remembers its name, and rebuilds the bitmaps when they exist.
    void LoadFromFile(const std::string& path);
    // Reads the remembered file again.
    void Reload();

    // One bitmap per image.
    void BuildBitmaps();
    void FreeBitmaps();
    bool HasBitmaps() const { return hasBitmaps_; }
    const std::vector<TDispBitmap>& Bitmaps() const { return bitmaps_; }

private:
    TDispImages images_;
    std::string fileName_;
    bool hasBitmaps_ = false;
    std::vector<TDispBitmap> bitmaps_;
};

// One map. The dimensions are carried unchanged; this layer does not interpret them.
struct TDispMap {
    static constexpr size_t kHeaderSize = 32;
    static constexpr size_t kMaxName = 15;

    std::string name;  // only the first 15 characters are written or copied
    int32_t firstDimension = 0;
    int32_t secondDimension = 0;
    std::vector<uint8_t> data;
};

class TDispMaps {
public:
    // Each read clears the list first; the magic is skipped unchecked. On failure an
    // EDispLibrary is raised and the maps read before the failing one are kept.
    void ReadFromStream(std::istream& in);
    void ReadFromBuffer(std::span<const uint8_t> bytes);
    // "ML01", the last index, then every map's head and data. The pointer slot is written as 0.
    void WriteToStream(std::ostream& out) const;
    // Makes `dest` an independent duplicate of this list.
    void AssignTo(TDispMaps& dest) const;
    void Clear() { maps_.clear(); }

    int Count() const { return static_cast<int>(maps_.size()); }
    const TDispMap& Map(int index) const;
    TDispMap& Map(int index);

private:
    void Read(LibrarySource& source);

    std::vector<TDispMap> maps_;
};

// A map library component.
class TDispMapLib {
public:
    TDispMaps& Maps() { return maps_; }
    const TDispMaps& Maps() const { return maps_; }

private:
    TDispMaps maps_;
};

// Turns every image of a library into an off-screen surface of the screen: the surfaces held in
// `surfaces` are freed first, then one surface per image is made with the image's rows and
// transparent colour 0. With `loadPalette` the library palette becomes the screen's palette.
void LoadImageLibrary(TDispScreen& screen, const TDispImages& images, bool loadPalette,
                      std::vector<std::unique_ptr<TDispSurface>>& surfaces);

}  // namespace tw
