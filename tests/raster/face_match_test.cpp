// The table of fontconfig's choices, which draws text where there is no fontconfig, held
// to what fontconfig answers on this desktop for every family and style in it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "raster/face_match.h"
#include "raster/fonts.h"
#include "raster/picture.h"

namespace hoopcast::raster {
namespace {

std::string file_name(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

constexpr const char* kStyleNames[] = {"regular", "bold", "italic", "bold italic"};

TEST(FaceMatch, TheTableChoosesWhatFontconfigChoosesForEveryFamilyAndStyle) {
    const auto fontconfig = system_face_matcher();
    const auto table = table_face_matcher("/fonts");
    for (const FontChoice& choice : font_choices()) {
        const std::string family(choice.family);
        for (int style = 0; style < 4; ++style) {
            SCOPED_TRACE(family + " " + kStyleNames[style]);
            const bool bold = (style & 1) != 0, italic = (style & 2) != 0;
            const auto desktop = fontconfig->match(family, bold, italic, false);
            const auto ours = table->match(family, bold, italic, false);
            ASSERT_TRUE(desktop.has_value());
            ASSERT_TRUE(ours.has_value());
            EXPECT_EQ(file_name(desktop->file), choice.files[static_cast<std::size_t>(style)]);
            EXPECT_EQ(ours->file, "/fonts/" + std::string(choice.files[static_cast<std::size_t>(style)]));
            EXPECT_EQ(ours->index, desktop->index);
            EXPECT_EQ(ours->bold, desktop->bold);
            EXPECT_EQ(ours->italic, desktop->italic);
        }
    }
}

// A family outside the table is left to the canvas's fallback to Arial, whose faces are the
// first row's. (Where the desktop has other families installed, fontconfig may give one
// of them; the browser has only the embedded faces.)
TEST(FaceMatch, TheTableRefusesOtherFamiliesAndGivesItsFirstRowAsTheDefault) {
    const auto table = table_face_matcher("/fonts");
    for (const std::string family : {"No Such Family 7", "Wingdings", "Arial Black", ""})
        EXPECT_FALSE(table->match(family, false, false, false).has_value()) << family;
    EXPECT_EQ(table->match("No Such Family 7", true, false, true)->file,
              "/fonts/" + std::string(font_choices()[0].files[1]));
    EXPECT_EQ(table->match("courier new", false, true, false)->file, "/fonts/LiberationMono-Italic.ttf");
    const auto fallback = system_face_matcher()->match("Arial", true, false, false);
    ASSERT_TRUE(fallback.has_value());
    EXPECT_EQ(file_name(fallback->file), font_choices()[0].files[1]);
}

TEST(FaceMatch, TextDrawnThroughTheTableMatchesTextDrawnThroughFontconfig) {
    const std::filesystem::path folder =
        std::filesystem::path(FontLibrary().face_file(Font{"Arial", 10, 0, 0})).parent_path();
    FontLibrary desktop;
    FontLibrary tabled(table_face_matcher(folder.string()));
    for (const char* family : {"Arial", "Times New Roman", "Courier New", "Cousine", ""}) {
        for (unsigned style : {0u, kBold | kItalic | kUnderline}) {
            Picture a(160, 40, &desktop), b(160, 40, &tabled);
            for (Picture* p : {&a, &b}) {
                p->canvas().font = Font{family, 14, 0, style};
                p->canvas().text_out(2, 2, "Hoopcast 3/12 \xc3\xa9");
            }
            EXPECT_TRUE(std::ranges::equal(a.bitmap().bytes(), b.bitmap().bytes())) << family << " " << style;
        }
    }
}

}  // namespace
}  // namespace hoopcast::raster
