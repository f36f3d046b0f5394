#include "session/font_session.h"

#include <algorithm>

#include "draw/segment.h"
#include "outline/composite.h"
#include "report/container_text.h"
#include "report/messages.h"
#include "report/outline_json.h"
#include "tables/cmap.h"
#include "tables/loader.h"
#include "tables/open_font.h"

namespace {

// Why an open failed: a container or face refused; what a file that is no
// font is; for a font, what its load reported. A CFF font is a font,
// whatever failed in it; an empty file ends inside its table directory, as
// the status bar has always said.
std::string whyNotOpened(const OpenedFont& opened)
{
    if (opened.result == LoadResult::Refused)
        return ContainerFailureText(opened.refusal);
    const bool named = opened.kind != FileKind::OpenTypeCff && opened.kind != FileKind::Empty;
    const std::string what = named ? FileKindText(opened.kind) : std::string();
    return what.empty() ? WhyNotOpened(opened.reports) : "it is " + what;
}

} // namespace

FontSession::FontSession(SessionListener& listener, DrawingSurface& surface, FontOpener opener)
    : listener_(listener), surface_(surface), opener_(std::move(opener)), font_(std::make_shared<FontState>())
{
}

void FontSession::addObserver(SessionObserver& observer)
{
    observers_.push_back(&observer);
}

void FontSession::removeObserver(SessionObserver& observer)
{
    std::erase(observers_, &observer);
}

void FontSession::report(const std::vector<std::string>& texts)
{
    if (!texts.empty())
        listener_.showMessages(texts);
}

void FontSession::open(const std::string& path, int face)
{
    OpenedFont opened = opener_(path, view_.Composites, face);
    std::vector<std::string> boxes = MessageBoxes(opened.reports);
    if (opened.result == LoadResult::Unreadable)
        boxes.push_back("The file " + path + " could not be read.");
    report(boxes);
    if (opened.result != LoadResult::Loaded) {
        listener_.fontNotOpened(path, whyNotOpened(opened));
        return;
    }
    faceIndex_ = opened.face;
    faceCount_ = opened.faces;
    font_ = std::make_shared<const FontState>(std::move(opened.font));
    colour_ = ReadColourTables(*font_);
    lists_ = std::move(opened.lists);
    foundGlyph_ = -1;
    userLocation_ = DefaultCoordinates(font_->Variations);
    view_.location = {};
    eventsEnabled_ = 0; // a location set while the window takes in the font is drawn with the first glyph
    listener_.fontOpened(*font_);
    tell([](SessionObserver& o) { o.fontOpened(); });
    if (opened.firstEntry < 0) {
        showLists(-1);
        return;
    }
    currentGlyph_ = opened.firstGlyph;
    showLists(opened.firstEntry);
}

void FontSession::unload()
{
    font_ = std::make_shared<FontState>();
    colour_ = {};
    lists_ = {};
    drawn_ = {};
    advance_.reset();
    selection_ = {};
}

// The lists as made, then glyph currentGlyph_ at `entry`, or no glyph at all.
void FontSession::showLists(int entry)
{
    eventsEnabled_ = 0;
    listener_.listsChanged(lists_);
    if (entry < 0) {
        currentGlyph_ = 0;
        entry_ = -1;
        drawn_ = {};
        advance_.reset();
        selection_ = {};
        surface_.Cls();
        listener_.noGlyphShown();
        return;
    }
    show(currentGlyph_, entry);
    eventsEnabled_ = 1;
}

namespace {

bool hasColour(const ColourTables& t)
{
    return t.colr || t.svg || !t.cbdt.empty() || !t.sbix.empty();
}

} // namespace

void FontSession::show(int glyph, int entry)
{
    currentGlyph_ = glyph;
    entry_ = entry;
    ViewState drawing = view_;
    drawing.Composites = view_.Composites || glyph == foundGlyph_;
    const GlyphReadout readout = ShowGlyph(glyph, *font_, drawing, surface_);
    drawn_ = readout.drawn;
    work_ = readout.work;
    advance_ = readout.advance;
    selection_ = {};
    report(MessageBoxes(readout.reports));
    std::string note = StatusNote(readout.reports);
    const std::string colour = ColourStatus(DescribeColourGlyph(colour_, glyph, view_.location));
    note += (note.empty() || colour.empty() ? "" : " ") + colour;
    // In a colour font every glyph says something, if only nothing: the
    // last colour glyph's words must not stay beside a plain one.
    if (!note.empty() || hasColour(colour_))
        listener_.showStatus(note);
    listener_.glyphShown(glyph, entry, readout);
    tell([glyph](SessionObserver& o) { o.glyphShown(glyph); });
}

void FontSession::redraw()
{
    show(currentGlyph_, entry_);
}

void FontSession::showGlyph(int glyph)
{
    if (!font_->Loaded || glyph < 0 || glyph >= font_->NumGlyphs)
        return;
    foundGlyph_ = glyph;
    const auto& list = lists_.GlyphList;
    const auto at = std::lower_bound(list.begin(), list.end(), glyph);
    show(glyph, at != list.end() && *at == glyph ? int(at - list.begin()) : -1);
}

// One entry on in the glyph list, round from either end. From a glyph the
// list leaves out (found, or picked in the overview), the entry after or
// before that glyph's place in the list.
void FontSession::step(int by)
{
    const auto& list = lists_.GlyphList;
    const int count = int(list.size());
    if (count == 0)
        return;
    int entry = entry_ + by;
    if (entry_ < 0) {
        const auto after = std::upper_bound(list.begin(), list.end(), currentGlyph_);
        const auto from = by > 0 ? after : std::lower_bound(list.begin(), after, currentGlyph_);
        entry = int(from - list.begin()) + (by > 0 ? 0 : -1);
    }
    if (entry >= count)
        entry = 0;
    if (entry < 0)
        entry = count - 1;
    show(lists_.GlyphList[std::size_t(entry)], entry);
}

void FontSession::next()
{
    step(1);
}

void FontSession::previous()
{
    step(-1);
}

void FontSession::pickGlyphEntry(int entry)
{
    if (eventsEnabled_ != 1 || entry < 0 || std::size_t(entry) >= lists_.GlyphList.size())
        return;
    show(lists_.GlyphList[std::size_t(entry)], entry);
}

void FontSession::pickCodeEntry(int entry)
{
    pickCharacter(lists_.CharList, entry);
}

void FontSession::pickCharEntry(int entry)
{
    pickCharacter(lists_.AsciiList, entry);
}

void FontSession::pickCharacter(const std::vector<int>& codes, int entry)
{
    if (eventsEnabled_ != 1 || entry <= 0 || std::size_t(entry) >= codes.size())
        return;
    show(CharToGlyph(*font_, codes[std::size_t(entry)]), entry_);
}

void FontSession::setScale(int scale)
{
    view_.ViewScale = scale;
    redraw();
}

void FontSession::setOffset(int position)
{
    view_.ViewMargin = position * 100;
    redraw();
}

void FontSession::setStartMarks(bool on)
{
    if (eventsEnabled_ != 1)
        return;
    view_.ShowStartPoints = on ? 1 : 0;
    redraw();
}

void FontSession::setComposites(bool on)
{
    view_.Composites = on;
    if (!font_->Loaded)
        return;
    lists_ = MakePickLists(*font_, on);
    const auto& list = lists_.GlyphList;
    if (list.empty()) {
        showLists(-1);
        return;
    }
    const auto shown = std::find(list.begin(), list.end(), currentGlyph_);
    const int entry = shown == list.end() ? 0 : int(shown - list.begin());
    currentGlyph_ = list[std::size_t(entry)];
    showLists(entry);
}

void FontSession::setMetrics(bool on)
{
    view_.Metrics = on;
    if (font_->Loaded && !lists_.GlyphList.empty())
        redraw();
}

void FontSession::setStretch(bool on)
{
    view_.Stretch = on;
    if (font_->Loaded && !lists_.GlyphList.empty())
        redraw();
}

void FontSession::setLocation(std::vector<Fixed> user)
{
    const FontVariations& variations = font_->Variations;
    if (user.size() != variations.axes.size())
        return;
    for (std::size_t i = 0; i < user.size(); ++i)
        user[i] = std::clamp(user[i], variations.axes[i].min, variations.axes[i].max);
    view_.location = Normalize(variations, user);
    userLocation_ = std::move(user);
    if (eventsEnabled_ == 1)
        redraw();
    tell([](SessionObserver& o) { o.locationChanged(); });
}

void FontSession::restoreView(int scale, int offset, bool startMarks)
{
    view_.ViewScale = scale;
    view_.ViewMargin = offset * 100;
    view_.ShowStartPoints = startMarks ? 1 : 0;
}

void FontSession::select(const Selection& selection)
{
    selection_ = selection;
    listener_.selectionChanged(selection_);
    tell([](SessionObserver& o) { o.selectionChanged(); });
}

// The first segment drawn from the point's place in the picture: the control
// polygon's edge from an off-curve point, the edge or curve from an on-curve one.
int FontSession::segmentFromPoint(int point) const
{
    const DrawnPoint& p = drawn_.points[std::size_t(point)];
    const int x = SegmentX(p.x, work_, view_), y = SegmentY(p.y, work_, view_);
    const auto& segments = drawn_.segments;
    const auto from = std::find_if(segments.begin(), segments.end(),
                                   [&](const ListedSegment& s) { return s.x1 == x && s.y1 == y; });
    return from == segments.end() ? -1 : int(from - segments.begin());
}

void FontSession::selectPoint(int point)
{
    if (point < 0 || std::size_t(point) >= drawn_.points.size())
        return select({});
    const int segment = segmentFromPoint(point);
    select({point, segment, segment < 0 ? -1 : int(drawn_.segments[std::size_t(segment)].line)});
}

void FontSession::selectSegment(int segment)
{
    if (segment < 0 || std::size_t(segment) >= drawn_.segments.size())
        return select({});
    select({-1, segment, int(drawn_.segments[std::size_t(segment)].line)});
}

void FontSession::selectLine(int line)
{
    const auto& segments = drawn_.segments;
    const auto drawnBy = std::find_if(segments.begin(), segments.end(),
                                      [&](const ListedSegment& s) { return s.line == std::size_t(line); });
    select({-1, drawnBy == segments.end() ? -1 : int(drawnBy - segments.begin()), line < 0 ? -1 : line});
}

std::optional<char32_t> FontSession::characterShown() const
{
    if (!font_->Loaded)
        return std::nullopt;
    const std::vector<char32_t> codes = font_->Unicode.codesFor(currentGlyph_);
    if (codes.empty())
        return std::nullopt;
    return codes.front();
}

std::optional<std::int32_t> FontSession::advanceShown() const
{
    return font_->Loaded ? advance_ : std::nullopt;
}

std::string FontSession::outlineDocument() const
{
    if (!font_->Loaded)
        return {};
    WorkingValues work;
    work.GlyphIndex = currentGlyph_;
    const ResolvedGlyph glyph = ResolveGlyph(*font_, currentGlyph_, view_.location, work);
    const std::vector<std::string> texts =
        glyph.status == OutlineStatus::Abandoned ? MessageBoxes(glyph.failure) : std::vector<std::string>{};
    return "[\n" + OutlineDocument(currentGlyph_, glyph, texts) + "\n]\n";
}
