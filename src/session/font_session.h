#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "colour/colour_glyph.h"
#include "draw/surface.h"
#include "draw/view.h"
#include "sfnt/location.h"
#include "sfnt/fixed.h"
#include "tables/font_state.h"
#include "tables/open_font.h"

// What the picture, the listing and the points table show selected: a point
// of the glyph drawn, a segment and the listing line that draws it (-1: none).
struct Selection {
    int point = -1;
    int segment = -1;
    int line = -1;
    friend bool operator==(const Selection&, const Selection&) = default;
};

// What a font session tells the window (or a test) after each action.
class SessionListener {
public:
    virtual ~SessionListener() = default;
    // A font replaced the open one; its lists and first glyph follow.
    virtual void fontOpened(const FontState& font) = 0;
    // The file could not be opened; the font on display stays. `why` in plain words.
    virtual void fontNotOpened(const std::string& fileName, const std::string& why) = 0;
    // The pick lists were made again: each list shows no entry yet.
    virtual void listsChanged(const PickLists& lists) = 0;
    // The picture shows `glyph`; `entry` is the glyph list's entry to select (-1: none).
    virtual void glyphShown(int glyph, int entry, const GlyphReadout& readout) = 0;
    // The lists are empty: the picture and the read-out are cleared, stepping is off.
    virtual void noGlyphShown() = 0;
    // The message boxes an action raised, in order; every message goes through here.
    virtual void showMessages(const std::vector<std::string>& texts) = 0;
    // A point, a segment or a listing line was selected; a glyph shown starts with none.
    virtual void selectionChanged(const Selection& selection) = 0;
    // What the status bar says of a glyph drawn (it raised no box).
    virtual void showStatus(const std::string& text) = 0;
};

// What a session tells the views that follow it beside the window: each is
// told after the listener, in the order the observers were added.
class SessionObserver {
public:
    virtual ~SessionObserver() = default;
    // A font replaced the open one; its first glyph follows.
    virtual void fontOpened() {}
    virtual void glyphShown(int /*glyph*/) {}
    virtual void locationChanged() {}
    virtual void selectionChanged() {}
};

// The open font and what is shown of it: the pick lists, the glyph drawn into
// `surface`, the view options, the face and the variation location. Every
// action reports to the listener; nothing here knows of widgets.
class FontSession {
public:
    // Fonts are opened through `opener` (the platform's OpenFontPath).
    FontSession(SessionListener& listener, DrawingSurface& surface, FontOpener opener);

    // Opens face `face` of the file at `path` and, once loaded, replaces the
    // open font and shows its first glyph; a failed open (a refused face too)
    // keeps the open font, its face and its face count.
    void open(const std::string& path, int face = 0);
    // An observer is told until it is removed, which it must be before it goes away.
    void addObserver(SessionObserver& observer);
    void removeObserver(SessionObserver& observer);

    // Closes the font without telling the listener, as the window goes away.
    void unload();

    // Shows any glyph of the font, listed or not; a number outside the font
    // does nothing. The glyph found is drawn from its components whatever the
    // composites option says, until another is found.
    void showGlyph(int glyph);
    void next();
    void previous();
    // The three pick lists' choices: a glyph, a character code, a character.
    // The code and character lists' first entries never change the glyph.
    void pickGlyphEntry(int entry);
    void pickCodeEntry(int entry);
    void pickCharEntry(int entry);

    void setScale(int scale);     // 1..10, redraws
    void setOffset(int position); // 0..15: a margin of position * 100, redraws
    void setStartMarks(bool on);  // redraws while a glyph of the lists is shown
    void setComposites(bool on);  // the lists made again; the glyph shown stays when listed
    void setMetrics(bool on);
    void setStretch(bool on); // the glyph stretched to the square picture, as the classic view drew it
    // The variation location in user coordinates (16.16), one per axis of
    // the font, each clamped to its axis; redraws. Every open starts at the default.
    void setLocation(std::vector<Fixed> user);
    // The remembered view controls, before any font is open: nothing is drawn.
    void restoreView(int scale, int offset, bool startMarks);

    // The selection in the glyph shown. A point selects the first segment
    // drawn from it and that segment's line; a segment its line; a line the
    // first segment it draws. Numbers outside the glyph select nothing.
    void selectPoint(int point);
    void selectSegment(int segment);
    void selectLine(int line);
    const Selection& selection() const { return selection_; }
    const DrawnGlyph& drawn() const { return drawn_; }

    // The first character the glyph shown stands for, if any.
    std::optional<char32_t> characterShown() const;
    // The glyph shown as `lumaro-inspect outline` prints it, in its brackets,
    // at the location drawn.
    std::string outlineDocument() const;
    // The glyph shown's advance width at the location drawn; none past hmtx's glyphs.
    std::optional<std::int32_t> advanceShown() const;

    const std::shared_ptr<const FontState>& font() const { return font_; }
    // The open font's colour tables, read once as it opens; views into font().
    const ColourTables& colourTables() const { return colour_; }
    const PickLists& lists() const { return lists_; }
    const ViewState& view() const { return view_; }
    int CurrentGlyph() const { return currentGlyph_; }
    int EventsEnabled() const { return eventsEnabled_; } // 1: the pick lists' choices act
    int faceIndex() const { return faceIndex_; }
    int faceCount() const { return faceCount_; } // of the file open: 1 for a single font
    const Location& location() const { return view_.location; }
    const std::vector<Fixed>& userLocation() const { return userLocation_; }

private:
    void show(int glyph, int entry);
    void redraw();
    void step(int by);
    void pickCharacter(const std::vector<int>& codes, int entry);
    void showLists(int entry);
    void report(const std::vector<std::string>& texts);
    void select(const Selection& selection);
    int segmentFromPoint(int point) const;
    template <class Tell>
    void tell(Tell news)
    {
        for (SessionObserver* o : observers_)
            news(*o);
    }

    SessionListener& listener_;
    std::vector<SessionObserver*> observers_;
    DrawingSurface& surface_;
    FontOpener opener_;
    std::shared_ptr<const FontState> font_; // never null; shared with work that outlives an open
    ColourTables colour_;                   // of font_
    PickLists lists_;
    ViewState view_;
    int currentGlyph_ = 0;
    int entry_ = -1; // the glyph list's selected entry
    int eventsEnabled_ = 0;
    int faceIndex_ = 0;   // the face of a collection; 0 for a single font
    int faceCount_ = 1;
    int foundGlyph_ = -1; // drawn from its components whatever the option
    DrawnGlyph drawn_;    // the glyph shown: its points and segments
    WorkingValues work_;  // as its drawing left them
    std::optional<std::int32_t> advance_; // as its drawing resolved it
    Selection selection_;
    std::vector<Fixed> userLocation_; // what view_.location is normalized from
};
