// Composite glyphs: components placed by offset, matrix or matched points,
// nested ones, and every malformed composite ending in one message.
#include <gtest/gtest.h>

#include "outline/composite.h"
#include "draw/view.h"
#include "support/glyph_font.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"

namespace {

using ttf::compositeGlyph;
using ttf::squareGlyph;

constexpr std::int16_t Half = 0x2000, One = 0x4000; // F2Dot14

struct Resolved {
    ResolvedGlyph glyph;
    std::vector<std::string> messages;
    // Every point in order as x, y pairs.
    std::vector<int> points() const
    {
        std::vector<int> out;
        for (const PlacedOutline& part : glyph.parts)
            for (const OutlinePoint& p : part.outline.points)
                out.insert(out.end(), {p.x, p.y});
        return out;
    }
};

Resolved resolve(const std::vector<ttf::Glyph>& glyphs, int g)
{
    FontState font;
    fillGlyphFont(font, glyphs);
    RecordingSink sink;
    WorkingValues work;
    Resolved r{ResolveGlyph(font, g, work, sink), {}};
    r.messages = sink.texts;
    return r;
}

TEST(GlyphComposite, ComponentsArePlaced)
{
    const ttf::Glyph square = squareGlyph(0, 0, 10, 20); // (0,0) (0,20) (10,20) (10,0)
    ttf::Component matched{0, 2, 0, {}, true};          // its point 0 onto the glyph's point 2
    struct Case {
        const char* what;
        std::vector<ttf::Component> components;
        std::vector<int> points;
    } cases[] = {
        {"offset", {{0, 5, -7}}, {5, -7, 5, 13, 15, 13, 15, -7}},
        {"scale", {{0, 0, 0, {Half}}}, {0, 0, 0, 10, 5, 10, 5, 0}},
        {"x and y scale", {{0, 1, 1, {Half, -One}}}, {1, 1, 1, -19, 6, -19, 6, 1}},
        {"two by two swaps x and y", {{0, 0, 0, {0, One, One, 0}}}, {0, 0, 20, 0, 20, 10, 0, 10}},
        {"a third rounds half away from zero", {{0, 0, 0, {0x1555 /* 0.3333 */}}}, {0, 0, 0, 7, 3, 7, 3, 0}},
        {"matched points", {{0, 0, 0}, matched},
         {0, 0, 0, 20, 10, 20, 10, 0, 10, 20, 10, 40, 20, 40, 20, 20}},
    };
    for (const Case& c : cases) {
        const Resolved r = resolve({square, compositeGlyph(c.components)}, 1);
        EXPECT_EQ(r.glyph.status, OutlineStatus::Composite) << c.what;
        EXPECT_EQ(r.points(), c.points) << c.what;
        EXPECT_TRUE(r.messages.empty()) << c.what;
    }
}

TEST(GlyphComposite, NestedComponentsAddUpAndAreListed)
{
    // 2 places 1 at (100, 0); 1 places 0 at (5, 5) and again at (30, 0) scaled by a half.
    const Resolved r = resolve({squareGlyph(0, 0, 10, 20), compositeGlyph({{0, 5, 5}, {0, 30, 0, {Half}}}),
                                compositeGlyph({{1, 100, 0}})},
                               2);
    ASSERT_EQ(r.glyph.parts.size(), 2u);
    EXPECT_EQ(r.points(), (std::vector<int>{105, 5, 105, 25, 115, 25, 115, 5, 130, 0, 130, 10, 135, 10, 135, 0}));
    ASSERT_EQ(r.glyph.components.size(), 1u); // its own record only
    EXPECT_EQ(r.glyph.components[0].glyph, 1);
    EXPECT_EQ(r.glyph.parts[1].dx, 130);
    EXPECT_EQ(r.glyph.parts[1].matrix, (ComponentMatrix{0.5, 0, 0, 0.5}));

    FontState font;
    fillGlyphFont(font, {squareGlyph(0, 0, 10, 20), compositeGlyph({{0, 5, 5}, {0, 30, 0, {Half}}}, {5, 0, 35, 25})});
    RecordingSurface surface;
    RecordingSink sink;
    ViewState view;
    view.Composites = true;
    const GlyphReadout shown = ShowGlyph(1, font, view, surface, sink);
    const std::string start = "Number of Contours: 2\r\n\r\nComponent: 0  dx 5, dy 5\r\nContour: 1\r\n"
                              "Position: 5, 20\r\n    0,  -20   C";
    EXPECT_EQ(shown.listing.substr(0, start.size()), start);
    EXPECT_NE(shown.listing.find("\r\n\r\nComponent: 0  dx 30, dy 0  matrix 0.5, 0, 0, 0.5\r\nContour: 2\r\n"),
              std::string::npos);
    view.Composites = false; // as before: the empty mark, no listing
    EXPECT_EQ(ShowGlyph(1, font, view, surface, sink).listing, "");
    EXPECT_TRUE(sink.texts.empty());
}

TEST(GlyphComposite, MalformedCompositesEndInOneMessage)
{
    const ttf::Glyph square = squareGlyph(0, 0, 10, 20);
    std::vector<ttf::Glyph> deep{square};
    for (int depth = 1; depth <= 17; ++depth)
        deep.push_back(compositeGlyph({{std::uint16_t(depth - 1), 1, 0}}));
    ttf::Glyph truncated = compositeGlyph({{0, 1, 1}, {0, 2, 2}});
    truncated.raw = ttf::glyphData(truncated);
    truncated.raw.resize(truncated.raw.size() - 3);
    ttf::Glyph unending = compositeGlyph({{0, 1, 1, {}, false, ttf::MORE_COMPONENTS}});
    // 64 records of 64 records of 64 records of the square: far more than is drawn.
    const std::vector<ttf::Component> many(64, ttf::Component{0, 1, 1});
    std::vector<ttf::Component> many1(64, ttf::Component{1, 1, 1}), many2(64, ttf::Component{2, 1, 1});
    struct Case {
        const char* what;
        std::vector<ttf::Glyph> glyphs;
        int glyph;
        const char* message; // the box's last line, or the code for a component's own error
    } cases[] = {
        {"self", {square, compositeGlyph({{1, 0, 0}})}, 1, "Composite: glyph 1 refers back to glyph 1"},
        {"mutual", {square, compositeGlyph({{2, 0, 0}}), compositeGlyph({{1, 0, 0}})}, 1,
         "Composite: glyph 2 refers back to glyph 1"},
        {"17 deep", deep, 17, "Composite: glyph 1 nests composites deeper than 16"},
        {"not in the font", {square, compositeGlyph({{0, 0, 0}, {7, 0, 0}})}, 1,
         "Composite: glyph 1 names glyph 7, which is not in the font"},
        {"truncated records", {square, truncated}, 1, "Composite: the records of glyph 1 run past its data"},
        {"more components that never come", {square, unending}, 1,
         "Composite: the records of glyph 1 run past its data"},
        {"point past the component's", {square, compositeGlyph({{0, 0, 0}, {0, 3, 4, {}, true}})}, 1,
         "Composite: glyph 1 matches point 3 to point 4 of glyph 0, which do not both exist"},
        {"point past the glyph's", {square, compositeGlyph({{0, 4, 0, {}, true}})}, 1,
         "Composite: glyph 1 matches point 4 to point 0 of glyph 0, which do not both exist"},
        {"too many", {square, compositeGlyph(many), compositeGlyph(many1), compositeGlyph(many2)}, 3,
         "Composite: glyph 3 has more than 4096 components"},
        // 2001 contours and no data for them: the decoder reads past the classic limit, and past the end.
        {"a broken component", {rawGlyph({0x07, 0xD1, 0, 0}), compositeGlyph({{0, 0, 0}})}, 1, "Code = 15"},
    };
    for (const Case& c : cases) {
        const Resolved r = resolve(c.glyphs, c.glyph);
        EXPECT_EQ(r.glyph.status, OutlineStatus::Abandoned) << c.what;
        EXPECT_TRUE(r.glyph.parts.empty()) << c.what;
        ASSERT_EQ(r.messages.size(), 1u) << c.what;
        EXPECT_NE(r.messages[0].find(c.message), std::string::npos) << c.what << ": " << r.messages[0];
    }
    // Sixteen deep is still drawn.
    EXPECT_EQ(resolve(deep, 16).glyph.status, OutlineStatus::Composite);
}

} // namespace
