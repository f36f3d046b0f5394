#pragma once
class QWidget;
struct FontState;

// "Font Details...": the open font's table directory with stored and
// computed checksums, the fields of head, hhea, maxp, OS/2 and post, the cmap
// subtables and which ones the lists and Find read, the variation axes and
// instances, the GSUB and GPOS scripts and features, and the naming table
// with what each name ID means. Modal; nothing happens without a font.
void ShowFontDetails(QWidget* owner, const FontState& font);
