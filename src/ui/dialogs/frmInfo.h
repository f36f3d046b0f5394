#pragma once
class QWidget;
#include "sfnt/failure.h"

struct FontState;

// "Info...": reads the open font's naming table and shows it in the modal
// "TTF Info" dialog; afterwards glyf is looked up again so drawing goes on.
// With no font open or no 'name' table no dialog opens, and the failure
// (code 14) is returned for the caller to show.
Reports ShowFontInfo(QWidget* owner, const FontState& font);
