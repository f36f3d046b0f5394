#pragma once
#include <cstdint>
#include <string>

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb LightGrey{192, 192, 192}; // control polygon
inline constexpr Rgb StartCircleRed{255, 0, 0};
inline constexpr Rgb ContourNumberBlue{0, 0, 192};

// The picture the glyph is drawn into. Positions and sizes are in the user
// units set by Scale; y grows downward. The surface keeps what was drawn, and
// its text colour and font, until changed (Cls clears the picture only).
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;
    virtual void Cls() = 0;
    // (x1, y1) becomes the upper-left corner, (x2, y2) the lower-right one; x and y units are independent.
    virtual void Scale(double x1, double y1, double x2, double y2) = 0;
    virtual void Line(int x1, int y1, int x2, int y2, Rgb colour) = 0;
    // A true circle on screen; radius in horizontal units.
    virtual void Circle(double x, double y, double radius, Rgb colour) = 0;
    // Upper-left corner of the next printed text.
    virtual void CurrentX(double x) = 0;
    virtual void CurrentY(double y) = 0;
    virtual void ForeColor(Rgb colour) = 0;
    virtual void FontName(const std::string& name) = 0;
    virtual void FontSize(double points) = 0;
    virtual void Print(const std::string& text) = 0;
};

// Takes every drawing call and draws nothing: for work that wants the texts only.
class NullSurface : public DrawingSurface {
public:
    void Cls() override {}
    void Scale(double, double, double, double) override {}
    void Line(int, int, int, int, Rgb) override {}
    void Circle(double, double, double, Rgb) override {}
    void CurrentX(double) override {}
    void CurrentY(double) override {}
    void ForeColor(Rgb) override {}
    void FontName(const std::string&) override {}
    void FontSize(double) override {}
    void Print(const std::string&) override {}
};
