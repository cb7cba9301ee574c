// The media libraries, opened at run time: a library or a function that is not there gives a
// message that names it (never a crash), and every table loads whole, once, and works.

#include <gtest/gtest.h>

#include <string>

#include "platform/media_library.h"

namespace tw {
namespace {

TEST(MediaLibrary, ALibraryThatIsNotThereIsNamedOnceWithTheSystemsReason) {
    const char* const missing = "libtarnwick-no-such-library.so.0";
    std::string why;
    EXPECT_EQ(OpenSharedLibrary(missing, why), nullptr);
    const std::string start = std::string(missing) + " cannot be loaded: ";
    ASSERT_EQ(why.rfind(start, 0), 0u) << why;
    EXPECT_GT(why.size(), start.size()) << why;
    EXPECT_EQ(why.find(missing, 1), std::string::npos) << why;
}

TEST(MediaLibrary, AFunctionTheLibraryLacksIsNamedWithTheLibrary) {
    std::string why;
    void* libc = OpenSharedLibrary("libc.so.6", why);
    ASSERT_NE(libc, nullptr) << why;
    EXPECT_NE(FindFunction(libc, "libc.so.6", "strlen", why), nullptr);
    EXPECT_EQ(FindFunction(libc, "libc.so.6", "tw_no_such_function", why), nullptr);
    EXPECT_EQ(why, "libc.so.6 has no function tw_no_such_function");
    // No library at all (one that failed to open) is no crash either.
    EXPECT_EQ(FindFunction(nullptr, "libc.so.6", "strlen", why), nullptr);
}

// A member left empty would crash its first caller: a table is given out only whole.
#define TW_EXPECT_FOUND(prefix, name) EXPECT_NE(table->name, nullptr) << #prefix #name;

TEST(MediaLibrary, EveryTableLoadsWholeOnceAndWorks) {
    std::string why;
    {
        const SdlFunctions* table = LoadSdl(&why);
        ASSERT_NE(table, nullptr) << why;
        EXPECT_EQ(LoadSdl(), table);
        TW_SDL_FUNCTIONS(TW_EXPECT_FOUND)
        EXPECT_GT(table->GetPerformanceFrequency(), 0u);
        // A surface made by the library is freed through it.
        UniqueSurface surface(
            table->CreateRGBSurfaceWithFormat(0, 4, 2, 8, SDL_PIXELFORMAT_INDEX8));
        ASSERT_NE(surface, nullptr) << table->GetError();
        EXPECT_EQ(surface->w, 4);
    }
    {
        const TtfFunctions* table = LoadTtf(&why);
        ASSERT_NE(table, nullptr) << why;
        EXPECT_EQ(LoadTtf(), table);
        TW_TTF_FUNCTIONS(TW_EXPECT_FOUND)
    }
    {
        const ImgFunctions* table = LoadImg(&why);
        ASSERT_NE(table, nullptr) << why;
        EXPECT_EQ(LoadImg(), table);
        TW_IMG_FUNCTIONS(TW_EXPECT_FOUND)
    }
    {
        const FcFunctions* table = LoadFontconfig(&why);
        ASSERT_NE(table, nullptr) << why;
        EXPECT_EQ(LoadFontconfig(), table);
        TW_FC_FUNCTIONS(TW_EXPECT_FOUND)
        EXPECT_TRUE(table->Init());
    }
}

#undef TW_EXPECT_FOUND

}  // namespace
}  // namespace tw
