#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "session/font_session.h"
#include "sfnt/container.h"
#include "support/colr_builder.h"
#include "support/container_builder.h"
#include "support/crafted_fonts.h"
#include "support/ttf_builder.h"

namespace {

// Writes down every report of the session as one line.
class RecordingListener : public SessionListener {
public:
    void fontOpened(const FontState& font) override { log.push_back("opened " + font.FontFileName); }
    void fontNotOpened(const std::string& fileName, const std::string& why) override
    {
        log.push_back("not opened " + fileName + ": " + why);
    }
    void listsChanged(const PickLists& lists) override
    {
        log.push_back("lists " + std::to_string(lists.GlyphList.size()) + " " + std::to_string(lists.CharList.size())
                      + " " + std::to_string(lists.AsciiList.size()));
    }
    void glyphShown(int glyph, int entry, const GlyphReadout& readout) override
    {
        log.push_back("shown " + std::to_string(glyph) + " at " + std::to_string(entry));
        numbers.push_back(readout.number);
    }
    void noGlyphShown() override { log.push_back("no glyph"); }
    void selectionChanged(const Selection& s) override
    {
        log.push_back("selected " + std::to_string(s.point) + " " + std::to_string(s.segment) + " " + std::to_string(s.line));
    }
    void showMessages(const std::vector<std::string>& texts) override
    {
        for (const std::string& text : texts)
            log.push_back("box " + text.substr(0, text.find('\r')));
    }
    void showStatus(const std::string& text) override { log.push_back("status " + text); }

    std::vector<std::string> log;
    std::vector<std::string> numbers; // the read-out's glyph number of each glyph shown
};

// The files the sessions open, by name: the open flow over fonts the tests built.
std::map<std::string, ttf::ByteVector> builtFiles;

OpenedFont openBuiltFile(const std::string& path, bool composites, int face)
{
    const auto found = builtFiles.find(path);
    if (found == builtFiles.end()) {
        OpenedFont unreadable;
        unreadable.result = LoadResult::Unreadable;
        return unreadable;
    }
    std::vector<std::uint8_t> bytes(found->second.begin(), found->second.end());
    const FileKind kind = RecogniseFile(bytes);
    return OpenFontBytes(path, kind, std::move(bytes), composites, face);
}

void openBuilt(FontSession& session, const std::string& name, const ttf::ByteVector& font, int face = 0)
{
    builtFiles[name] = font;
    session.open(name, face);
}

// Eight squares, codes 'A'.. on glyphs 1..7.
const ttf::ByteVector Squares = ttf::buildFont(ttf::squaresFont(8));
// Squares 0..4 ('A'..'D' on 1..4), glyph 5 a composite of 1 and 2, 6 empty, 7 a curve; é on glyph 5.
const ttf::ByteVector Crafted = ttf::craftedWith([](std::vector<ttf::Table>&) {});
// Glyphs 0 and 1 built from each other only: nothing to list without composites,
// and neither can be drawn.
const ttf::ByteVector OnlyComposites = [] {
    ttf::FontSpec design;
    design.glyphs = {ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 100, 100}),
                     ttf::compositeGlyph({{0, 0, 0}}, {0, 0, 100, 100})};
    return ttf::buildFont(design);
}();

struct SessionCase {
    const char* name;
    const ttf::ByteVector* font;
    std::function<void(FontSession&)> act; // after the font is opened as "f.ttf"
    std::vector<std::string> reports;      // what the action reported, in order
    int currentGlyph;
    int eventsEnabled;
};

const SessionCase Cases[] = {
    {"OpenShowsTheFifthEntry", &Squares, [](FontSession&) {}, {}, 4, 1},
    {"NextAndPreviousGoRound", &Squares,
     [](FontSession& s) {
         s.next();
         s.next();
         s.next();
         s.next();
         s.previous();
     },
     {"shown 5 at 5", "shown 6 at 6", "shown 7 at 7", "shown 0 at 0", "shown 7 at 7"}, 7, 1},
    {"PreviousFromTheFirstIsTheLast", &Squares,
     [](FontSession& s) {
         s.pickGlyphEntry(0);
         s.previous();
     },
     {"shown 0 at 0", "shown 7 at 7"}, 7, 1},
    {"GlyphEntriesOutsideTheListDoNothing", &Squares,
     [](FontSession& s) {
         s.pickGlyphEntry(-1);
         s.pickGlyphEntry(8);
         s.pickGlyphEntry(2);
     },
     {"shown 2 at 2"}, 2, 1},
    {"CodeAndCharacterEntriesShowTheirGlyph", &Squares,
     [](FontSession& s) {
         s.pickCodeEntry(2);  // 'C'
         s.pickCharEntry(6);  // 'G'
     },
     {"shown 3 at 4", "shown 7 at 4"}, 7, 1},
    {"FirstCodeAndCharacterEntriesDoNothing", &Squares,
     [](FontSession& s) {
         s.pickCodeEntry(0);
         s.pickCharEntry(0);
         s.pickCodeEntry(7);
         s.pickCharEntry(-1);
     },
     {}, 4, 1},
    // The list is 0..4, 6, 7: from glyph 5, Next and Previous go to its neighbours there.
    {"AnUnlistedGlyphSelectsNoEntry", &Crafted,
     [](FontSession& s) {
         s.showGlyph(5);
         s.next();
         s.showGlyph(5);
         s.previous();
     },
     {"shown 5 at -1", "shown 6 at 5", "shown 5 at -1", "shown 4 at 4"}, 4, 1},
    {"GlyphsOutsideTheFontAreNotShown", &Squares,
     [](FontSession& s) {
         s.showGlyph(-1);
         s.showGlyph(8);
     },
     {}, 4, 1},
    {"CompositesListedKeepTheGlyphShown", &Crafted,
     [](FontSession& s) {
         s.showGlyph(5);
         s.setComposites(true);
         s.setComposites(false);
     },
     {"shown 5 at -1", "lists 8 5 4", "shown 5 at 5", "lists 7 4 4", "shown 0 at 0"}, 0, 1},
    {"NothingListedShowsNoGlyph", &OnlyComposites,
     [](FontSession& s) {
         s.next();
         s.pickGlyphEntry(0);
         s.setStartMarks(false);
         s.setComposites(true);
     },
     {"lists 2 0 0", "box Error!", "shown 0 at 0"}, 0, 1}, // the boxes before the glyph
    {"ViewOptionsRedraw", &Squares,
     [](FontSession& s) {
         s.setScale(5);
         s.setOffset(3);
         s.setStartMarks(false);
         s.setMetrics(true);
     },
     {"shown 4 at 4", "shown 4 at 4", "shown 4 at 4", "shown 4 at 4"}, 4, 1},
    {"AFailedOpenKeepsTheFont", &Squares,
     [](FontSession& s) { s.open("gone.ttf"); },
     {"box The file gone.ttf could not be read.", "not opened gone.ttf: the file cannot be read"}, 4, 1},
};

class Session : public ::testing::TestWithParam<SessionCase> {};

TEST_P(Session, ReportsWhatChanged)
{
    const SessionCase& c = GetParam();
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "f.ttf", *c.font);
    listener.log.clear();
    c.act(session);
    EXPECT_EQ(listener.log, c.reports);
    EXPECT_EQ(session.CurrentGlyph(), c.currentGlyph);
    EXPECT_EQ(session.EventsEnabled(), c.eventsEnabled);
    EXPECT_EQ(session.font()->FontFileName, "f.ttf");
    for (const std::string& number : listener.numbers)
        EXPECT_FALSE(number.empty());
}

INSTANTIATE_TEST_SUITE_P(Actions, Session, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SessionOpen, ReportsTheFontItsListsAndTheFirstGlyph)
{
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    EXPECT_EQ(session.EventsEnabled(), 0);
    openBuilt(session, "squares.ttf", Squares);
    const std::vector<std::string> expected = {"opened squares.ttf", "lists 8 7 7", "shown 4 at 4"};
    EXPECT_EQ(listener.log, expected);
    EXPECT_EQ(listener.numbers, std::vector<std::string>{"4"});
    EXPECT_EQ(session.lists().GlyphList.size(), 8u);
}

// A colour glyph is named in the status bar; a plain glyph of a colour font
// clears what the last one said.
TEST(SessionOpen, AColourGlyphIsSaidToBeOne)
{
    colr::ColrBuilder c;
    c.layers = {colr::solid(c, 0), colr::solid(c, 1)};
    c.bases = {{4, colr::layers(c, 2, 0)}};
    const ttf::ByteVector font
        = ttf::craftedWith([&](std::vector<ttf::Table>& t) { t.push_back({"COLR", c.build()}); });
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "colour.ttf", font);
    session.showGlyph(4);
    session.showGlyph(1);
    ASSERT_GE(listener.log.size(), 4u);
    const std::vector<std::string> last(listener.log.end() - 4, listener.log.end());
    EXPECT_EQ(last, (std::vector<std::string>{"status colour glyph (COLRv1, 3 paints)", "shown 4 at 4", "status ",
                                              "shown 1 at 1"}));
}

TEST(SessionOpen, AShortListShowsItsLastEntry)
{
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "three.ttf", ttf::buildFont(ttf::squaresFont(3)));
    EXPECT_EQ(listener.log.back(), "shown 2 at 2");
}

TEST(SessionOpen, AnEmptyListShowsNoGlyph)
{
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "composites.ttf", OnlyComposites);
    const std::vector<std::string> expected = {"opened composites.ttf", "lists 0 0 0", "no glyph"};
    EXPECT_EQ(listener.log, expected);
    EXPECT_EQ(session.EventsEnabled(), 0);
    EXPECT_TRUE(session.font()->Loaded);
}

TEST(SessionOpen, StartMarksWaitForAGlyph)
{
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    session.setStartMarks(false);
    EXPECT_EQ(session.view().ShowStartPoints, 1);
    session.setMetrics(true);
    EXPECT_TRUE(listener.log.empty());
    session.restoreView(7, 3, false);
    EXPECT_EQ(session.view().ViewScale, 7);
    EXPECT_EQ(session.view().ViewMargin, 300);
    EXPECT_EQ(session.view().ShowStartPoints, 0);
    EXPECT_TRUE(listener.log.empty());
}

// Damaged fonts: the boxes first, then why in plain words; the open font stays.
struct DamagedCase {
    const char* name;
    ttf::ByteVector bytes;
    std::string firstBox;
    std::string why;
};

std::vector<DamagedCase> damagedCases()
{
    using ttf::Table;
    return {
        {"NoLoca", ttf::craftedWith([](std::vector<Table>& t) { ttf::removeTable(t, "loca"); }), "box Not found: loca",
         "it has no loca table"},
        {"BadLocaFormat", ttf::craftedTable("head", [](ttf::ByteVector& d) { ttf::putU16(d, 50, 2); }),
         "box Error!", "its glyph locations are in an unknown format"},
        {"Empty", {}, "box Error!", "the file ends inside its table directory"},
    };
}

TEST(SessionDamaged, SaysWhyAndKeepsTheOpenFont)
{
    for (const DamagedCase& c : damagedCases()) {
        SCOPED_TRACE(c.name);
        RecordingListener listener;
        NullSurface surface;
        FontSession session(listener, surface, openBuiltFile);
        openBuilt(session, "good.ttf", Squares);
        listener.log.clear();
        openBuilt(session, "bad.ttf", c.bytes);
        ASSERT_GE(listener.log.size(), 2u);
        EXPECT_EQ(listener.log.front(), c.firstBox);
        EXPECT_EQ(listener.log.back(), "not opened bad.ttf: " + c.why);
        EXPECT_EQ(session.font()->FontFileName, "good.ttf");
        EXPECT_EQ(session.CurrentGlyph(), 4);
    }
}

TEST(SessionDamaged, AFileThatIsNoFontIsNamed)
{
    const std::string notes = "Glyphs are drawn\nfrom their outlines.\n";
    const struct {
        ttf::ByteVector bytes;
        std::string why;
    } cases[] = {
        {ttf::ByteVector(notes.begin(), notes.end()), "it is a text file"},
        {{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13}, "it is a PNG picture"},
        {{'%', 'P', 'D', 'F', '-', '1', '.', '4', '\n'}, "it is a PDF document"},
    };
    for (const auto& c : cases) {
        RecordingListener listener;
        NullSurface surface;
        FontSession session(listener, surface, openBuiltFile);
        openBuilt(session, "notes.ttf", c.bytes);
        ASSERT_FALSE(listener.log.empty());
        EXPECT_EQ(listener.log.back(), "not opened notes.ttf: " + c.why);
    }
}

TEST(SessionFaces, AFaceOfACollectionOpensAndStaysWhenAnotherFails)
{
    std::vector<ttf::Table> broken = ttf::fontTables(ttf::squaresFont(4));
    ttf::removeTable(broken, "loca");
    const ttf::ByteVector file =
        ttf::collection({ttf::buildFont(ttf::squaresFont(6)), ttf::buildFont(ttf::squaresFont(9)), ttf::assemble(broken)});
    const auto faces = std::get<std::vector<std::uint32_t>>(ReadCollectionFaces(file));
    ASSERT_EQ(faces.size(), 3u);

    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "two.ttc", file, 1);
    EXPECT_EQ(session.faceIndex(), 1);
    EXPECT_EQ(session.font()->Face, 1);
    EXPECT_EQ(session.font()->NumGlyphs, 9);

    EXPECT_EQ(session.faceCount(), 3);

    // A face that fails to load, and one the file does not have, leave the face shown.
    session.open("two.ttc", 2);
    EXPECT_EQ(listener.log.back(), "not opened two.ttc: it has no loca table");
    session.open("two.ttc", 3);
    EXPECT_EQ(listener.log.back(), "not opened two.ttc: it has no face 3 (it has 3)");
    EXPECT_EQ(session.faceIndex(), 1);
    EXPECT_EQ(session.faceCount(), 3);
    EXPECT_EQ(session.font()->NumGlyphs, 9);
}

} // namespace

// A point selects the segment drawn from it and that segment's listing line;
// a line the first segment it draws; anything outside the glyph nothing.
TEST(SessionSelection, PointsSegmentsAndLinesSelectEachOther)
{
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "squares.ttf", Squares);
    const DrawnGlyph& drawn = session.drawn();
    ASSERT_EQ(drawn.points.size(), 4u);
    ASSERT_GE(drawn.segments.size(), 4u);

    session.selectPoint(2);
    const Selection fromPoint = session.selection();
    ASSERT_GE(fromPoint.segment, 0);
    const ListedSegment& edge = drawn.segments[std::size_t(fromPoint.segment)];
    EXPECT_EQ(fromPoint.point, 2);
    EXPECT_EQ(fromPoint.line, int(edge.line));
    session.selectPoint(3);
    EXPECT_GT(session.selection().segment, fromPoint.segment) << "the edges are drawn in the points' order";
    const ListedSegment& next = drawn.segments[std::size_t(session.selection().segment)];
    EXPECT_EQ(std::pair(edge.x2, edge.y2), std::pair(next.x1, next.y1)) << "the edge from point 2 ends at point 3";

    session.selectLine(int(drawn.segments[1].line));
    EXPECT_EQ(session.selection(), (Selection{-1, 1, int(drawn.segments[1].line)}));
    session.selectLine(0); // the listing's header draws nothing
    EXPECT_EQ(session.selection(), (Selection{-1, -1, 0}));
    session.selectSegment(3);
    EXPECT_EQ(session.selection(), (Selection{-1, 3, int(drawn.segments[3].line)}));
    session.selectPoint(4);
    EXPECT_EQ(session.selection(), Selection{});
    EXPECT_EQ(listener.log.back(), "selected -1 -1 -1");

    session.selectPoint(0);
    session.next();
    EXPECT_EQ(session.selection(), Selection{}) << "a glyph shown starts with nothing selected";
}

// Glyph 5 of the crafted font is a composite of two squares: listed and drawn
// only with composites on, yet drawn whole when found.
TEST(SessionSelection, AFoundCompositeIsDrawnFromItsComponents)
{
    RecordingListener listener;
    NullSurface surface;
    FontSession session(listener, surface, openBuiltFile);
    openBuilt(session, "crafted.ttf", Crafted);
    ASSERT_FALSE(session.view().Composites);
    session.showGlyph(5);
    EXPECT_EQ(session.drawn().points.size(), 8u);
    session.setScale(3);
    EXPECT_EQ(session.drawn().points.size(), 8u) << "redrawn still from its components";
    session.showGlyph(1);
    EXPECT_EQ(session.drawn().points.size(), 4u);
    EXPECT_EQ(session.characterShown(), std::optional<char32_t>(U'A'));
    EXPECT_NE(session.outlineDocument().find("\"glyph\": 1"), std::string::npos) << session.outlineDocument();
}
