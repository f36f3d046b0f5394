#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "outline/cff.h"

// Type 2 (CFF) and CFF2 charstring operators; escaped ones are 1200 + x.
enum CharStringOp : int {
    HStem = 1, VStem = 3, VMoveTo = 4, RLineTo = 5, HLineTo = 6, VLineTo = 7, RRCurveTo = 8,
    CallSubr = 10, Return = 11, Escape = 12, EndChar = 14, VsIndex = 15, Blend = 16, HStemHm = 18,
    HintMask = 19, CntrMask = 20, RMoveTo = 21, HMoveTo = 22, VStemHm = 23, RCurveLine = 24,
    RLineCurve = 25, VVCurveTo = 26, HHCurveTo = 27, ShortInt = 28, CallGSubr = 29, VHCurveTo = 30,
    HVCurveTo = 31, Fixed1616 = 255,
    HFlex = 1234, Flex = 1235, HFlex1 = 1236, Flex1 = 1237,
};

// One glyph's charstring being run: the operand stack, the current point,
// the hints counted, and the contours drawn so far.
class CharStringMachine {
public:
    CharStringMachine(const CffFont& font, const CffPrivate& priv, const Location& location);

    // Runs code (the glyph's charstring, or a subroutine at depth > 0).
    // false: why() says what broke.
    bool run(std::span<const std::uint8_t> code, int depth = 0);
    // Closes the last contour; the contours in whole units.
    Contours finish();

    const std::string& why() const { return why_; }
    const std::optional<CffAccented>& accented() const { return accented_; }
    int contourCount() const { return int(out_.ends.size()); }
    int pointCount() const { return int(out_.points.size()); }

private:
    bool fail(std::string why);
    bool overflow();
    bool push(double value)
    {
        if (count_ >= stackLimit_)
            return overflow();
        stack_[std::size_t(count_++)] = value;
        return true;
    }
    bool need(int count, const char* op);
    bool number(ByteReader& r, int b0);
    bool execute(int op, ByteReader& r, int depth);
    bool stemOrMask(int op, ByteReader& r);
    bool moveOp(int op);
    bool lineOp(int op);
    bool curveOp(int op);
    bool alternatingCurves(bool horizontalFirst);
    bool flexOp(int op);
    bool callOp(int op, int depth);
    bool endChar();
    bool blendOp();
    void takeWidth(bool hasWidth);
    double arg(int i) const { return stack_[std::size_t(i)]; }

    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void curveTo(double x1, double y1, double x2, double y2, double x3, double y3);
    void startPath();
    void addPoint(double x, double y, PointKind kind);
    void closeContour();

    const CffFont& font_;
    const CffPrivate& private_;
    const Location& location_;
    std::array<double, MaxCff2Stack> stack_; // only the first count_ are ever read
    int count_ = 0;
    int stackLimit_;
    int stems_ = 0;
    bool widthTaken_ = false;
    bool ended_ = false;
    long operators_ = 0;
    int vsindex_;
    std::optional<std::vector<double>> scalars_;
    double x_ = 0, y_ = 0;
    bool pathOpen_ = false;
    std::size_t contourStart_ = 0;
    Contours out_;
    std::optional<CffAccented> accented_;
    std::string why_;
};
