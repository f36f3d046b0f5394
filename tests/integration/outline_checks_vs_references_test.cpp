// lumaro-inspect check over whole fonts against two independent readings:
// FontForge (direction, crossings, extrema) and a script of the checks'
// definitions on fontTools' outlines (every other outline check).
#include <set>
#include <string>
#include <tuple>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "support/command_output.h"

namespace {

using Key = std::tuple<int, std::string, int, int>; // glyph, check, contour, point or component (-1: null)

QJsonValue runJson(const std::string& commandLine)
{
    const CommandOutput run = runCommand(commandLine);
    EXPECT_EQ(run.status, 0) << commandLine;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out));
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

std::string script(const char* path, const std::string& font)
{
    return shellQuoted(PYTHON3) + " " + shellQuoted(path) + " " + shellQuoted(font);
}

int orNull(const QJsonValue& v) { return v.isNull() ? -1 : v.toInt(); }

void compareWithReferences(const std::string& path)
{
    SCOPED_TRACE(path);
    const QJsonArray problems = inspectObject({"check", path})["problems"].toArray();
    const QJsonArray outlines = runJson(shellQuoted(LUMARO_INSPECT) + " outline " + shellQuoted(path) + " --all").toArray();
    const QJsonObject fonttools = runJson(script(CHECKS_FONTTOOLS_SCRIPT, path)).toObject();
    const QJsonObject fontforge = runJson(script(CHECKS_FONTFORGE_SCRIPT, path)).toObject();
    ASSERT_EQ(fonttools.size(), outlines.size());
    ASSERT_EQ(fontforge.size(), outlines.size());

    const std::set<std::string> scripted = {"open_contour",   "duplicate_point", "short_segment",  "colinear_vectors",
                                            "jaggy_segment",  "semi_vertical",   "semi_horizontal", "alignment_miss",
                                            "bbox_mismatch", "nested_component", "flipped_component"};
    std::set<Key> ours, theirs;
    std::set<std::pair<int, std::string>> flagged; // glyph, check
    for (const QJsonValue& v : problems) {
        const QJsonObject p = v.toObject();
        const std::string check = p["check"].toString().toStdString();
        flagged.insert({p["glyph"].toInt(), check});
        if (scripted.count(check))
            ours.insert({p["glyph"].toInt(), check, orNull(p["contour"]),
                         p.contains("component") ? p["component"].toInt() : orNull(p["point"])});
    }
    for (int g = 0; g < int(outlines.size()); ++g) {
        const QJsonObject reference = fonttools[QString::number(g)].toObject();
        // The same points first: the checks are compared on one outline.
        EXPECT_EQ(outlines[g].toObject()["contours"], reference["points"]) << "glyph " << g;
        for (const QJsonValue& v : reference["problems"].toArray()) {
            const QJsonArray p = v.toArray();
            theirs.insert({g, p[0].toString().toStdString(), orNull(p[1]), orNull(p[2])});
        }
    }
    EXPECT_EQ(ours, theirs);

    auto has = [&](int g, const char* check) { return flagged.count({g, check}) > 0; };
    for (int g = 0; g < int(outlines.size()); ++g) {
        const QJsonArray ff = fontforge[QString::number(g)].toArray();
        const bool ffCrosses = ff[0].toBool(), ffWrong = ff[1].toBool(), ffExtrema = ff[2].toBool();
        const bool ffZeroLength = ff[3].toBool();
        const bool crosses = has(g, "self_intersection") || has(g, "overlapping_contours");
        // FontForge counts a segment of zero length as crossing; here it is
        // a duplicate point, left out of every other check (and a
        // charstring's zero-length line is dropped, as FreeType drops it).
        if (!(ffCrosses && !crosses && (ffZeroLength || has(g, "duplicate_point")))) {
            EXPECT_EQ(crosses, ffCrosses) << "glyph " << g;
        }
        // Direction is judged only on contours that meet nothing; a contour
        // without on-curve points is open here (FontForge draws it as a
        // closed curve and so nests the others in it).
        if (!crosses && !ffCrosses && !has(g, "open_contour")) {
            EXPECT_EQ(has(g, "wrong_direction"), ffWrong) << "glyph " << g;
        }
        // FontForge marks an extremum off the ends however near it lies;
        // here it must lie 0.5 unit beyond them on a curve longer than em / 32.
        if (has(g, "missing_extremum")) {
            EXPECT_TRUE(ffExtrema) << "glyph " << g;
        }
    }
}

TEST(OutlineChecksVsReferences, DejaVuSans)
{
    compareWithReferences(std::string(DEJAVU_DIR) + "/DejaVuSans.ttf");
}

TEST(OutlineChecksVsReferences, CantarellCff)
{
    compareWithReferences(std::string(CANTARELL_DIR) + "/Cantarell-Regular.otf");
}

} // namespace
