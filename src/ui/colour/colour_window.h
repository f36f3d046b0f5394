#pragma once
#include <memory>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include "colour/colour_glyph.h"
#include "platform/colour_picture.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

// View > "Colour": a glyph in colour at 16 to 512 pixels per em on a
// checkerboard or a plain background, with its palette and foreground
// colour, beside its colour structure: the COLRv1 paint tree, the COLRv0
// layers, or a line for the other formats. A selected node's region is
// outlined over the picture.
class ColourWindow : public QWidget {
    Q_OBJECT
public:
    explicit ColourWindow(QWidget* parent = nullptr);

    // A new font (its tables read once), or the same at another location or glyph.
    void showGlyph(std::shared_ptr<const FontState> font, std::shared_ptr<const ColourTables> tables, int glyph,
                   const Location& location);
    int glyph() const { return glyph_; }
    QImage picture() const { return picture_; }

signals:
    // A PaintGlyph or a layer was selected: its glyph, to be shown in the main window.
    void outlineChosen(int glyph);

private:
    void fillPalettes();
    void describe();
    void render();
    void fillTree();
    void addImageDetails(QTreeWidgetItem* top) const;
    void chooseColour(QColor& colour);
    QPainterPath selectedRegion() const;
    PaintSettings settings() const;

    QSpinBox* ppem_ = nullptr;
    QComboBox* palette_ = nullptr;
    QComboBox* background_ = nullptr;
    QPushButton* foregroundButton_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    QLabel* canvas_ = nullptr;
    QLabel* messages_ = nullptr;

    std::shared_ptr<const FontState> font_;
    std::shared_ptr<const ColourTables> tables_;
    int glyph_ = -1;
    Location location_;
    ColourGlyph described_;
    ColourRendering rendering_;
    QColor foreground_ = Qt::black;
    QColor backgroundColour_ = Qt::white;
    QImage picture_;
};
