#pragma once
// Loading built fonts in tests.
#include <string>

#include "tables/loader.h"
#include "support/recording_sink.h"
#include "support/ttf_builder.h"

inline LoadResult loadFontBytes(FontState& font, RecordingSink& sink, const ttf::ByteVector& bytes)
{
    return LoadFont(std::vector<std::uint8_t>(bytes.begin(), bytes.end()), font, sink);
}

// The state of a program with no font open (the file name aside).
inline bool noFontOpen(const FontState& font)
{
    return !font.Loaded && font.NumGlyphs == 0 && font.NumTables == 0 && font.FontBytes.empty()
        && font.TableDir.empty() && font.Glyf.Offset == 0 && font.Glyf.Length == 0
        && font.GlyphOffset.empty() && font.HMetrics.empty() && font.GlyphBox.empty() && font.GlyphKinds.empty()
        && font.PostVersion == 0 && font.PostNumberOfGlyphs == 0 && font.GlyphNameIndex.empty() && font.GlyphNames.empty() && font.UnicodeCmap == 0
        && font.CmapFormat == 0 && font.CmapLength == 0 && font.CmapData.empty();
}

// The text of an error box raised while loading (the working values are all 0 then).
inline std::string loadErrorText(int code, const std::string& reading = {})
{
    std::string text = "Error!\r\nCode = " + std::to_string(code)
                     + "\r\nNumberOffContours = 0\r\npontdb = 0\r\nb = 0";
    if (!reading.empty())
        text += "\r\nReading: " + reading;
    return text;
}
