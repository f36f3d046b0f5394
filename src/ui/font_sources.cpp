#include "ui/font_sources.h"

#include <QFileInfo>
#include <QMenu>
#include <QStringList>

#include "platform/face_name.h"
#include "tables/names.h"

namespace {

constexpr int FullNameId = 4;

} // namespace

void FillFontSourceMenu(QMenu* menu, const FontState* font, int faceCount, const FontSourceChoices& choices)
{
    menu->clear();
    menu->addAction("Font File...", menu, choices.file);
    if (!font || !font->Loaded)
        return;
    if (faceCount > 1) {
        QMenu* faces = menu->addMenu("Face");
        const std::string path = font->FontFileName;
        for (int face = 0; face < faceCount; ++face)
            faces->addAction(QString("%1: %2").arg(face + 1).arg(QString::fromStdString(GetFaceName(path, face))), menu,
                             [choose = choices.face, face] { choose(face); });
    }
    menu->addAction("Location...", menu, choices.location)->setEnabled(!font->Variations.axes.empty());
}

QString FontSourceLabel(const FontState& font, int faceCount, const std::vector<Fixed>& user)
{
    QString label = QString::fromStdString(FontNameText(font, FullNameId));
    if (label.isEmpty())
        label = QFileInfo(QString::fromStdString(font.FontFileName)).fileName();
    if (faceCount > 1)
        label += QString::fromUtf8(" \u00b7 face %1 of %2").arg(font.Face + 1).arg(faceCount);
    const auto& axes = font.Variations.axes;
    QStringList values;
    for (std::size_t a = 0; a < axes.size() && a < user.size(); ++a)
        if (!axes[a].hidden)
            values << QString("%1 %2").arg(QString::fromStdString(axes[a].tag)).arg(user[a] / 65536.0, 0, 'g', 6);
    if (!values.isEmpty())
        label += QString::fromUtf8(" \u00b7 ") + values.join(' ');
    return label;
}
