#pragma once
// Fonts by face name: fontconfig finds the installed font that best matches a name ("COURIER"
// finds a Courier-metric font), SDL_ttf draws its glyphs. Both are loaded with the first font
// asked for (platform/media_library). Sizes are points at 96 dots per inch.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

typedef struct _TTF_Font TTF_Font;

namespace tw {

struct TtfFunctions;

struct FontSpec {
    std::string name = "MS Sans Serif";
    int size = 8;        // points
    uint32_t color = 0;  // RGB value: red + green * 256 + blue * 65536
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    bool fixedPitch = false;  // ask for a fixed-pitch face

    bool operator==(const FontSpec& o) const {
        return name == o.name && size == o.size && color == o.color && bold == o.bold &&
               italic == o.italic && underline == o.underline && strikeout == o.strikeout &&
               fixedPitch == o.fixedPitch;
    }
};

// The pixel height of a point size at 96 dots per inch.
int PointsToPixels(int points);

// One character of a font, drawn once and kept: its box (the width the font gives the character
// on its own, the font's height) and which of the box's pixels are ink. A code the font has no
// glyph for (the control characters, mostly) gets the font's mark for a missing character.
struct Glyph {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> ink;  // width x height, row by row; 1 where the glyph is drawn
};

class FontCache {
public:
    explicit FontCache(size_t maxGlyphBytes = kMaxGlyphBytes);
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font that matches the description (colour aside), or null when none can be loaded.
    // The pointer holds until the next call: at most kMaxFonts fonts stay open, and opening one
    // more closes them all first.
    TTF_Font* Get(const FontSpec& wanted);
    static constexpr size_t kMaxFonts = 64;
    static constexpr size_t kMaxGlyphBytes = 64 * 1024 * 1024;
    // The largest pixel height a font is opened at: the height of the largest display.
    static constexpr int kMaxFontPixels = 768;
    static constexpr size_t kMaxFaceName = 31;

    // The glyph of a Latin-1 character in a font that Get gave (an empty one without a font).
    // Each glyph is drawn by the font library once and then reused. The reference holds until
    // the next call: the cache is bounded, and a full cache starts again empty.
    const Glyph& GlyphOf(TTF_Font* font, uint8_t character);
    // The width of a text in the font: the sum of its glyphs' widths.
    int64_t TextWidth(TTF_Font* font, std::string_view text);
    // The font's line height in pixels.
    static int Height(TTF_Font* font);

    // How many glyphs the font library has drawn for this cache, the bytes of those it keeps,
    // and the fonts it keeps open.
    int GlyphsRendered() const { return rendered_; }
    size_t GlyphBytes() const { return glyphBytes_; }
    size_t OpenFonts() const { return fonts_.size(); }

    // The families of the installed fonts, sorted, each once (read once per process).
    static const std::vector<std::string>& InstalledFamilies();

    // The font file that fontconfig matches for a face name ("" when none).
    static std::string MatchFile(const std::string& name, bool bold, bool italic, bool fixedPitch);

private:
    void CloseAll();
    // Starts the font library the first time a font is asked for; false when it cannot start.
    bool Ready();

    using Key = std::tuple<std::string, int, bool, bool, bool, bool, bool>;
    std::map<Key, TTF_Font*> fonts_;
    std::map<std::tuple<std::string, bool, bool, bool>, std::string> files_;
    std::map<TTF_Font*, std::unique_ptr<std::array<std::unique_ptr<Glyph>, 256>>> glyphs_;
    enum class Library : uint8_t { NotStarted, Ready, Unavailable } library_ = Library::NotStarted;
    const TtfFunctions* ttf_ = nullptr;  // when Ready
    int rendered_ = 0;
    size_t glyphBytes_ = 0;
    size_t drawnSinceOpen_ = 0;
    size_t maxGlyphBytes_;
};

}  // namespace tw
