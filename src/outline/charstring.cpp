#include "outline/charstring.h"

#include <cmath>

#include "outline/cff_strings.h"

namespace {

// The bias added to a subroutine number, by the size of its INDEX.
std::int64_t subrBias(std::uint32_t count)
{
    return count < 1240 ? 107 : count < 33900 ? 1131 : 32768;
}

// Charstring arithmetic is 16.16 and points come out in 1/1024 units,
// truncated to whole units.
// A point a hostile charstring drives past a billion units is held there.
std::int32_t wholeUnits(double v)
{
    constexpr double Far = 1e9;
    v = v < -Far ? -Far : v > Far ? Far : v; // every operand read was pushed, finite, and div is not run
    const auto whole = std::int32_t(v);
    if (whole == v)
        return whole; // nearly every coordinate
    return std::int32_t(std::floor(std::round(v * 1024.0) / 1024.0));
}

} // namespace

CharStringMachine::CharStringMachine(const CffFont& font, const CffPrivate& priv, const Location& location)
    : font_(font), private_(priv), location_(location), stackLimit_(font.cff2 ? MaxCff2Stack : MaxCffStack),
      vsindex_(priv.vsindex)
{
    widthTaken_ = font.cff2; // CFF2 charstrings carry no width
    out_.points.reserve(64);
}

bool CharStringMachine::fail(std::string why)
{
    why_ = std::move(why);
    return false;
}

bool CharStringMachine::overflow()
{
    return fail("argument stack overflow (more than " + std::to_string(stackLimit_) + " operands)");
}

bool CharStringMachine::need(int count, const char* op)
{
    return count_ >= count || fail(std::string("too few operands for ") + op);
}

bool CharStringMachine::number(ByteReader& r, int b0)
{
    double value = 0;
    if (b0 >= 32 && b0 <= 246)
        value = b0 - 139;
    else if (b0 >= 247 && b0 <= 250)
        value = (b0 - 247) * 256 + r.u8() + 108;
    else if (b0 >= 251 && b0 <= 254)
        value = -(b0 - 251) * 256 - r.u8() - 108;
    else if (b0 == ShortInt)
        value = r.i16();
    else
        value = std::int32_t(r.u32()) / 65536.0;
    if (!r.ok())
        return fail("a number runs past the end of the charstring");
    return push(value);
}

bool CharStringMachine::run(std::span<const std::uint8_t> code, int depth)
{
    ByteReader r(code);
    while (r.pos() < r.size() && !ended_) {
        const int b0 = r.u8();
        if (b0 >= 32 || b0 == ShortInt) {
            if (!number(r, b0))
                return false;
            continue;
        }
        const int op = b0 == Escape ? 1200 + r.u8() : b0;
        if (!r.ok())
            return fail("an escaped operator runs past the end of the charstring");
        if (++operators_ > MaxCharStringOperators)
            return fail("more than " + std::to_string(MaxCharStringOperators) + " operators");
        if (op == Return && !font_.cff2)
            return true;
        if (!execute(op, r, depth))
            return false;
    }
    return true;
}

bool CharStringMachine::execute(int op, ByteReader& r, int depth)
{
    switch (op) {
    case HStem: case VStem: case HStemHm: case VStemHm: case HintMask: case CntrMask:
        return stemOrMask(op, r);
    case RMoveTo: case HMoveTo: case VMoveTo:
        return moveOp(op);
    case RLineTo: case HLineTo: case VLineTo:
        return lineOp(op);
    case RRCurveTo: case RCurveLine: case RLineCurve: case VVCurveTo: case HHCurveTo: case VHCurveTo:
    case HVCurveTo:
        return curveOp(op);
    case HFlex: case Flex: case HFlex1: case Flex1:
        return flexOp(op);
    case CallSubr: case CallGSubr:
        return callOp(op, depth);
    case EndChar:
        return font_.cff2 ? fail("endchar in a CFF2 charstring") : endChar();
    case Blend:
        return font_.cff2 ? blendOp() : fail("blend in a CFF charstring");
    case VsIndex:
        if (!font_.cff2 || !need(1, "vsindex"))
            return font_.cff2 || fail("vsindex in a CFF charstring");
        vsindex_ = int(arg(count_ - 1));
        scalars_.reset();
        count_ = 0;
        return true;
    default:
        // Operators this reader does not run (the arithmetic of old fonts,
        // reserved ones) take their operands with them.
        count_ = 0;
        return true;
    }
}

// The first stack-clearing operator of a CFF charstring may carry the
// advance width before its own operands.
void CharStringMachine::takeWidth(bool hasWidth)
{
    if (widthTaken_)
        return;
    widthTaken_ = true;
    if (hasWidth) {
        for (int i = 1; i < count_; ++i)
            stack_[std::size_t(i - 1)] = stack_[std::size_t(i)];
        --count_;
    }
}

bool CharStringMachine::stemOrMask(int op, ByteReader& r)
{
    takeWidth(count_ % 2 == 1);
    stems_ += count_ / 2; // operands before a mask are its vertical stems
    count_ = 0;
    if (op != HintMask && op != CntrMask)
        return true;
    if (stems_ == 0)
        return fail(std::string(op == HintMask ? "hintmask" : "cntrmask") + " before any stem");
    r.skip(std::size_t(stems_ + 7) / 8);
    return r.ok() || fail("a hint mask runs past the end of the charstring");
}

bool CharStringMachine::moveOp(int op)
{
    const int args = op == RMoveTo ? 2 : 1;
    takeWidth(count_ > args);
    if (!need(args, "a moveto"))
        return false;
    const double dx = op == VMoveTo ? 0 : arg(0);
    const double dy = op == RMoveTo ? arg(1) : op == VMoveTo ? arg(0) : 0;
    moveTo(x_ + dx, y_ + dy);
    count_ = 0;
    return true;
}

bool CharStringMachine::lineOp(int op)
{
    if (!need(op == RLineTo ? 2 : 1, "a lineto"))
        return false;
    if (op == RLineTo) {
        for (int i = 0; i + 1 < count_; i += 2)
            lineTo(x_ + arg(i), y_ + arg(i + 1));
    } else {
        bool horizontal = op == HLineTo;
        for (int i = 0; i < count_; ++i, horizontal = !horizontal)
            lineTo(x_ + (horizontal ? arg(i) : 0), y_ + (horizontal ? 0 : arg(i)));
    }
    count_ = 0;
    return true;
}

bool CharStringMachine::curveOp(int op)
{
    auto curveAt = [&](int i) {
        const double x1 = x_ + arg(i), y1 = y_ + arg(i + 1);
        const double x2 = x1 + arg(i + 2), y2 = y1 + arg(i + 3);
        curveTo(x1, y1, x2, y2, x2 + arg(i + 4), y2 + arg(i + 5));
    };
    int i = 0;
    if (op == VHCurveTo || op == HVCurveTo)
        return alternatingCurves(op == HVCurveTo);
    if (op == RRCurveTo || op == RCurveLine) {
        if (!need(op == RRCurveTo ? 6 : 8, "a curveto"))
            return false;
        for (; count_ - i >= (op == RCurveLine ? 8 : 6); i += 6)
            curveAt(i);
        if (op == RCurveLine)
            lineTo(x_ + arg(i), y_ + arg(i + 1));
    } else if (op == RLineCurve) {
        if (!need(8, "rlinecurve"))
            return false;
        if (count_ % 2 == 1) // the last curve would read an operand never pushed; FreeType refuses it too
            return fail("rlinecurve with an odd number of operands");
        for (; count_ - i > 6; i += 2)
            lineTo(x_ + arg(i), y_ + arg(i + 1));
        curveAt(i);
    } else { // vvcurveto, hhcurveto: an odd operand first moves across the run
        if (!need(4, "a curveto"))
            return false;
        const bool vertical = op == VVCurveTo;
        double across = count_ % 2 == 1 ? arg(i++) : 0;
        for (; count_ - i >= 4; i += 4, across = 0) {
            const double x1 = x_ + (vertical ? across : arg(i)), y1 = y_ + (vertical ? arg(i) : across);
            const double x2 = x1 + arg(i + 1), y2 = y1 + arg(i + 2);
            curveTo(x1, y1, x2, y2, x2 + (vertical ? 0 : arg(i + 3)), y2 + (vertical ? arg(i + 3) : 0));
        }
    }
    count_ = 0;
    return true;
}

bool CharStringMachine::alternatingCurves(bool horizontal)
{
    if (!need(4, "a curveto"))
        return false;
    for (int i = 0; count_ - i >= 4; i += 4, horizontal = !horizontal) {
        const double last = count_ - i == 5 ? arg(i + 4) : 0;
        const double x1 = x_ + (horizontal ? arg(i) : 0), y1 = y_ + (horizontal ? 0 : arg(i));
        const double x2 = x1 + arg(i + 1), y2 = y1 + arg(i + 2);
        curveTo(x1, y1, x2, y2, x2 + (horizontal ? last : arg(i + 3)), y2 + (horizontal ? arg(i + 3) : last));
    }
    count_ = 0;
    return true;
}

bool CharStringMachine::flexOp(int op)
{
    const int args = op == HFlex ? 7 : op == Flex ? 13 : op == HFlex1 ? 9 : 11;
    if (!need(args, "a flex"))
        return false;
    std::array<double, 12> d{}; // dx1 dy1 ... dx6 dy6
    if (op == Flex) {
        for (int k = 0; k < 12; ++k)
            d[std::size_t(k)] = arg(k);
    } else if (op == HFlex) {
        d = {arg(0), 0, arg(1), arg(2), arg(3), 0, arg(4), 0, arg(5), -arg(2), arg(6), 0};
    } else if (op == HFlex1) {
        d = {arg(0), arg(1), arg(2), arg(3), arg(4), 0, arg(5), 0, arg(6), arg(7), arg(8), 0};
        d[11] = -(arg(1) + arg(3) + arg(7));
    } else {
        double dx = 0, dy = 0;
        for (int k = 0; k < 10; k += 2) {
            d[std::size_t(k)] = arg(k), dx += arg(k);
            d[std::size_t(k + 1)] = arg(k + 1), dy += arg(k + 1);
        }
        const bool wide = std::fabs(dx) > std::fabs(dy);
        d[10] = wide ? arg(10) : -dx;
        d[11] = wide ? -dy : arg(10);
    }
    for (int k = 0; k < 12; k += 6) {
        const double x1 = x_ + d[std::size_t(k)], y1 = y_ + d[std::size_t(k + 1)];
        const double x2 = x1 + d[std::size_t(k + 2)], y2 = y1 + d[std::size_t(k + 3)];
        curveTo(x1, y1, x2, y2, x2 + d[std::size_t(k + 4)], y2 + d[std::size_t(k + 5)]);
    }
    count_ = 0;
    return true;
}

bool CharStringMachine::callOp(int op, int depth)
{
    const CffIndex& subrs = op == CallSubr ? private_.subrs : font_.globalSubrs;
    const char* kind = op == CallSubr ? "subroutine " : "global subroutine ";
    if (!need(1, op == CallSubr ? "callsubr" : "callgsubr"))
        return false;
    const std::int64_t number = std::int64_t(arg(--count_)) + subrBias(subrs.count);
    if (depth + 1 > MaxSubrDepth)
        return fail("subroutines nested deeper than " + std::to_string(MaxSubrDepth));
    const auto code = number >= 0 ? subrs.item(std::uint32_t(std::min<std::int64_t>(number, UINT32_MAX)))
                                  : std::nullopt;
    if (!code)
        return fail(kind + std::to_string(number) + " is not in the font (" + std::to_string(subrs.count)
                    + " there)");
    return run(*code, depth + 1);
}

bool CharStringMachine::endChar()
{
    takeWidth(count_ == 1 || count_ == 5);
    if (count_ == 4) {
        const int base = CffGlyphOfSid(font_, StandardEncodingSid(int(arg(2))));
        const int accent = CffGlyphOfSid(font_, StandardEncodingSid(int(arg(3))));
        if (base < 0 || accent < 0)
            return fail("an accented glyph's base or accent is not in the font");
        accented_ = CffAccented{base, accent, int(arg(0)), int(arg(1))};
    }
    count_ = 0;
    ended_ = true;
    return true;
}

bool CharStringMachine::blendOp()
{
    if (!need(1, "blend"))
        return false;
    if (!scalars_)
        scalars_ = BlendScalars(font_.variations, vsindex_, location_);
    if (!scalars_)
        return fail("vsindex " + std::to_string(vsindex_) + " names no variation data");
    const double n = arg(count_ - 1);
    const std::size_t regions = scalars_->size();
    if (n < 0 || n * double(regions + 1) + 1 > count_)
        return fail("too few operands for blend");
    const int values = int(n);
    const int first = count_ - 1 - values * int(regions + 1);
    for (int i = 0; i < values; ++i) {
        double value = arg(first + i);
        for (std::size_t j = 0; j < regions; ++j)
            value += arg(first + values + i * int(regions) + int(j)) * (*scalars_)[j];
        stack_[std::size_t(first + i)] = value;
    }
    count_ = first + values;
    return true;
}

void CharStringMachine::moveTo(double x, double y)
{
    closeContour();
    x_ = x;
    y_ = y;
}

void CharStringMachine::startPath()
{
    if (pathOpen_)
        return;
    pathOpen_ = true;
    contourStart_ = out_.points.size();
    addPoint(x_, y_, PointKind::OnCurve);
}

void CharStringMachine::lineTo(double x, double y)
{
    if (x == x_ && y == y_)
        return; // a line of no length draws nothing (FreeType leaves it out too)
    startPath();
    addPoint(x, y, PointKind::OnCurve);
    x_ = x;
    y_ = y;
}

void CharStringMachine::curveTo(double x1, double y1, double x2, double y2, double x3, double y3)
{
    startPath();
    addPoint(x1, y1, PointKind::CubicOff);
    addPoint(x2, y2, PointKind::CubicOff);
    addPoint(x3, y3, PointKind::OnCurve);
    x_ = x3;
    y_ = y3;
}

void CharStringMachine::addPoint(double x, double y, PointKind kind)
{
    // Past the limit nothing more is kept; finish() reports it.
    if (out_.points.size() <= std::size_t(MaxCffPoints))
        out_.points.push_back({wholeUnits(x), wholeUnits(y), kind});
}

// A contour that ends on its first point does not repeat it.
void CharStringMachine::closeContour()
{
    if (!pathOpen_)
        return;
    pathOpen_ = false;
    auto& points = out_.points;
    if (points.size() - contourStart_ > 1 && points.back() == points[contourStart_])
        points.pop_back();
    out_.ends.push_back(int(points.size()) - 1);
}

Contours CharStringMachine::finish()
{
    closeContour();
    return std::move(out_);
}

namespace {

Failure charStringFailure(WorkingValues work, const Contours& partial, std::string why)
{
    work.NumberOfContours = int(partial.ends.size());
    work.PointCount = std::int32_t(partial.points.size());
    return {BadCharString, work, std::move(why)};
}

std::variant<CffGlyph, Failure> runGlyph(const CffFont& font, int g, const Location& location,
                                         const WorkingValues& work)
{
    const auto code = g >= 0 ? font.charStrings.item(std::uint32_t(g)) : std::nullopt;
    if (!code)
        return charStringFailure(work, {}, "glyph " + std::to_string(g) + " has no charstring");
    const CffPrivate* priv = CffPrivateOf(font, g);
    if (!priv)
        return charStringFailure(work, {}, "FDSelect names no Font DICT");
    CharStringMachine machine(font, *priv, location);
    const bool ran = machine.run(*code);
    CffGlyph glyph{machine.finish(), machine.accented()};
    if (!ran)
        return charStringFailure(work, glyph.contours, machine.why());
    if (glyph.contours.points.size() > std::size_t(MaxCffPoints))
        return charStringFailure(work, glyph.contours, "more than 65 535 points");
    return glyph;
}

// Appends a component's contours, moved by dx, dy.
void appendContours(Contours& into, const Contours& part, int dx, int dy)
{
    const int before = int(into.points.size());
    for (const int end : part.ends)
        into.ends.push_back(before + end);
    for (OutlinePoint p : part.points) {
        p.x += dx;
        p.y += dy;
        into.points.push_back(p);
    }
}

} // namespace

std::variant<CffGlyph, Failure> DecodeCharString(const CffFont& font, int g, const Location& location,
                                                 WorkingValues work)
{
    work.GlyphIndex = g;
    auto decoded = runGlyph(font, g, location, work);
    if (std::holds_alternative<Failure>(decoded) || !std::get<CffGlyph>(decoded).accented)
        return decoded;
    CffGlyph& glyph = std::get<CffGlyph>(decoded);
    const CffAccented parts = *glyph.accented;
    glyph.contours = {};
    // The accent's contours come first, as FreeType gives them.
    for (const bool accent : {true, false}) {
        auto part = runGlyph(font, accent ? parts.accent : parts.base, location, work);
        if (std::holds_alternative<Failure>(part))
            return part;
        const CffGlyph& piece = std::get<CffGlyph>(part);
        if (piece.accented)
            return charStringFailure(work, glyph.contours, "an accented glyph's component is accented too");
        appendContours(glyph.contours, piece.contours, accent ? parts.dx : 0, accent ? parts.dy : 0);
    }
    if (glyph.contours.points.size() > std::size_t(MaxCffPoints))
        return charStringFailure(work, glyph.contours, "more than 65 535 points");
    return decoded;
}
