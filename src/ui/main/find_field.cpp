#include "ui/main/find_field.h"

#include <QCompleter>
#include <QKeyEvent>
#include <QStringListModel>

#include "platform/char_names.h"
#include "platform/code_text.h"
#include "tables/glyph_names.h"

namespace {

constexpr int CodesShown = 4; // a glyph a whole range maps to says "…" after these

QString namedCodeText(char32_t code)
{
    QString text = CodeText(code);
    if (const std::string name = CharacterName(code); !name.empty())
        text += QLatin1Char(' ') + QString::fromStdString(name);
    return text;
}

} // namespace

FindField::FindField(QWidget* parent) : QLineEdit(parent), names_(new QStringListModel(this))
{
    setPlaceholderText(QString::fromUtf8("Find: 36, U+00E9, \u00e9 or eacute"));
    setToolTip("A glyph number, a character code, a character, a glyph name or a character's Unicode name");
    setClearButtonEnabled(true);
    auto* completer = new QCompleter(names_, this);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    completer->setModelSorting(QCompleter::UnsortedModel);
    setCompleter(completer);
}

void FindField::useNames(const FontState& font)
{
    QStringList names;
    for (int g = 0; g < font.NumGlyphs; ++g)
        if (const std::string name = GlyphName(font, g); !name.empty())
            names << QString::fromStdString(name);
    names.removeDuplicates();
    names_->setStringList(names);
}

void FindField::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit leave();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

QString GlyphDescription(const FontState& font, int glyph, std::optional<std::int32_t> advance)
{
    if (!font.Loaded || glyph < 0 || glyph >= font.NumGlyphs)
        return {};
    QStringList parts{QStringLiteral("Glyph %1").arg(glyph)};
    const std::vector<char32_t> codes = font.Unicode.codesFor(glyph);
    QStringList shown;
    for (std::size_t i = 0; i < codes.size() && i < CodesShown; ++i)
        shown << namedCodeText(codes[i]);
    if (codes.size() > CodesShown)
        shown << QString::fromUtf8("\u2026");
    if (!shown.isEmpty())
        parts << shown.join(QLatin1String(", "));
    if (const std::string name = GlyphName(font, glyph); !name.empty())
        parts << QString::fromStdString(name);
    if (advance)
        parts << QStringLiteral("advance %1").arg(*advance);
    return parts.join(QString::fromUtf8(" \u00b7 "));
}
