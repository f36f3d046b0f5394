#pragma once
#include <cstdint>
#include <optional>

#include <QLineEdit>

#include "tables/font_state.h"

class QStringListModel;

// The toolbar's Find field: a glyph number, U+ code, character or glyph
// name, with the font's glyph names completed as they are typed. Escape
// hands the keyboard back (leave).
class FindField : public QLineEdit {
    Q_OBJECT
public:
    explicit FindField(QWidget* parent);
    // The names to complete: every glyph name of the font.
    void useNames(const FontState& font);

signals:
    void leave();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QStringListModel* names_;
};

// What the status bar says of the glyph on display, e.g.
// "Glyph 131 · U+00E9 é · eacute · advance 1233".
QString GlyphDescription(const FontState& font, int glyph, std::optional<std::int32_t> advance);
