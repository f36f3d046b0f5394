#include "platform/outline_path.h"

#include "outline/outline_walk.h"

namespace {

QPointF at(PathPoint p) { return {p.x, p.y}; }

class PainterPathSink : public PathSink {
public:
    explicit PainterPathSink(QPainterPath& path) : path_(path) {}
    void moveTo(PathPoint to) override { path_.moveTo(at(to)); }
    void lineTo(PathPoint to) override { path_.lineTo(at(to)); }
    void quadTo(PathPoint c, PathPoint to) override { path_.quadTo(at(c), at(to)); }
    void cubicTo(PathPoint c1, PathPoint c2, PathPoint to) override { path_.cubicTo(at(c1), at(c2), at(to)); }
    void close() override { path_.closeSubpath(); }

private:
    QPainterPath& path_;
};

} // namespace

QPainterPath ContoursPath(const Contours& contours)
{
    QPainterPath path;
    PainterPathSink sink(path);
    WalkOutline(contours, sink);
    return path;
}

QPainterPath PolygonPath(const Contours& contours)
{
    QPainterPath path;
    PainterPathSink sink(path);
    WalkPolygon(contours, sink);
    return path;
}
