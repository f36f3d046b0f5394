#pragma once
#include <QPointF>
#include <QRectF>
#include <QTransform>
#include <QWidget>

class QPainter;
class SteppingSession;

// A point of the run: the glyph's own (outline and phantom points) or a twilight one.
struct ZonePoint {
    bool twilight = false;
    int point = -1;
    bool valid() const { return point >= 0; }
    friend bool operator==(const ZonePoint&, const ZonePoint&) = default;
};

// The run's points on the pixel grid, fitted into `area`: 26.6 units to
// device pixels.
QTransform SteppedGlyphTransform(const SteppingSession& session, const QRectF& area);

// Paints the pixel grid, the original points, the current outline and
// points, an arrow for each moved point and the twilight points, numbered.
void PaintSteppedGlyph(QPainter& p, const QRectF& area, const SteppingSession& session, ZonePoint selected);

// The debugger's picture: hovering names a point, a click selects it.
class InstructionCanvas : public QWidget {
    Q_OBJECT
public:
    explicit InstructionCanvas(QWidget* parent = nullptr);
    // The session painted; null paints nothing.
    void setSession(const SteppingSession* session);
    ZonePoint selected() const { return selected_; }
    void select(ZonePoint point);

signals:
    void pointHovered(ZonePoint point);
    void pointSelected(ZonePoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    ZonePoint pointAt(QPointF at) const;

    const SteppingSession* session_ = nullptr;
    ZonePoint selected_, hovered_;
};
