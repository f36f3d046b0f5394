// lumaro-inspect diff of a font with itself and with a copy fontTools edited
// in four known ways: exactly those four changes come back.
#include <filesystem>
#include <map>
#include <string>

#include <QJsonArray>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "support/command_output.h"

namespace {

// argv[1] edited into argv[2]: "at" removed (by fontTools' subsetter, which
// keeps every other glyph as it is); ampersand's first point moved 10 units
// right; B's advance 50 wider; Aacute's base re-pointed from A to Alpha, a
// composite of A alone.
constexpr const char* EditScript = R"(
import sys
from fontTools import subset
from fontTools.ttLib import TTFont
font = TTFont(sys.argv[1])
options = subset.Options(glyph_names=True, notdef_outline=True, layout_closure=False, hinting=True,
                         name_IDs=["*"], name_languages=["*"], recalc_bounds=False)
keep = [n for n in font.getGlyphOrder() if n != "at"]
subsetter = subset.Subsetter(options)
subsetter.populate(glyphs=keep)
subsetter.subset(font)
glyf, hmtx = font["glyf"], font["hmtx"]
amp = glyf["ampersand"]
x, y = amp.coordinates[0]
amp.coordinates[0] = (x + 10, y)
amp.recalcBounds(glyf)
advance, lsb = hmtx["B"]
hmtx["B"] = (advance + 50, lsb)
assert [(c.glyphName, c.x, c.y) for c in glyf["Alpha"].components] == [("A", 0, 0)]
glyf["Aacute"].components[0].glyphName = "Alpha"
font.save(sys.argv[2])
)";

std::map<std::string, QJsonObject> changedByName(const QJsonArray& glyphs)
{
    std::map<std::string, QJsonObject> changed;
    for (const QJsonValue& v : glyphs)
        if (v["change"].toString() != "identical")
            changed[v["name"].toString().toStdString()] = v.toObject();
    return changed;
}

TEST(Diff, FontWithItselfAndWithAnEditedCopy)
{
    const std::string font = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
    const QJsonObject same = inspectObject({"diff", font, font});
    EXPECT_EQ(same["summary"]["identical"].toInt(), 6253);
    EXPECT_TRUE(changedByName(same["glyphs"].toArray()).empty());

    const std::string edited = (std::filesystem::temp_directory_path() / "lumaro-diff-edited.ttf").string();
    ASSERT_EQ(runCommand(shellQuoted(PYTHON3) + " -c " + shellQuoted(EditScript) + " " + shellQuoted(font) + " "
                         + shellQuoted(edited))
                  .status,
              0);
    int status = -1;
    const QJsonObject diff = inspectObject({"diff", font, edited}, &status);
    std::filesystem::remove(edited);
    EXPECT_EQ(status, 0);
    const std::map<std::string, QJsonObject> changed = changedByName(diff["glyphs"].toArray());
    ASSERT_EQ(changed.size(), 4u);
    EXPECT_EQ(changed.at("ampersand")["change"].toString(), "points_moved");
    EXPECT_EQ(changed.at("ampersand")["max_distance"].toDouble(), 10.0);
    EXPECT_EQ(changed.at("at")["change"].toString(), "removed");
    EXPECT_TRUE(changed.at("at")["new"].isNull());
    EXPECT_EQ(changed.at("B")["change"].toString(), "advance_changed");
    EXPECT_EQ(changed.at("Aacute")["change"].toString(), "components_changed");
    const QJsonObject summary = diff["summary"].toObject();
    EXPECT_EQ(summary["identical"].toInt(), 6249);
    EXPECT_EQ(summary["added"].toInt(), 0);
    EXPECT_EQ(summary["outline_changed"].toInt(), 0);
}

// One font at two places of its variation space: a second --location is NEW's.
TEST(Diff, OneFontAtTwoLocations)
{
    const QJsonObject diff =
        inspectObject({"diff", INTER_VARIABLE_FONT, INTER_VARIABLE_FONT, "--location", "wght=300", "--location", "wght=800"});
    const QJsonObject summary = diff["summary"].toObject();
    EXPECT_GT(summary["points_moved"].toInt(), 1000);
    EXPECT_EQ(summary["added"].toInt() + summary["removed"].toInt(), 0);
    const QJsonObject same = inspectObject({"diff", INTER_VARIABLE_FONT, INTER_VARIABLE_FONT, "--location", "wght=300"});
    EXPECT_EQ(same["summary"]["points_moved"].toInt(), 0);
}

} // namespace
