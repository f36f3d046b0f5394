// Damaged COLR tables from the tests' COLR builder: cycles, nesting past the depth limit,
// offsets past the table, layer counts the table cannot back, a graph that
// shares its layers into millions of paints, gradients with 65 535 stops,
// unknown formats and modes, a clip box of 64 em. Each is read, painted onto
// the recording surface and into a picture: the limits hold, every push is
// popped, and the message says what was left out.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "colour/colour_glyph.h"
#include "platform/colour_picture.h"
#include "support/recording_paint_surface.h"
#include "support/colr_builder.h"

namespace {

using colr::ByteVector;

TEST(ColourDamaged, LimitsHoldAndWhatIsLeftOutIsSaid)
{
    for (const colr::DamagedColr& test : colr::damagedColrCases()) {
        SCOPED_TRACE(test.name);
        const ByteVector bytes = test.table();
        ColourTables tables;
        tables.colr = ReadColr(bytes);
        ASSERT_TRUE(tables.colr);
        FontState font;
        font.HeadTable.UnitsPerEm = std::uint16_t(test.unitsPerEm);
        const ColourGlyph glyph = DescribeColourGlyph(tables, 5, {});
        RecordingPaintSurface recording;
        PaintColourGlyph(font, tables, glyph, PaintSettings{}, recording);
        EXPECT_TRUE(recording.balanced());
        if (glyph.paint) {
            EXPECT_LE(CountPaints(*glyph.paint), MaxPaintsPerGlyph);
        }
        const ColourRendering picture = RenderColourGlyph(font, tables, glyph, PaintSettings{}, 512);
        EXPECT_LE(picture.image.width(), 2 * MaxPictureReach);
        EXPECT_LE(picture.image.height(), 2 * MaxPictureReach);

        std::vector<std::string> said = tables.colr->problems;
        said.insert(said.end(), glyph.messages.begin(), glyph.messages.end());
        said.insert(said.end(), picture.messages.begin(), picture.messages.end());
        std::string all;
        for (const std::string& m : said)
            all += m + "\n";
        EXPECT_NE(all.find(test.message), std::string::npos) << all;
    }
}

} // namespace
