#pragma once
// A paint surface that keeps each call as a line of text and checks that
// every pop matches a push of its own kind.
#include <string>
#include <vector>

#include "colour/colour_json.h"
#include "colour/paint_surface.h"

class RecordingPaintSurface : public PaintSurface {
public:
    void pushClipGlyph(int glyph, const Contours& outline) override
    {
        push('c', "clip glyph " + std::to_string(glyph) + " (" + std::to_string(outline.points.size()) + " points)");
    }
    void pushClipRect(const ClipBox& b) override
    {
        push('c', "clip rect " + std::to_string(b.xMin) + " " + std::to_string(b.yMin) + " " + std::to_string(b.xMax)
                      + " " + std::to_string(b.yMax));
    }
    void popClip() override { pop('c', "pop clip"); }
    void pushTransform(const Affine& t) override
    {
        push('t', "transform " + std::to_string(t.xx) + " " + std::to_string(t.yx) + " " + std::to_string(t.xy) + " "
                      + std::to_string(t.yy) + " " + std::to_string(t.dx) + " " + std::to_string(t.dy));
    }
    void popTransform() override { pop('t', "pop transform"); }
    void fill(const Brush& b) override
    {
        static const char* const Kinds[] = {"solid", "linear", "radial", "sweep"};
        calls.push_back(std::string("fill ") + Kinds[int(b.kind)] + " "
                        + (b.kind == BrushKind::Solid ? ColourText(b.colour) : std::to_string(b.stops.size()) + " stops"));
        ++fills;
    }
    void pushLayer() override { push('l', "layer"); }
    void popLayer(CompositeMode mode) override { pop('l', std::string("pop layer ") + CompositeModeName(mode)); }

    std::vector<std::string> calls;
    int fills = 0;
    bool balanced() const { return ok && open.empty(); }

private:
    void push(char kind, std::string line)
    {
        open.push_back(kind);
        calls.push_back(std::move(line));
    }
    void pop(char kind, std::string line)
    {
        ok = ok && !open.empty() && open.back() == kind;
        if (!open.empty())
            open.pop_back();
        calls.push_back(std::move(line));
    }
    std::string open;
    bool ok = true;
};
