#pragma once
// The core's calls as the window makes them, each report shown as its
// message boxes: the tests say what a user would read, in order.
#include <string>
#include <vector>

#include "sfnt/table_directory.h"
#include "tables/cmap.h"
#include "tables/loader.h"
#include "tables/names.h"
#include "outline/composite.h"
#include "draw/view.h"
#include "report/messages.h"

// Keeps every message-box text, in order, then what the status bar says of them.
struct RecordingSink {
    void take(const Reports& reports)
    {
        for (std::string& box : MessageBoxes(reports))
            texts.push_back(std::move(box));
        if (std::string note = StatusNote(reports); !note.empty())
            texts.push_back(std::move(note));
    }
    // true when there was no failure.
    bool take(const MaybeFailure& failure)
    {
        if (failure)
            take(Reports{*failure});
        return !failure;
    }

    std::vector<std::string> texts;
};

inline bool ReadTableDirectory(FontState& font, ByteReader& file, RecordingSink& sink)
{
    return sink.take(ReadTableDirectory(font, file));
}

inline TableLookup FindTable(const FontState& font, ByteReader& file, std::string_view tag, RecordingSink& sink,
                             TableSpan* span = nullptr)
{
    const FoundTable found = FindTable(font, file, tag);
    if (found.lookup == TableLookup::Abandoned)
        sink.take(Reports{found.failure});
    if (span && found.lookup == TableLookup::Found)
        *span = found.span;
    return found.lookup;
}

// The cmap table as the loader finds it and reads it, from its start to the end of the file.
inline bool ReadCharacterMap(FontState& font, ByteReader& file, RecordingSink& sink)
{
    const FoundTable cmap = FindTable(font, file, "cmap");
    if (cmap.lookup != TableLookup::Found)
        return sink.take(MaybeFailure(cmap.failure));
    Reports notes;
    const MaybeFailure failure =
        ReadCharacterMap(std::span<const std::uint8_t>(font.FontBytes).subspan(cmap.span.Offset), font, notes);
    sink.take(notes);
    return sink.take(failure);
}

inline LoadResult LoadFont(std::vector<std::uint8_t> bytes, FontState& font, RecordingSink& sink,
                           std::uint32_t faceOffset = 0)
{
    sink.take(LoadFont(std::move(bytes), font, faceOffset));
    return font.Loaded ? LoadResult::Loaded : LoadResult::Abandoned;
}

inline bool ReadNameTable(const FontState& font, RecordingSink& sink, NameTable& out)
{
    return sink.take(ReadNameTable(font, out));
}

inline bool ReadNames(const FontState& font, RecordingSink& sink, NameReading& out)
{
    return sink.take(ReadNames(font, out));
}

inline OutlineStatus DecodeOutline(int glyph, const FontState& font, Contours& outline, WorkingValues& work,
                                   RecordingSink& sink)
{
    const DecodedOutline decoded = DecodeOutline(font, glyph, Location{}, outline, work);
    if (decoded.status == OutlineStatus::Abandoned)
        sink.take(Reports{decoded.failure});
    return decoded.status;
}

inline ResolvedGlyph ResolveGlyph(const FontState& font, int g, const Location& location, WorkingValues& work,
                                  RecordingSink& sink, bool components = true)
{
    ResolvedGlyph glyph = ResolveGlyph(font, g, location, work, components);
    sink.take(glyph.reports);
    if (glyph.status == OutlineStatus::Abandoned)
        sink.take(Reports{glyph.failure});
    return glyph;
}

inline ResolvedGlyph ResolveGlyph(const FontState& font, int g, WorkingValues& work, RecordingSink& sink,
                                  bool components = true)
{
    return ResolveGlyph(font, g, Location{}, work, sink, components);
}

inline GlyphReadout ShowGlyph(int n, const FontState& font, const ViewState& view, DrawingSurface& surface,
                              RecordingSink& sink)
{
    GlyphReadout readout = ShowGlyph(n, font, view, surface);
    sink.take(readout.reports);
    return readout;
}
