#pragma once
#include <string>
#include <vector>

#include "draw/surface.h"

// A drawing surface that keeps a list of every call made to it, for tests.
// Print records the text colour and font in effect when it was called.
class RecordingSurface : public DrawingSurface {
public:
    enum Kind { ClsCall, ScaleCall, LineCall, CircleCall, CurrentXCall, CurrentYCall,
                ForeColorCall, FontNameCall, FontSizeCall, PrintCall };

    struct Call {
        Kind kind;
        std::vector<double> args; // Scale, Line: x1 y1 x2 y2; Circle: x y radius; CurrentX/Y, FontSize: value
        Rgb colour{};             // Line, Circle, ForeColor; Print: the text colour in effect
        std::string text;         // FontName, Print; Print also records the font below
        std::string fontName;     // Print: font in effect
        double fontSize = 0;      // Print: size in effect
    };

    // Stands in for the system window-text colour, the picture's text colour
    // until ForeColor is first set; deliberately not black, so tests can tell.
    static constexpr Rgb WindowText{1, 2, 3};

    std::vector<Call> calls;
    Rgb foreColor = WindowText;
    std::string fontName = "Small Fonts";
    double fontSize = 6;

    void Cls() override { calls.push_back({ClsCall, {}, {}, {}, {}, 0}); }
    void Scale(double x1, double y1, double x2, double y2) override
    {
        calls.push_back({ScaleCall, {x1, y1, x2, y2}, {}, {}, {}, 0});
    }
    void Line(int x1, int y1, int x2, int y2, Rgb colour) override
    {
        calls.push_back({LineCall, {double(x1), double(y1), double(x2), double(y2)}, colour, {}, {}, 0});
    }
    void Circle(double x, double y, double radius, Rgb colour) override
    {
        calls.push_back({CircleCall, {x, y, radius}, colour, {}, {}, 0});
    }
    void CurrentX(double x) override { calls.push_back({CurrentXCall, {x}, {}, {}, {}, 0}); }
    void CurrentY(double y) override { calls.push_back({CurrentYCall, {y}, {}, {}, {}, 0}); }
    void ForeColor(Rgb colour) override
    {
        foreColor = colour;
        calls.push_back({ForeColorCall, {}, colour, {}, {}, 0});
    }
    void FontName(const std::string& name) override
    {
        fontName = name;
        calls.push_back({FontNameCall, {}, {}, name, {}, 0});
    }
    void FontSize(double points) override
    {
        fontSize = points;
        calls.push_back({FontSizeCall, {points}, {}, {}, {}, 0});
    }
    void Print(const std::string& text) override
    {
        calls.push_back({PrintCall, {}, foreColor, text, fontName, fontSize});
    }

    // The calls of one kind, in order.
    std::vector<Call> of(Kind kind) const
    {
        std::vector<Call> out;
        for (const Call& c : calls)
            if (c.kind == kind)
                out.push_back(c);
        return out;
    }
    std::size_t count(Kind kind) const { return of(kind).size(); }
    // Everything since the last Cls.
    std::vector<Call> sinceLastCls() const
    {
        std::size_t from = 0;
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].kind == ClsCall)
                from = i + 1;
        return {calls.begin() + std::ptrdiff_t(from), calls.end()};
    }
    void clear() { calls.clear(); }
};
