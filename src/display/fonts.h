#pragma once
// Fonts by face name: fontconfig finds the installed font that best matches a name ("COURIER"
// finds a Courier-metric font), SDL_ttf draws its glyphs. Sizes are points at 96 dots per inch.

#include <cstdint>
#include <map>
#include <string>
#include <tuple>

typedef struct _TTF_Font TTF_Font;

namespace tw {

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

class FontCache {
public:
    FontCache();
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The font that matches the description (colour aside), or null when none can be loaded.
    TTF_Font* Get(const FontSpec& wanted);

    // The font file that fontconfig matches for a face name ("" when none).
    static std::string MatchFile(const std::string& name, bool bold, bool italic, bool fixedPitch);

private:
    using Key = std::tuple<std::string, int, bool, bool, bool, bool, bool>;
    std::map<Key, TTF_Font*> fonts_;
    std::map<std::tuple<std::string, bool, bool, bool>, std::string> files_;
    bool ready_ = false;
};

}  // namespace tw
