#pragma once
#include <memory>
#include <vector>

#include <QAbstractTableModel>
#include <QWidget>

#include "platform/shaping.h"

class GlyphDrawing;
class QTableView;

// The shaped glyphs of one row: glyph, name, cluster, advances and offsets in
// font units, one line each; Ctrl+C and "Copy" copy them as tab-separated text.
class GlyphList : public QWidget {
    Q_OBJECT
public:
    explicit GlyphList(QWidget* parent = nullptr);

    // The names come from `drawing`'s font; nullptr lists nothing.
    void setGlyphs(std::vector<ShapedGlyph> glyphs, std::shared_ptr<GlyphDrawing> drawing);
    // One line per glyph, its columns separated by tabs, each line ended by a newline.
    QString tabSeparated() const;
    void copy() const;

private:
    class Model : public QAbstractTableModel {
    public:
        using QAbstractTableModel::QAbstractTableModel;
        int rowCount(const QModelIndex& parent = {}) const override;
        int columnCount(const QModelIndex& parent = {}) const override;
        QVariant data(const QModelIndex& index, int role) const override;
        QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
        QString cell(int row, int column) const;
        void reset(std::vector<ShapedGlyph> glyphs, std::shared_ptr<GlyphDrawing> drawing);

    private:
        std::vector<ShapedGlyph> glyphs_;
        std::shared_ptr<GlyphDrawing> drawing_;
    };
    Model model_;
    QTableView* table_ = nullptr;
};
