#pragma once
class QWidget;
class MessageSink;
struct FontState;

// "Info...": reads the open font's naming table and shows it in the modal
// "TTF Info" dialog; afterwards glyf is looked up again so drawing goes on.
// With no font open or no 'name' table, "Not found: name" and code 14 go to
// sink and no dialog opens.
void ShowFontInfo(QWidget* owner, const FontState& font, MessageSink& sink);
