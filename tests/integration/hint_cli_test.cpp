// lumaro-inspect hint: FreeType's points through the command, its trace
// accounting for every instruction counted, and its usage errors.
#include <gtest/gtest.h>

#include <QJsonArray>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include "support/command_output.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

CommandOutput inspect(const std::string& args)
{
    return runCommand(shellQuoted(LUMARO_INSPECT) + " hint " + shellQuoted(DejaVuSans) + " " + args);
}

TEST(InspectHint, TheLetterAAt11PpemIsFreeTypesWithItsTrace)
{
    const CommandOutput run = inspect("68 --ppem 11 --interpreter 35 --trace");
    ASSERT_EQ(run.status, 0);
    const QJsonObject doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
    ASSERT_FALSE(doc.isEmpty()) << run.out.substr(0, 200);
    EXPECT_TRUE(doc["messages"].toArray().isEmpty());

    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    unsigned version = 35;
    FT_Property_Set(library, "truetype", "interpreter-version", &version);
    ASSERT_EQ(FT_New_Face(library, DejaVuSans.c_str(), 0, &face), 0);
    FT_Set_Pixel_Sizes(face, 0, 11);
    ASSERT_EQ(FT_Load_Glyph(face, 68, FT_LOAD_NO_AUTOHINT | FT_LOAD_NO_BITMAP), 0);
    const FT_Outline& o = face->glyph->outline;
    const QJsonArray points = doc["points"].toArray();
    ASSERT_EQ(points.size(), o.n_points);
    for (int i = 0; i < o.n_points; ++i) {
        const QJsonArray p = points[i].toArray();
        EXPECT_EQ(p[0].toInteger(), o.points[i].x) << i;
        EXPECT_EQ(p[1].toInteger(), o.points[i].y) << i;
        EXPECT_EQ(p[2].toInt(), o.tags[i] & 1) << i;
    }
    EXPECT_EQ(doc["advance"].toInteger(), face->glyph->advance.x);
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    // The control-value program's run first, then from the glyph program's
    // first instruction on, the glyph's with the functions it calls (named
    // by the program they are in): as many as "instructions" counts.
    const QJsonArray trace = doc["trace"].toArray();
    ASSERT_FALSE(trace.isEmpty());
    EXPECT_EQ(trace.first().toObject()["program"].toString(), "prep");
    long glyphSteps = 0;
    for (const auto& step : trace)
        if (glyphSteps > 0 || step.toObject()["program"].toString() == "glyph")
            ++glyphSteps;
    EXPECT_EQ(glyphSteps, doc["instructions"].toInteger());
    EXPECT_GT(glyphSteps, 0);
}

TEST(InspectHint, UsageErrors)
{
    EXPECT_EQ(inspect("68 --ppem 5").status, 2);
    EXPECT_EQ(inspect("68").status, 2);
    EXPECT_EQ(inspect("68 --ppem 12 --interpreter 38").status, 2);
    EXPECT_EQ(inspect("99999 --ppem 12").status, 2);
}

} // namespace
