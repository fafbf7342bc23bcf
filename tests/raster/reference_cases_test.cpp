// The reference case file reader: every token understood or a loud error with its line.

#include <gtest/gtest.h>

#include "raster/picture.h"
#include "reference_cases.h"

namespace hoopcast::raster::reference {
namespace {

TEST(ReferenceCases, ReadsCasesOperationsAndTextLines) {
    const ParseResult r = parse_cases(
        "# a comment\n\n# describe\ncase one 10 8 0x00ff00\npen 0x0000ff 3\nbrush clear\nmoveto -1 2\n"
        "polygon 1 1 5 1 3 4\ntextout 2 3 Times_New_Roman 12 Hello,  world   \nend\n");
    ASSERT_TRUE(r.error.empty()) << r.error;
    ASSERT_EQ(r.cases.size(), 1u);
    const Case& c = r.cases[0];
    EXPECT_EQ(c.name, "one");
    EXPECT_EQ(c.width, 10);
    EXPECT_EQ(c.background, 0x00ff00);
    ASSERT_EQ(c.ops.size(), 5u);
    EXPECT_EQ(c.ops[0].kind, OpKind::pen);
    EXPECT_EQ(c.ops[0].args, (std::vector<int>{0x0000ff, 3}));
    EXPECT_EQ(c.ops[1].kind, OpKind::brush_clear);
    EXPECT_EQ(c.ops[2].args, (std::vector<int>{-1, 2}));
    EXPECT_EQ(c.ops[3].args.size(), 6u);
    EXPECT_EQ(c.ops[4].font, "Times New Roman");
    EXPECT_EQ(c.ops[4].text, "Hello,  world");
    EXPECT_EQ(c.ops[4].args, (std::vector<int>{2, 3, 12}));
}

TEST(ReferenceCases, FailsLoudlyWithTheLineOfTheFirstProblem) {
    const std::pair<const char*, const char*> bad[] = {
        {"case a 4 4 0xffffff\nbezier 1 2\nend\n", "line 2: unknown operation bezier"},
        {"case a 4 4 0xffffff\npen 0x000000\nend\n", "line 2: pen takes 2 arguments"},
        {"case a 4 4 0xfffff\nend\n", "line 1:"},
        {"case a 4 4 0xffffff\nlineto 1 x\nend\n", "line 2: bad argument x"},
        {"case a 4 4 0xffffff\nend\ncase a 4 4 0xffffff\nend\n", "line 3: duplicate case a"},
        {"case a 4 4 0xffffff\n", "case a has no end"},
        {"moveto 1 1\n", "line 1: operation outside a case"},
        {"case a 0 4 0xffffff\nend\n", "line 1: canvas size"},
        {"case a 4 4 0xffffff\npolygon 1 2 3\nend\n", "line 2: polygon needs pairs"},
        {"case a/b 4 4 0xffffff\nend\n", "line 1:"},
    };
    for (const auto& [text, message] : bad) {
        const ParseResult r = parse_cases(text);
        EXPECT_NE(r.error.find(message), std::string::npos) << text << " gave: " << r.error;
    }
}

TEST(ReferenceCases, RunDrawsTextTransparentlyWhateverTheBrush) {
    const ParseResult r =
        parse_cases("case t 40 20 0xffffff\nbrush 0x00ff00\ntextout 0 0 Arial 10 ab\nend\n");
    ASSERT_TRUE(r.error.empty());
    Picture p(40, 20);  // no fonts: nothing is drawn, and the brush must not paint a cell
    run_case(r.cases[0], p.canvas());
    EXPECT_EQ(p.canvas().pixel(1, 1), 0xFFFFFF);
    EXPECT_EQ(p.canvas().brush.colour, 0x00ff00);
}

}  // namespace
}  // namespace hoopcast::raster::reference
