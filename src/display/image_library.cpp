#include "display/image_library.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <limits>
#include <ostream>
#include <utility>

#include "display/disp_screen.h"
#include "platform/files.h"

namespace tw {

namespace {

int32_t GetInt32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 |
                                uint32_t{p[3]} << 24);
}

void PutInt32(uint8_t* p, int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

void WriteBytes(std::ostream& out, const uint8_t* bytes, size_t count) {
    out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
}

// A stream of unknown length is read in pieces of this size, so that a size claimed by the input
// costs memory only as fast as the input really delivers bytes.
constexpr size_t kPiece = size_t{1} << 16;

}  // namespace

// Where a reader's bytes come from: a buffer, or a stream. The number of bytes that remain is
// known for a buffer and for a stream that can seek; sizes in the input are checked against it
// before anything is allocated.
class LibrarySource {
public:
    LibrarySource(std::span<const uint8_t> bytes, const char* library)
        : library_(library), bytes_(bytes), known_(true), remaining_(bytes.size()) {}

    LibrarySource(std::istream& in, const char* library) : library_(library), in_(&in) {
        // A stream that cannot tell its position (a pipe) is read without knowing its length.
        std::streambuf* buffer = in.rdbuf();
        if (!in || !buffer) return;
        const std::streampos here = buffer->pubseekoff(0, std::ios::cur, std::ios::in);
        if (here == std::streampos(-1)) return;
        const std::streampos end = buffer->pubseekoff(0, std::ios::end, std::ios::in);
        if (buffer->pubseekpos(here, std::ios::in) != here) {
            in.setstate(std::ios::failbit);  // lost its place: reading fails at once
            return;
        }
        if (end == std::streampos(-1) || end < here) return;
        known_ = true;
        remaining_ = static_cast<uint64_t>(end - here);
    }

    const char* Library() const { return library_; }
    bool Known() const { return known_; }
    uint64_t Remaining() const { return remaining_; }

    void Read(uint8_t* to, size_t count) {
        if (count == 0) return;  // an empty vector's data() may be null
        if (!in_) {
            if (count > remaining_) EndsEarly(count - remaining_);
            std::memcpy(to, bytes_.data() + (bytes_.size() - remaining_), count);
            remaining_ -= count;
            return;
        }
        in_->read(reinterpret_cast<char*>(to), static_cast<std::streamsize>(count));
        const auto got = static_cast<size_t>(in_->gcount());
        remaining_ -= std::min<uint64_t>(remaining_, got);
        if (got < count) EndsEarly(count - got);
    }

    int32_t Int32() {
        uint8_t bytes[4];
        Read(bytes, 4);
        return GetInt32(bytes);
    }

    // Reads `count` bytes into `into`. When the remaining size is known the caller has checked
    // `count` against it; otherwise memory grows only with the bytes actually read.
    void ReadInto(std::vector<uint8_t>& into, uint64_t count, const std::string& noMemory) {
        const uint64_t first = known_ ? count : std::min<uint64_t>(count, kPiece);
        Grow(into, first, noMemory);
        Read(into.data(), static_cast<size_t>(first));
        while (into.size() < count) {
            const uint64_t done = into.size();
            const uint64_t piece = std::min<uint64_t>(count - done, kPiece);
            Grow(into, done + piece, noMemory);
            in_->read(reinterpret_cast<char*>(into.data() + done),
                      static_cast<std::streamsize>(piece));
            const auto got = static_cast<uint64_t>(in_->gcount());
            if (got < piece) EndsEarly(count - done - got);
        }
    }

private:
    static void Grow(std::vector<uint8_t>& into, uint64_t size, const std::string& noMemory) {
        try {
            if (size > into.max_size()) throw std::bad_alloc();
            into.resize(static_cast<size_t>(size));
        } catch (const std::bad_alloc&) {
            throw EDispLibrary(noMemory);
        } catch (const std::length_error&) {
            throw EDispLibrary(noMemory);
        }
    }

    [[noreturn]] void EndsEarly(uint64_t missing) const {
        throw EDispLibrary(std::string(library_) + " ends early: " + std::to_string(missing) +
                           " bytes missing");
    }

    const char* library_;
    std::span<const uint8_t> bytes_;
    std::istream* in_ = nullptr;
    bool known_ = false;
    uint64_t remaining_ = 0;
};

namespace {

constexpr const char* kImageLibrary = "Image library";
constexpr const char* kMapLibrary = "Map library";

// A count that could not fit in what remains is refused before the list grows.
void CheckCount(const LibrarySource& source, int64_t count, uint64_t leastBytesEach,
                const char* items) {
    if (source.Known() && static_cast<uint64_t>(count) * leastBytesEach > source.Remaining()) {
        throw EDispLibrary(std::string(source.Library()) + ": " + std::to_string(count) + " " +
                           items + " cannot fit in the " + std::to_string(source.Remaining()) +
                           " bytes that remain");
    }
}

// A size larger than what remains is refused before its memory is allocated.
void CheckSize(const LibrarySource& source, uint64_t bytes, const std::string& whose) {
    if (source.Known() && bytes > source.Remaining()) {
        throw EDispLibrary(std::string(source.Library()) + ": " + whose + " needs " +
                           std::to_string(bytes) + " bytes but only " +
                           std::to_string(source.Remaining()) + " remain");
    }
}

}  // namespace

int64_t ImageStride(int64_t width) {
    return (width * 8 + 31) / 32 * 4;
}

// ---------------------------------------------------------------------------------------------
// Images

int32_t TDispImage::Width() const {
    return GetInt32(&header_[0]);
}
int32_t TDispImage::Height() const {
    return GetInt32(&header_[4]);
}

TDispImages::TDispImages() {
    Clear();
}

void TDispImages::Clear() {
    images_.clear();
    header_.fill(0);
    std::memcpy(header_.data(), "IL10", 4);
}

void TDispImages::ReadFromStream(std::istream& in) {
    LibrarySource source(in, kImageLibrary);
    Read(source);
}

void TDispImages::ReadFromBuffer(std::span<const uint8_t> bytes) {
    LibrarySource source(bytes, kImageLibrary);
    Read(source);
}

void TDispImages::LoadFromFile(const std::string& path) {
    // Read whole and bounded first: a library file is never larger than this.
    constexpr size_t kMaxLibraryBytes = 256 * 1024 * 1024;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!ReadWholeFile(path, kMaxLibraryBytes, bytes, error)) {
        throw EDispLibrary("Cannot open the image library \"" + path + "\"");
    }
    ReadFromBuffer(bytes);
}

void TDispImages::Read(LibrarySource& source) {
    Clear();
    std::array<uint8_t, kHeaderSize> header;
    source.Read(header.data(), header.size());
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = header[i];
        const uint8_t upper = c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 'a' + 'A') : c;
        if (upper != "IL10"[i]) throw EDispLibrary("Not a valid Image Library File");
    }
    header_ = header;
    const int32_t count = GetInt32(&header[4]);
    if (count < 0) {
        throw EDispLibrary("Image library: the image count " + std::to_string(count) +
                           " is negative");
    }
    CheckCount(source, count, TDispImage::kHeaderSize, "images");
    for (int32_t i = 0; i < count; ++i) {
        TDispImage image;
        source.Read(image.header_.data(), image.header_.size());
        const std::string whose = "image " + std::to_string(i);
        if (image.Width() < 0 || image.Height() < 0) {
            throw EDispLibrary("Image library: " + whose + " has a negative size (" +
                               std::to_string(image.Width()) + " x " +
                               std::to_string(image.Height()) + ")");
        }
        // At most (2^31 + 3) x (2^31 - 1): no overflow in 64 bits.
        const auto bytes =
            static_cast<uint64_t>(image.Stride()) * static_cast<uint64_t>(image.Height());
        CheckSize(source, bytes, whose);
        source.ReadInto(image.bits_, bytes, "TDispImage: GemMem Failed for ImgHdr.Bits");
        try {
            images_.push_back(std::move(image));
        } catch (const std::bad_alloc&) {
            throw EDispLibrary("TDispImage: GemMem Failed for FImages");
        }
    }
}

void TDispImages::WriteToStream(std::ostream& out) const {
    // The held count is the file's; after a partial read fewer images are held than it says.
    std::array<uint8_t, kHeaderSize> header = header_;
    PutInt32(&header[4], Count());
    WriteBytes(out, header.data(), header.size());
    for (const TDispImage& image : images_) {
        WriteBytes(out, image.header_.data(), image.header_.size());
        WriteBytes(out, image.bits_.data(), image.bits_.size());
    }
    if (!out) throw EDispLibrary("Image library could not be written");
}

void TDispImages::AssignTo(TDispImages& dest) const {
    std::vector<TDispImage> copies;
    try {
        copies.reserve(images_.size());
    } catch (const std::bad_alloc&) {
        throw EDispLibrary("TDispImages.AssignTo failed");
    }
    for (const TDispImage& image : images_) {
        TDispImage copy;
        copy.header_ = image.header_;
        try {
            copy.bits_ = image.bits_;
        } catch (const std::bad_alloc&) {
            throw EDispLibrary("TDispImages.AssignTo failed (GetMem): " +
                               std::to_string(image.bits_.size()));
        }
        copies.push_back(std::move(copy));
    }
    dest.header_ = header_;
    dest.images_ = std::move(copies);
}

const TDispImage& TDispImages::Image(int index) const {
    if (index < 0 || index >= Count()) {
        throw EDispLibrary("Image library: there is no image " + std::to_string(index));
    }
    return images_[static_cast<size_t>(index)];
}

TDispImage& TDispImages::Image(int index) {
    return const_cast<TDispImage&>(std::as_const(*this).Image(index));
}

Palette TDispImages::LibraryPalette() const {
    Palette palette{};
    for (size_t i = 0; i < palette.size(); ++i) {
        const uint8_t* entry = &header_[12 + 4 * i];
        palette[i] = PaletteEntry{entry[0], entry[1], entry[2], 0};
    }
    return palette;
}

// ---------------------------------------------------------------------------------------------
// The image library component

void TDispImageLib::LoadFromFile(const std::string& path) {
    // The name is taken first: after a failed load the library holds what was read of this file,
    // and a reload tries it again.
    fileName_ = path;
    try {
        images_.LoadFromFile(path);
    } catch (...) {
        if (hasBitmaps_) BuildBitmaps();
        throw;
    }
    if (hasBitmaps_) BuildBitmaps();
}

void TDispImageLib::Reload() {
    if (fileName_.empty()) throw EDispLibrary("LoadFromFile must be called first");
    LoadFromFile(std::string(fileName_));
}

void TDispImageLib::BuildBitmaps() {
    const Palette library = images_.LibraryPalette();
    Palette palette{};
    std::copy(library.begin() + 1, library.end(), palette.begin() + 1);
    std::vector<TDispBitmap> bitmaps;
    for (int i = 0; i < images_.Count(); ++i) {
        const TDispImage& image = images_.Image(i);
        const uint8_t* pixels = image.Pixels();
        bitmaps.push_back(TDispBitmap{image.Width(), image.Height(), image.Stride(), palette,
                                      std::vector<uint8_t>(pixels, pixels + image.PixelBytes())});
    }
    bitmaps_ = std::move(bitmaps);
    hasBitmaps_ = true;
}

void TDispImageLib::FreeBitmaps() {
    bitmaps_.clear();
    hasBitmaps_ = false;
}

// ---------------------------------------------------------------------------------------------
// Maps

void TDispMaps::ReadFromStream(std::istream& in) {
    LibrarySource source(in, kMapLibrary);
    Read(source);
}

void TDispMaps::ReadFromBuffer(std::span<const uint8_t> bytes) {
    LibrarySource source(bytes, kMapLibrary);
    Read(source);
}

void TDispMaps::Read(LibrarySource& source) {
    Clear();
    uint8_t magic[4];
    source.Read(magic, sizeof magic);
    const int32_t last = source.Int32();
    if (last < -1) {
        throw EDispLibrary("Map library: the last index " + std::to_string(last) + " is below -1");
    }
    const int64_t count = int64_t{last} + 1;
    CheckCount(source, count, TDispMap::kHeaderSize, "maps");
    for (int64_t i = 0; i < count; ++i) {
        uint8_t header[TDispMap::kHeaderSize];
        source.Read(header, sizeof header);
        TDispMap map;
        // A length byte above 15 would run past the name's 15 characters.
        const size_t length = std::min<size_t>(header[0], TDispMap::kMaxName);
        map.name.assign(reinterpret_cast<const char*>(header + 1), length);
        map.firstDimension = GetInt32(header + 16);
        map.secondDimension = GetInt32(header + 20);
        const int32_t size = GetInt32(header + 24);
        const std::string whose = "map " + std::to_string(i);
        if (size < 0) {
            throw EDispLibrary("Map library: " + whose + " has a negative data size (" +
                               std::to_string(size) + ")");
        }
        CheckSize(source, static_cast<uint64_t>(size), whose);
        source.ReadInto(map.data, static_cast<uint64_t>(size),
                        "Map library: no memory for the data of " + whose);
        maps_.push_back(std::move(map));
    }
}

void TDispMaps::WriteToStream(std::ostream& out) const {
    uint8_t head[8] = {'M', 'L', '0', '1'};
    PutInt32(head + 4, Count() - 1);
    WriteBytes(out, head, sizeof head);
    for (size_t i = 0; i < maps_.size(); ++i) {
        const TDispMap& map = maps_[i];
        if (map.data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
            throw EDispLibrary("Map library: map " + std::to_string(i) +
                               " is too large to write (" + std::to_string(map.data.size()) +
                               " bytes)");
        }
        uint8_t header[TDispMap::kHeaderSize] = {};
        const size_t length = std::min(map.name.size(), TDispMap::kMaxName);
        header[0] = static_cast<uint8_t>(length);
        std::memcpy(header + 1, map.name.data(), length);
        PutInt32(header + 16, map.firstDimension);
        PutInt32(header + 20, map.secondDimension);
        PutInt32(header + 24, static_cast<int32_t>(map.data.size()));
        WriteBytes(out, header, sizeof header);
        WriteBytes(out, map.data.data(), map.data.size());
    }
    if (!out) throw EDispLibrary("Map library could not be written");
}

void TDispMaps::AssignTo(TDispMaps& dest) const {
    std::vector<TDispMap> copies;
    try {
        copies.reserve(maps_.size());
        for (const TDispMap& map : maps_) {
            copies.push_back(TDispMap{map.name.substr(0, TDispMap::kMaxName), map.firstDimension,
                                      map.secondDimension, map.data});
        }
    } catch (const std::bad_alloc&) {
        throw EDispLibrary("TDispMaps.AssignTo failed (GetMem)");
    }
    dest.maps_ = std::move(copies);
}

const TDispMap& TDispMaps::Map(int index) const {
    if (index < 0 || index >= Count()) {
        throw EDispLibrary("Map library: there is no map " + std::to_string(index));
    }
    return maps_[static_cast<size_t>(index)];
}

TDispMap& TDispMaps::Map(int index) {
    return const_cast<TDispMap&>(std::as_const(*this).Map(index));
}

// ---------------------------------------------------------------------------------------------
// Loading a library into the screen

void LoadImageLibrary(TDispScreen& screen, const TDispImages& images, bool loadPalette,
                      std::vector<std::unique_ptr<TDispSurface>>& surfaces) {
    surfaces.clear();
    if (loadPalette) screen.SetPalette(images.LibraryPalette());
    for (int i = 0; i < images.Count(); ++i) {
        const TDispImage& image = images.Image(i);
        auto surface = std::make_unique<TDispSurface>(screen, image.Width(), image.Height());
        const auto width = static_cast<size_t>(image.Width());
        for (int64_t row = 0; row < image.Height(); ++row) {
            std::memcpy(surface->Pixels() + row * surface->Pitch(),
                        image.Pixels() + row * image.Stride(), width);
        }
        surface->SetTransparentColor(0);
        surfaces.push_back(std::move(surface));
    }
}

}  // namespace tw
