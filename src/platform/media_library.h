#pragma once
// The media libraries, opened when first needed rather than linked: SDL2 (the window, and the
// surfaces that glyphs and frame files pass through), SDL2_ttf (glyphs), SDL2_image (PNG files)
// and fontconfig (a font file for a face name). Linked, they bring some seventy libraries into
// every process (X11, Wayland, the sound servers, freetype, harfbuzz, the image codecs), whose
// loading alone took most of the start of a run that shows no window, text or frame file.
//
// Each library's functions are listed once, without their prefix: the list gives the table's
// members, with the types the library's own header declares, and the names looked up in it. A
// library that cannot be opened, or that lacks a listed function, gives no table and a message
// that names it; its users then carry on as they do when the library itself fails (no font, no
// frame file, no window).

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <memory>
#include <string>

// X(prefix, name): the function prefix##name, a member `name` of the table.
#define TW_SDL_FUNCTIONS(X)             \
    X(SDL_, GetError)                   \
    X(SDL_, CreateRGBSurfaceWithFormat) \
    X(SDL_, FreeSurface)                \
    X(SDL_, SetPaletteColors)           \
    X(SDL_, RWFromMem)                  \
    X(SDL_, SaveBMP_RW)                 \
    X(SDL_, InitSubSystem)              \
    X(SDL_, QuitSubSystem)              \
    X(SDL_, PollEvent)                  \
    X(SDL_, GetKeyboardState)           \
    X(SDL_, ShowSimpleMessageBox)       \
    X(SDL_, GetDisplayUsableBounds)     \
    X(SDL_, CreateWindow)               \
    X(SDL_, DestroyWindow)              \
    X(SDL_, GetWindowFlags)             \
    X(SDL_, SetWindowFullscreen)        \
    X(SDL_, SetWindowSize)              \
    X(SDL_, GetWindowDisplayMode)       \
    X(SDL_, SetHint)                    \
    X(SDL_, ShowCursor)                 \
    X(SDL_, CreateRenderer)             \
    X(SDL_, DestroyRenderer)            \
    X(SDL_, RenderSetLogicalSize)       \
    X(SDL_, SetRenderDrawColor)         \
    X(SDL_, RenderClear)                \
    X(SDL_, RenderCopy)                 \
    X(SDL_, RenderPresent)              \
    X(SDL_, CreateTexture)              \
    X(SDL_, DestroyTexture)             \
    X(SDL_, LockTexture)                \
    X(SDL_, UnlockTexture)              \
    X(SDL_, GetPerformanceFrequency)    \
    X(SDL_, GetPerformanceCounter)      \
    X(SDL_, Delay)

#define TW_TTF_FUNCTIONS(X) \
    X(TTF_, WasInit)        \
    X(TTF_, Init)           \
    X(TTF_, OpenFont)       \
    X(TTF_, CloseFont)      \
    X(TTF_, SetFontStyle)   \
    X(TTF_, SetFontHinting) \
    X(TTF_, FontHeight)     \
    X(TTF_, RenderGlyph_Solid)

#define TW_IMG_FUNCTIONS(X) \
    X(IMG_, Load)           \
    X(IMG_, SavePNG_RW)

#define TW_FC_FUNCTIONS(X)   \
    X(Fc, Init)              \
    X(Fc, PatternCreate)     \
    X(Fc, PatternDestroy)    \
    X(Fc, PatternAddString)  \
    X(Fc, PatternAddInteger) \
    X(Fc, PatternGetString)  \
    X(Fc, ConfigSubstitute)  \
    X(Fc, DefaultSubstitute) \
    X(Fc, FontMatch)         \
    X(Fc, FontList)          \
    X(Fc, FontSetDestroy)    \
    X(Fc, ObjectSetBuild)    \
    X(Fc, ObjectSetDestroy)

namespace tw {

#define TW_MEDIA_MEMBER(prefix, name) decltype(&::prefix##name) name = nullptr;
struct SdlFunctions {
    TW_SDL_FUNCTIONS(TW_MEDIA_MEMBER)
};
struct TtfFunctions {
    TW_TTF_FUNCTIONS(TW_MEDIA_MEMBER)
};
struct ImgFunctions {
    TW_IMG_FUNCTIONS(TW_MEDIA_MEMBER)
};
struct FcFunctions {
    TW_FC_FUNCTIONS(TW_MEDIA_MEMBER)
};
#undef TW_MEDIA_MEMBER

// The sonames opened: the names the libraries' runtime packages install.
inline constexpr char kSdlLibrary[] = "libSDL2-2.0.so.0";
inline constexpr char kTtfLibrary[] = "libSDL2_ttf-2.0.so.0";
inline constexpr char kImgLibrary[] = "libSDL2_image-2.0.so.0";
inline constexpr char kFcLibrary[] = "libfontconfig.so.1";

// A library's table, opened with the first call and kept for the life of the process; null when
// it cannot be opened, with the reason in `why` (every later call gives the same answer).
const SdlFunctions* LoadSdl(std::string* why = nullptr);
const TtfFunctions* LoadTtf(std::string* why = nullptr);
const ImgFunctions* LoadImg(std::string* why = nullptr);
const FcFunctions* LoadFontconfig(std::string* why = nullptr);

// The two steps of a load, for any library. OpenSharedLibrary opens one by its file name (a
// soname is looked for where the system keeps libraries) and never closes it; null, with a
// message that names the library and what the system said, when it cannot.
void* OpenSharedLibrary(const char* soname, std::string& why);
// The address of a function of an open library; null, with a message that names both, when the
// library has none of that name.
void* FindFunction(void* library, const char* soname, const char* name, std::string& why);

// An SDL surface, freed (through the loaded library) when it goes out of scope.
struct SurfaceDeleter {
    void operator()(SDL_Surface* surface) const;
};
using UniqueSurface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

}  // namespace tw
