// The table of faces, which draws text where there is no fontconfig, held to what fontconfig
// answers on this desktop for every family and style in it; and every other family drawn
// with the table's default face on the desktop as through the table.

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
            const auto desktop = fontconfig->match(family, bold, italic);
            const auto ours = table->match(family, bold, italic);
            ASSERT_TRUE(desktop.has_value());
            ASSERT_TRUE(ours.has_value());
            EXPECT_EQ(file_name(desktop->file), choice.file(bold, italic));
            EXPECT_EQ(ours->file, "/fonts/" + std::string(choice.file(bold, italic)));
            EXPECT_EQ(ours->index, desktop->index);
            EXPECT_EQ(ours->bold, desktop->bold);
            EXPECT_EQ(ours->italic, desktop->italic);
        }
    }
    EXPECT_EQ(font_choice("courier NEW"), font_choice("Courier New"));
    EXPECT_EQ(table->match("Verdana", false, false), std::nullopt);
}

// Families a play may name that the table does not hold: fontconfig gives some of them other
// faces where those are installed (Helvetica, Verdana), but the desktop draws them all with
// the default face, as the browser does.
constexpr const char* kOtherFamilies[] = {"Verdana",       "Tahoma",           "Helvetica", "Comic Sans MS",
                                          "MS Sans Serif", "No Such Family 7", ""};

TEST(FaceMatch, TextIsDrawnAlikeThroughFontconfigAndTheTableAndOtherFamiliesTakeTheDefaultFace) {
    FontLibrary desktop;
    const std::filesystem::path folder =
        std::filesystem::path(desktop.face_file(Font{"Arial", 10, 0, 0})).parent_path();
    FontLibrary tabled(table_face_matcher(folder.string()));
    const auto draw = [](const FontLibrary& fonts, const std::string& family, unsigned style) {
        Picture p(160, 40, &fonts);
        p.canvas().font = Font{family, 14, 0, style};
        p.canvas().text_out(2, 2, "Hoopcast 3/12 \xc3\xa9");
        return std::vector<std::uint8_t>(p.bitmap().bytes().begin(), p.bitmap().bytes().end());
    };
    for (unsigned style : {0u, kBold | kItalic | kUnderline}) {
        const bool bold = (style & kBold) != 0, italic = (style & kItalic) != 0;
        for (const char* family : {"Arial", "Times New Roman", "Courier New", "Cousine"})
            EXPECT_EQ(draw(desktop, family, style), draw(tabled, family, style)) << family << " " << style;
        const auto default_face = draw(desktop, "Liberation Sans", style);
        for (const char* family : kOtherFamilies) {
            SCOPED_TRACE(std::string(family) + " " + std::to_string(style));
            EXPECT_EQ(file_name(desktop.face_file(Font{family, 14, 0, style})),
                      font_choices()[0].file(bold, italic));
            EXPECT_EQ(file_name(tabled.face_file(Font{family, 14, 0, style})),
                      font_choices()[0].file(bold, italic));
            EXPECT_EQ(draw(desktop, family, style), default_face);
            EXPECT_EQ(draw(tabled, family, style), default_face);
        }
    }
}

}  // namespace
}  // namespace hoopcast::raster
