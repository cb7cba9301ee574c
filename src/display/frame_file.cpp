#include "display/frame_file.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "platform/files.h"
#include "platform/media_library.h"

namespace tw {

namespace {

bool EndsWithBmp(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".bmp";
}

}  // namespace

bool WriteFrame(const Frame& frame, const std::string& path, std::string& error) {
    if (!frame.Valid()) {
        error = "there is no frame to write";
        return false;
    }
    // SDL writes a BMP, SDL_image a PNG.
    const bool png = !EndsWithBmp(path);
    const SdlFunctions* sdl = LoadSdl(&error);
    const ImgFunctions* img = sdl && png ? LoadImg(&error) : nullptr;
    if (!sdl || (png && !img)) return false;
    const UniqueSurface surface(
        sdl->CreateRGBSurfaceWithFormat(0, frame.width, frame.height, 8, SDL_PIXELFORMAT_INDEX8));
    if (!surface) {
        error = sdl->GetError();
        return false;
    }
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i] =
            SDL_Color{frame.palette[i].red, frame.palette[i].green, frame.palette[i].blue, 255};
    }
    sdl->SetPaletteColors(surface->format->palette, colours, 0, 256);
    for (int y = 0; y < frame.height; ++y) {
        std::memcpy(static_cast<uint8_t*>(surface->pixels) + y * surface->pitch,
                    &frame.indices[static_cast<size_t>(y) * frame.width], frame.width);
    }
    // Into memory first, then to the disk through the safe writer. The buffer holds the largest
    // file either format can make of this frame: a PNG that could not compress at all (a filter
    // byte a row, its chunks' and zlib's framing) or a BMP with its rows padded to 4 bytes.
    const size_t pixels = static_cast<size_t>(frame.width + 4) * frame.height;
    std::vector<uint8_t> bytes(pixels + pixels / 64 + 65536);
    SDL_RWops* memory = sdl->RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    if (!memory) {
        error = sdl->GetError();
        return false;
    }
    const int rc =
        png ? img->SavePNG_RW(surface.get(), memory, 0) : sdl->SaveBMP_RW(surface.get(), memory, 0);
    const Sint64 size = memory->seek(memory, 0, RW_SEEK_CUR);
    memory->close(memory);
    if (rc != 0 || size < 0) {
        error = rc != 0 ? sdl->GetError() : "the picture could not be made";
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    return WriteFileAtomically(path, bytes, error);
}

bool ReadFrame(const std::string& path, Frame& frame, std::string& error) {
    const SdlFunctions* sdl = LoadSdl(&error);
    const ImgFunctions* img = sdl ? LoadImg(&error) : nullptr;
    if (!img) return false;
    const UniqueSurface surface(img->Load(path.c_str()));
    if (!surface) {
        error = sdl->GetError();
        return false;
    }
    if (!surface->format->palette || surface->format->BitsPerPixel != 8) {
        error = "not an 8-bit picture with a palette";
        return false;
    }
    frame.width = surface->w;
    frame.height = surface->h;
    frame.indices.resize(static_cast<size_t>(frame.width) * frame.height);
    for (int y = 0; y < frame.height; ++y) {
        std::memcpy(&frame.indices[static_cast<size_t>(y) * frame.width],
                    static_cast<uint8_t*>(surface->pixels) + y * surface->pitch, frame.width);
    }
    const SDL_Palette* p = surface->format->palette;
    for (int i = 0; i < 256; ++i) {
        frame.palette[i] = i < p->ncolors
                               ? PaletteEntry{p->colors[i].r, p->colors[i].g, p->colors[i].b, 0}
                               : PaletteEntry{};
    }
    return true;
}

}  // namespace tw
