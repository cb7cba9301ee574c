#include <gtest/gtest.h>

#include <SDL_ttf.h>

#include <cstdint>
#include <string>

#include "display/fonts.h"

namespace tw {
namespace {

TEST(Fonts, PointsBecomePixelsAtNinetySixDotsPerInch) {
    EXPECT_EQ(PointsToPixels(72), 96);
    EXPECT_EQ(PointsToPixels(8), 11);  // 10.67 rounds up
    EXPECT_EQ(PointsToPixels(12), 16);
    EXPECT_EQ(PointsToPixels(-12), 16);  // a negative size means the same height
    EXPECT_EQ(PointsToPixels(0), 0);
    // Sizes whose pixels no int holds stay the largest size rather than wrapping round.
    EXPECT_EQ(PointsToPixels(2000000000), INT32_MAX);
    EXPECT_EQ(PointsToPixels(INT32_MIN), INT32_MAX);
}

TEST(Fonts, NamesFindAnInstalledFaceOfTheRightPitch) {
    const std::string courier = FontCache::MatchFile("COURIER", false, false, true);
    ASSERT_FALSE(courier.empty());
    // Any name, even one no font carries, still finds something to draw with.
    EXPECT_FALSE(FontCache::MatchFile("NO SUCH FACE AT ALL", false, false, false).empty());
    EXPECT_FALSE(FontCache::MatchFile("", true, true, false).empty());

    FontCache cache;
    FontSpec wanted;
    wanted.name = "COURIER";
    wanted.size = 12;
    wanted.fixedPitch = true;
    TTF_Font* font = cache.Get(wanted);
    ASSERT_NE(font, nullptr);
    int narrow = 0, wide = 0, h = 0;
    ASSERT_EQ(TTF_SizeText(font, "iiii", &narrow, &h), 0);
    ASSERT_EQ(TTF_SizeText(font, "WWWW", &wide, &h), 0);
    EXPECT_EQ(narrow, wide);
}

TEST(Fonts, CacheKeepsOneFontPerDrawingDescription) {
    FontCache cache;
    FontSpec wanted;
    wanted.name = "Courier New";
    TTF_Font* a = cache.Get(wanted);
    ASSERT_NE(a, nullptr);

    FontSpec sameFace = wanted;
    sameFace.name = "COURIER NEW";  // names match in any case
    sameFace.color = 255;           // colour is the drawing's, not the font's
    EXPECT_EQ(cache.Get(sameFace), a);

    FontSpec larger = wanted;
    larger.size = 20;
    TTF_Font* b = cache.Get(larger);
    EXPECT_NE(b, a);
    EXPECT_GT(TTF_FontHeight(b), TTF_FontHeight(a));

    FontSpec underlined = wanted;
    underlined.underline = true;
    TTF_Font* c = cache.Get(underlined);
    ASSERT_NE(c, nullptr);
    EXPECT_NE(c, a);
    EXPECT_EQ(TTF_GetFontStyle(c) & TTF_STYLE_UNDERLINE, TTF_STYLE_UNDERLINE);
    EXPECT_EQ(TTF_GetFontStyle(a) & TTF_STYLE_UNDERLINE, 0);

    // An absurd size is held to the largest size a font is opened at.
    FontSpec huge = wanted;
    huge.size = 2000000000;
    TTF_Font* d = cache.Get(huge);
    ASSERT_NE(d, nullptr);
    EXPECT_GT(TTF_FontHeight(d), TTF_FontHeight(b));
}

}  // namespace
}  // namespace tw
