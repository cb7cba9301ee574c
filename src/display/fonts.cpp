#include "display/fonts.h"

#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>

namespace tw {

int PointsToPixels(int points) {
    // Rounded, as the desktop's points-to-pixels conversion is.
    const int64_t p = points < 0 ? -int64_t{points} : points;
    return static_cast<int>(std::min<int64_t>((p * 96 + 36) / 72, INT32_MAX));
}

FontCache::FontCache() {
    ready_ = TTF_WasInit() > 0 || TTF_Init() == 0;
}

FontCache::~FontCache() {
    for (auto& [key, font] : fonts_) {
        if (font) TTF_CloseFont(font);
    }
}

std::string FontCache::MatchFile(const std::string& name, bool bold, bool italic, bool fixedPitch) {
    if (!FcInit()) return std::string();
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return std::string();
    if (!name.empty()) {
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (fixedPitch) FcPatternAddInteger(pattern, FC_SPACING, FC_MONO);
    // Only fonts SDL_ttf can draw.
    FcPatternAddString(pattern, FC_FONTFORMAT, reinterpret_cast<const FcChar8*>("TrueType"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    std::string file;
    if (match) {
        FcChar8* path = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
            file = reinterpret_cast<const char*>(path);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return file;
}

TTF_Font* FontCache::Get(const FontSpec& wanted) {
    if (!ready_) return nullptr;
    std::string upper = wanted.name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const int pixels = std::clamp(PointsToPixels(wanted.size), 1, 2000);
    Key key{upper,
            pixels,
            wanted.bold,
            wanted.italic,
            wanted.underline,
            wanted.strikeout,
            wanted.fixedPitch};
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;

    auto fileKey = std::make_tuple(upper, wanted.bold, wanted.italic, wanted.fixedPitch);
    auto file = files_.find(fileKey);
    if (file == files_.end()) {
        file = files_
                   .emplace(fileKey,
                            MatchFile(wanted.name, wanted.bold, wanted.italic, wanted.fixedPitch))
                   .first;
    }
    TTF_Font* font = file->second.empty() ? nullptr : TTF_OpenFont(file->second.c_str(), pixels);
    if (font) {
        int style = TTF_STYLE_NORMAL;
        if (wanted.underline) style |= TTF_STYLE_UNDERLINE;
        if (wanted.strikeout) style |= TTF_STYLE_STRIKETHROUGH;
        TTF_SetFontStyle(font, style);
        TTF_SetFontHinting(font, TTF_HINTING_MONO);
    }
    fonts_.emplace(key, font);
    return font;
}

}  // namespace tw
