#include "display/fonts.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cctype>
#include <set>

#include "platform/media_library.h"

namespace tw {

int PointsToPixels(int points) {
    // Rounded, as the desktop's points-to-pixels conversion is.
    const int64_t p = points < 0 ? -int64_t{points} : points;
    return static_cast<int>(std::min<int64_t>((p * 96 + 36) / 72, INT32_MAX));
}

FontCache::FontCache(size_t maxGlyphBytes) : maxGlyphBytes_(maxGlyphBytes) {}

FontCache::~FontCache() {
    CloseAll();
}

void FontCache::CloseAll() {
    glyphs_.clear();
    glyphBytes_ = 0;
    drawnSinceOpen_ = 0;
    for (auto& [key, font] : fonts_) {
        if (font) ttf_->CloseFont(font);
    }
    fonts_.clear();
}

std::string FontCache::MatchFile(const std::string& name, bool bold, bool italic, bool fixedPitch) {
    const FcFunctions* fc = LoadFontconfig();
    if (!fc || !fc->Init()) return std::string();
    FcPattern* pattern = fc->PatternCreate();
    if (!pattern) return std::string();
    if (!name.empty()) {
        fc->PatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    }
    fc->PatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    fc->PatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    if (fixedPitch) fc->PatternAddInteger(pattern, FC_SPACING, FC_MONO);
    // Only fonts SDL_ttf can draw.
    fc->PatternAddString(pattern, FC_FONTFORMAT, reinterpret_cast<const FcChar8*>("TrueType"));
    fc->ConfigSubstitute(nullptr, pattern, FcMatchPattern);
    fc->DefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = fc->FontMatch(nullptr, pattern, &result);
    std::string file;
    if (match) {
        FcChar8* path = nullptr;
        if (fc->PatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path) {
            file = reinterpret_cast<const char*>(path);
        }
        fc->PatternDestroy(match);
    }
    fc->PatternDestroy(pattern);
    return file;
}

bool FontCache::Ready() {
    if (library_ == Library::NotStarted) {
        // A font library that cannot be loaded is one that cannot start: no font opens, and
        // text is measured and drawn as with a font that cannot be opened.
        ttf_ = LoadTtf();
        library_ = ttf_ && (ttf_->WasInit() > 0 || ttf_->Init() == 0) ? Library::Ready
                                                                      : Library::Unavailable;
    }
    return library_ == Library::Ready;
}

TTF_Font* FontCache::Get(const FontSpec& wanted) {
    if (!Ready()) return nullptr;
    // A face name holds at most 31 characters, as on the desktop the programs were written for.
    const std::string name = wanted.name.substr(0, kMaxFaceName);
    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    const int pixels = std::clamp(PointsToPixels(wanted.size), 1, kMaxFontPixels);
    Key key{upper,
            pixels,
            wanted.bold,
            wanted.italic,
            wanted.underline,
            wanted.strikeout,
            wanted.fixedPitch};
    // The font library keeps glyphs of its own for every open font, about as many bytes as
    // this cache has drawn with them: fonts are closed (here, where no caller still holds one)
    // when those bytes pass the budget.
    if (drawnSinceOpen_ > maxGlyphBytes_) CloseAll();
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    // A program that goes through many sizes and styles does not keep them all open.
    if (fonts_.size() >= kMaxFonts) CloseAll();

    auto fileKey = std::make_tuple(upper, wanted.bold, wanted.italic, wanted.fixedPitch);
    auto file = files_.find(fileKey);
    if (file == files_.end()) {
        if (files_.size() >= kMaxFonts) files_.clear();
        file =
            files_.emplace(fileKey, MatchFile(name, wanted.bold, wanted.italic, wanted.fixedPitch))
                .first;
    }
    TTF_Font* font = file->second.empty() ? nullptr : ttf_->OpenFont(file->second.c_str(), pixels);
    if (font) {
        int style = TTF_STYLE_NORMAL;
        if (wanted.underline) style |= TTF_STYLE_UNDERLINE;
        if (wanted.strikeout) style |= TTF_STYLE_STRIKETHROUGH;
        ttf_->SetFontStyle(font, style);
        ttf_->SetFontHinting(font, TTF_HINTING_MONO);
    }
    fonts_.emplace(key, font);
    return font;
}

namespace {

// Draws one character with the font library: an 8-bit surface whose non-zero pixels are ink.
Glyph RenderGlyph(TTF_Font* font, uint8_t character) {
    Glyph g;
    // A font comes from the loaded library.
    const TtfFunctions* ttf = font ? LoadTtf() : nullptr;
    if (!ttf) return g;
    const UniqueSurface surface(
        ttf->RenderGlyph_Solid(font, uint16_t{character}, SDL_Color{255, 255, 255, 255}));
    if (!surface) return g;
    g.width = surface->w;
    g.height = surface->h;
    g.ink.assign(static_cast<size_t>(g.width) * g.height, 0);
    for (int y = 0; y < g.height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch;
        for (int x = 0; x < g.width; ++x) {
            g.ink[static_cast<size_t>(y) * g.width + x] = row[x] != 0;
        }
    }
    return g;
}

}  // namespace

const Glyph& FontCache::GlyphOf(TTF_Font* font, uint8_t character) {
    static const Glyph none;
    if (!font) return none;
    if (auto found = glyphs_.find(font); found != glyphs_.end()) {
        if (const std::unique_ptr<Glyph>& glyph = (*found->second)[character]) return *glyph;
    }
    Glyph drawn = RenderGlyph(font, character);
    ++rendered_;
    drawnSinceOpen_ += drawn.ink.size();
    // Large glyphs of many fonts do not pile up: when the cache is full, the other fonts' glyphs
    // go first, then this font's.
    if (glyphBytes_ + drawn.ink.size() > maxGlyphBytes_) {
        for (auto it = glyphs_.begin(); it != glyphs_.end();) {
            it = it->first == font ? std::next(it) : glyphs_.erase(it);
        }
        glyphBytes_ = 0;
        for (const auto& [owner, table] : glyphs_) {
            for (const std::unique_ptr<Glyph>& kept : *table) {
                if (kept) glyphBytes_ += kept->ink.size();
            }
        }
        if (glyphBytes_ + drawn.ink.size() > maxGlyphBytes_) {
            glyphs_.clear();
            glyphBytes_ = 0;
        }
    }
    glyphBytes_ += drawn.ink.size();
    auto& table = glyphs_[font];
    if (!table) table = std::make_unique<std::array<std::unique_ptr<Glyph>, 256>>();
    std::unique_ptr<Glyph>& glyph = (*table)[character];
    glyph = std::make_unique<Glyph>(std::move(drawn));
    return *glyph;
}

int64_t FontCache::TextWidth(TTF_Font* font, std::string_view text) {
    if (!font) return 0;
    // Each character's width is looked up once: a long text costs an addition per character.
    std::array<int64_t, 256> widths;
    std::bitset<256> known;
    int64_t width = 0;
    for (const char c : text) {
        const uint8_t k = static_cast<uint8_t>(c);
        if (!known[k]) {
            widths[k] = GlyphOf(font, k).width;
            known[k] = true;
        }
        width += widths[k];
    }
    return width;
}

int FontCache::Height(TTF_Font* font) {
    const TtfFunctions* ttf = font ? LoadTtf() : nullptr;
    return ttf ? ttf->FontHeight(font) : 0;
}

const std::vector<std::string>& FontCache::InstalledFamilies() {
    static const std::vector<std::string> families = [] {
        std::set<std::string> names;
        const FcFunctions* fc = LoadFontconfig();
        if (fc && fc->Init()) {
            // The faces the font library can draw, as FONT NAME finds them.
            FcPattern* pattern = fc->PatternCreate();
            if (pattern) {
                fc->PatternAddString(pattern, FC_FONTFORMAT,
                                     reinterpret_cast<const FcChar8*>("TrueType"));
            }
            FcObjectSet* objects = fc->ObjectSetBuild(FC_FAMILY, nullptr);
            FcFontSet* set = pattern && objects ? fc->FontList(nullptr, pattern, objects) : nullptr;
            for (int i = 0; set && i < set->nfont; ++i) {
                FcChar8* family = nullptr;
                // A font may name its family in several languages; the first name is its own.
                if (fc->PatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch &&
                    family) {
                    names.insert(reinterpret_cast<const char*>(family));
                }
            }
            if (set) fc->FontSetDestroy(set);
            if (objects) fc->ObjectSetDestroy(objects);
            if (pattern) fc->PatternDestroy(pattern);
        }
        std::vector<std::string> sorted(names.begin(), names.end());
        // In the order a person reads a list: letters alike in either case.
        std::stable_sort(
            sorted.begin(), sorted.end(), [](const std::string& a, const std::string& b) {
                return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                                    [](unsigned char x, unsigned char y) {
                                                        return std::tolower(x) < std::tolower(y);
                                                    });
            });
        return sorted;
    }();
    return families;
}

}  // namespace tw
