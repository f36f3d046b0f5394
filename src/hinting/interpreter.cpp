#include "hinting/interpreter.h"

#include <algorithm>
#include <optional>

#include "hinting/fixed_math.h"
#include "hinting/opcodes.h"

using namespace hintmath;

namespace {

// FreeType's stack accounting: the values each opcode pops before it runs
// and pushes (pops << 4 | pushes). It is the interpreter's, not the
// listing's: the loop instructions (SHP, IP, ALIGNRP, FLIPPT, SHPIX's points,
// the deltas' pairs) take the rest of their values themselves, MINDEX counts
// as one pop, and an underflow is filled with zeros up to these counts.
constexpr std::array<std::uint8_t, 256> PopPush = [] {
    std::array<std::uint8_t, 256> t{};
    const auto set = [&t](int from, int to, int pops, int pushes) {
        for (int op = from; op <= to; ++op)
            t[std::size_t(op)] = std::uint8_t(pops << 4 | pushes);
    };
    set(0x06, 0x0B, 2, 0);                 // SPVTL SFVTL SPVFS SFVFS
    set(0x0C, 0x0D, 0, 2);                 // GPV GFV
    set(0x0F, 0x0F, 5, 0);                 // ISECT
    set(0x10, 0x17, 1, 0);                 // SRP0..SLOOP
    set(0x1A, 0x1A, 1, 0);                 // SMD
    set(0x1C, 0x1F, 1, 0);                 // JMPR SCVTCI SSWCI SSW
    set(0x20, 0x20, 1, 2);                 // DUP
    set(0x21, 0x21, 1, 0);                 // POP
    set(0x23, 0x23, 2, 2);                 // SWAP
    set(0x24, 0x24, 0, 1);                 // DEPTH
    set(0x25, 0x25, 1, 1);                 // CINDEX
    set(0x26, 0x26, 1, 0);                 // MINDEX
    set(0x27, 0x27, 2, 0);                 // ALIGNPTS
    set(0x29, 0x29, 1, 0);                 // UTP
    set(0x2A, 0x2A, 2, 0);                 // LOOPCALL
    set(0x2B, 0x2C, 1, 0);                 // CALL FDEF
    set(0x2E, 0x2F, 1, 0);                 // MDAP
    set(0x34, 0x38, 1, 0);                 // SHC SHZ SHPIX
    set(0x3A, 0x3B, 2, 0);                 // MSIRP
    set(0x3E, 0x3F, 2, 0);                 // MIAP
    set(0x42, 0x42, 2, 0);                 // WS
    set(0x43, 0x43, 1, 1);                 // RS
    set(0x44, 0x44, 2, 0);                 // WCVTP
    set(0x45, 0x47, 1, 1);                 // RCVT GC
    set(0x48, 0x48, 2, 0);                 // SCFS
    set(0x49, 0x4A, 2, 1);                 // MD
    set(0x4B, 0x4C, 0, 1);                 // MPPEM MPS
    set(0x4F, 0x4F, 1, 0);                 // DEBUG
    set(0x50, 0x55, 2, 1);                 // LT..NEQ
    set(0x56, 0x57, 1, 1);                 // ODD EVEN
    set(0x58, 0x58, 1, 0);                 // IF
    set(0x5A, 0x5B, 2, 1);                 // AND OR
    set(0x5C, 0x5C, 1, 1);                 // NOT
    set(0x5D, 0x5F, 1, 0);                 // DELTAP1 SDB SDS
    set(0x60, 0x63, 2, 1);                 // ADD SUB DIV MUL
    set(0x64, 0x6F, 1, 1);                 // ABS NEG FLOOR CEILING ROUND NROUND
    set(0x70, 0x70, 2, 0);                 // WCVTF
    set(0x71, 0x77, 1, 0);                 // DELTAP2 DELTAP3 DELTAC1-3 SROUND S45ROUND
    set(0x78, 0x79, 2, 0);                 // JROT JROF
    set(0x7E, 0x7F, 1, 0);                 // SANGW AA
    set(0x81, 0x82, 2, 0);                 // FLIPRGON FLIPRGOFF
    set(0x85, 0x85, 1, 0);                 // SCANCTRL
    set(0x86, 0x87, 2, 0);                 // SDPVTL
    set(0x88, 0x88, 1, 1);                 // GETINFO
    set(0x89, 0x89, 1, 0);                 // IDEF
    set(0x8A, 0x8A, 3, 3);                 // ROLL
    set(0x8B, 0x8C, 2, 1);                 // MAX MIN
    set(0x8D, 0x8D, 1, 0);                 // SCANTYPE
    set(0x8E, 0x8E, 2, 0);                 // INSTCTRL
    set(0x92, 0x92, 0, 1);                 // GETDATA
    for (int k = 0; k < 8; ++k) {
        set(0xB0 + k, 0xB0 + k, 0, k + 1); // PUSHB
        set(0xB8 + k, 0xB8 + k, 0, k + 1); // PUSHW
    }
    set(0xC0, 0xDF, 1, 0);                 // MDRP
    set(0xE0, 0xFF, 2, 0);                 // MIRP
    return t;
}();

// Each opcode's length when the opcode alone fixes it: 1, or a PUSHB's or
// PUSHW's with its values; 0 for NPUSHB and NPUSHW, whose count follows.
constexpr std::array<std::uint8_t, 256> FixedLength = [] {
    std::array<std::uint8_t, 256> t{};
    t.fill(1);
    t[NPUSHB] = t[NPUSHW] = 0;
    for (int k = 0; k < 8; ++k) {
        t[std::size_t(PUSHB + k)] = std::uint8_t(2 + k);
        t[std::size_t(PUSHW + k)] = std::uint8_t(3 + 2 * k);
    }
    return t;
}();

// The length of the instruction at `at`, pushed values included; more than
// the rest of the code when a push runs past its end.
std::size_t InstructionLength(std::span<const std::uint8_t> code, std::uint32_t at)
{
    const std::uint8_t op = code[at];
    const std::size_t length = FixedLength[op];
    if (length != 0)
        return length;
    return 2 + (std::size_t(at) + 1 < code.size() ? std::size_t(code[at + 1]) << (op == NPUSHW) : 0);
}

bool bounds(std::uint64_t index, std::uint64_t size) { return index >= size; }

// A push's n values from its data: unsigned bytes or signed words.
[[gnu::always_inline]] inline void pushValues(bool words, const std::uint8_t* data, std::uint32_t n, std::int64_t* to)
{
    if (words)
        for (std::uint32_t k = 0; k < n; ++k)
            to[k] = std::int16_t(data[2 * k] << 8 | data[2 * k + 1]);
    else
        for (std::uint32_t k = 0; k < n; ++k)
            to[k] = data[k];
}

// FreeType's FT_Vector_NormLen: the vector scaled to length 0x10000, with its
// own Newton iteration, so that the unit vectors match to the last bit.
void normLen(std::int64_t& vx, std::int64_t& vy)
{
    std::int32_t x_ = std::int32_t(vx), y_ = std::int32_t(vy);
    std::uint32_t x = std::uint32_t(x_), y = std::uint32_t(y_);
    int sx = 1, sy = 1;
    if (x_ < 0) { x = 0u - x; sx = -1; }
    if (y_ < 0) { y = 0u - y; sy = -1; }
    if (x == 0) {
        if (y > 0)
            vy = sy * 0x10000;
        return;
    }
    if (y == 0) {
        if (x > 0)
            vx = sx * 0x10000;
        return;
    }
    std::uint32_t l = x > y ? x + (y >> 1) : y + (x >> 1);
    int msb = 31 - __builtin_clz(l);
    int shift = 31 - msb;
    shift -= 15 + (l >= (0xAAAAAAAAu >> shift));
    if (shift > 0) {
        x <<= shift;
        y <<= shift;
        l = x > y ? x + (y >> 1) : y + (x >> 1);
    } else {
        x >>= -shift;
        y >>= -shift;
        l >>= -shift;
    }
    std::int32_t b = 0x10000 - std::int32_t(l);
    x_ = std::int32_t(x);
    y_ = std::int32_t(y);
    std::uint32_t u = 0, v = 0;
    std::int32_t z = 0;
    do {
        u = std::uint32_t(x_ + std::int32_t((std::int64_t(x_) * b) >> 16));
        v = std::uint32_t(y_ + std::int32_t((std::int64_t(y_) * b) >> 16));
        z = -std::int32_t(u * u + v * v) / 0x200;
        z = std::int32_t(std::int64_t(z) * ((0x10000 + b) >> 8) / 0x10000);
        b += z;
    } while (z > 0);
    vx = sx < 0 ? -std::int64_t(u) : std::int64_t(u);
    vy = sy < 0 ? -std::int64_t(v) : std::int64_t(v);
}

void normalize(std::int64_t vx, std::int64_t vy, UnitVector& r)
{
    if (vx == 0 && vy == 0)
        return; // FreeType leaves the vector as it was
    normLen(vx, vy);
    r.x = std::int32_t(vx / 4);
    r.y = std::int32_t(vy / 4);
}

} // namespace

void Execution::computeFuncs()
{
    const auto& f = gs.freeVector;
    const auto& p = gs.projVector;
    if (f.x == 0x4000)
        fDotP_ = p.x;
    else if (f.y == 0x4000)
        fDotP_ = p.y;
    else
        fDotP_ = (std::int64_t(p.x) * f.x + std::int64_t(p.y) * f.y) >> 14;
    // Nearly perpendicular vectors would move points without bound.
    if (hintmath::abs(fDotP_) < 0x400)
        fDotP_ = 0x4000;
}

inline F26Dot6 Execution::project(F26Dot6 dx, F26Dot6 dy) const
{
    if (gs.projVector.x == 0x4000)
        return dx;
    if (gs.projVector.y == 0x4000)
        return dy;
    return dotFix14(dx, dy, gs.projVector.x, gs.projVector.y);
}

inline F26Dot6 Execution::dualProject(F26Dot6 dx, F26Dot6 dy) const
{
    if (gs.dualVector.x == 0x4000)
        return dx;
    if (gs.dualVector.y == 0x4000)
        return dy;
    return dotFix14(dx, dy, gs.dualVector.x, gs.dualVector.y);
}

F26Dot6 Execution::round(F26Dot6 d) const
{
    F26Dot6 v = 0;
    const SuperRound& s = superRound;
    // The grid roundings round the magnitude and keep the sign; a distance
    // never crosses zero.
    // Both signs are rounded and one kept, which lets the compiler choose
    // without a branch where it inlines this: a distance's sign follows no
    // pattern, and a branch on it is missed often.
    const auto symmetric = [d](auto roundMagnitude) -> F26Dot6 {
        const F26Dot6 positive = std::max<F26Dot6>(roundMagnitude(d), 0);
        const F26Dot6 negative = std::min<F26Dot6>(neg(roundMagnitude(neg(d))), 0);
        return d >= 0 ? positive : negative;
    };
    switch (gs.roundState) {
    case ROUND_TO_HALF_GRID:
        if (d >= 0) {
            v = pixFloor(d) + 32;
            if (v < 0)
                v = 32;
        } else {
            v = neg(pixFloor(neg(d)) + 32);
            if (v > 0)
                v = -32;
        }
        return v;
    case ROUND_TO_GRID:
        return symmetric(pixRound);
    case ROUND_TO_DOUBLE_GRID:
        return symmetric([](F26Dot6 x) { return add(x, 16) & -32; });
    case ROUND_DOWN_TO_GRID:
        return symmetric(pixFloor);
    case ROUND_UP_TO_GRID:
        return symmetric(pixCeil);
    case ROUND_SUPER:
        if (d >= 0) {
            v = (add(sub(d, s.phase), s.threshold) & neg(s.period)) + s.phase;
            return v < 0 ? s.phase : v;
        }
        v = sub(neg(add(sub(s.threshold, s.phase), neg(d)) & neg(s.period)), s.phase);
        return v > 0 ? neg(s.phase) : v;
    case ROUND_SUPER_45:
        if (s.period == 0)
            return d;
        if (d >= 0) {
            v = add(sub(d, s.phase), s.threshold) / s.period * s.period + s.phase;
            return v < 0 ? s.phase : v;
        }
        v = neg(add(sub(s.threshold, s.phase), neg(d)) / s.period * s.period) - s.phase;
        return v > 0 ? neg(s.phase) : v;
    default: // ROUND_OFF
        return d;
    }
}

namespace {
// Round_None: the distance, its sign kept.
F26Dot6 roundNone(F26Dot6 d) { return d; }
} // namespace

inline std::uint32_t Execution::points(const Zp& z) const
{
    return z.twilight ? std::min(twilightPoints_, twilight.size()) : glyph.size();
}

// Moves a point along the freedom vector so that its projection changes by
// `distance`. In v40's backward-compatibility mode x never moves, and y no
// longer once IUP has run on both axes.
inline void Execution::move(const Zp& z, std::uint32_t point, F26Dot6 distance)
{
    noteWrite(z, point);
    Zone& zone = zoneOf(z);
    const bool blockX = settings.version == 40 && backwardCompatibility;
    const bool blockY = blockX && iupXCalled && iupYCalled;
    if (fDotP_ == 0x4000 && gs.freeVector.x == 0x4000) {
        if (!blockX)
            zone.cur[point].x = add(zone.cur[point].x, distance);
        zone.tags[point] |= TOUCH_X;
        return;
    }
    if (fDotP_ == 0x4000 && gs.freeVector.y == 0x4000) {
        if (!blockY)
            zone.cur[point].y = add(zone.cur[point].y, distance);
        zone.tags[point] |= TOUCH_Y;
        return;
    }
    if (gs.freeVector.x != 0) {
        if (!blockX)
            zone.cur[point].x = add(zone.cur[point].x, mulDiv(distance, gs.freeVector.x, fDotP_));
        zone.tags[point] |= TOUCH_X;
    }
    if (gs.freeVector.y != 0) {
        if (!blockY)
            zone.cur[point].y = add(zone.cur[point].y, mulDiv(distance, gs.freeVector.y, fDotP_));
        zone.tags[point] |= TOUCH_Y;
    }
}

void Execution::moveOrig(const Zp& z, std::uint32_t point, F26Dot6 distance)
{
    Zone& zone = zoneOf(z);
    if (fDotP_ == 0x4000 && gs.freeVector.x == 0x4000) {
        zone.org[point].x = add(zone.org[point].x, distance);
        return;
    }
    if (fDotP_ == 0x4000 && gs.freeVector.y == 0x4000) {
        zone.org[point].y = add(zone.org[point].y, distance);
        return;
    }
    if (gs.freeVector.x != 0)
        zone.org[point].x = add(zone.org[point].x, mulDiv(distance, gs.freeVector.x, fDotP_));
    if (gs.freeVector.y != 0)
        zone.org[point].y = add(zone.org[point].y, mulDiv(distance, gs.freeVector.y, fDotP_));
}

void Execution::moveZp2(std::uint32_t point, F26Dot6 dx, F26Dot6 dy, bool touch)
{
    noteWrite(zp2_, point);
    Zone& zone = zoneOf(zp2_);
    const bool blockX = settings.version == 40 && backwardCompatibility;
    const bool blockY = blockX && iupXCalled && iupYCalled;
    if (gs.freeVector.x != 0) {
        if (!blockX)
            zone.cur[point].x = add(zone.cur[point].x, dx);
        if (touch)
            zone.tags[point] |= TOUCH_X;
    }
    if (gs.freeVector.y != 0) {
        if (!blockY)
            zone.cur[point].y = add(zone.cur[point].y, dy);
        if (touch)
            zone.tags[point] |= TOUCH_Y;
    }
}

bool Execution::setZone(Zp& zp, std::int64_t which)
{
    if (which != 0 && which != 1)
        return false;
    zp = Zp{which == 0};
    twilightZoneUsed |= which == 0;
    return true;
}

void Execution::Start(Program program)
{
    initialRange = program;
    setRange(program);
    ip = 0;
    top = 0;
    calls.clear();
    failures.clear();
    executed = 0;
    finished = code[std::size_t(program) - 1].empty();
    failed_ = false;
    zp0_ = zp1_ = zp2_ = Zp{false};
    if (program == Program::Glyph) {
        gs.gep0 = gs.gep1 = gs.gep2 = 1;
        gs.projVector = gs.freeVector = gs.dualVector = UnitVector{};
        gs.roundState = ROUND_TO_GRID;
        gs.loop = 1;
    } else {
        setZone(zp0_, gs.gep0);
        setZone(zp1_, gs.gep1);
        setZone(zp2_, gs.gep2);
    }
    backwardCompatibility = settings.version == 40 && settings.subpixelLean && !(gs.instructControl & 4);
    iupXCalled = iupYCalled = false;
    // FreeType's limits on the twilight zone and on loops, from the
    // glyph's points (phantoms included) and the CVT's size.
    const std::uint64_t cvtSize = Cvt().size(), glyphPoints = glyph.size();
    const std::uint64_t usableTwilight = std::min<std::uint64_t>(std::max<std::uint64_t>(30, 2 * (glyphPoints + cvtSize)), 0xFFFF);
    twilightPoints_ = std::uint32_t(std::min<std::uint64_t>(twilight.size(), usableTwilight));
    loopcallCounter_ = negJumpCounter_ = 0;
    std::uint64_t max = glyphPoints ? std::max<std::uint64_t>(50, 10 * glyphPoints) + std::max<std::uint64_t>(50, cvtSize / 10)
                                    : 300 + 22 * cvtSize;
    max = std::min<std::uint64_t>(max, 100 * std::uint64_t(settings.numGlyphs));
    loopcallMax_ = std::int64_t(max);
    computeFuncs();
}

std::vector<F26Dot6>& Execution::writableCvt()
{
    if (sharedCvt) {
        cvt.assign(sharedCvt->begin(), sharedCvt->end());
        sharedCvt = nullptr;
    }
    return cvt;
}

std::vector<std::int64_t>& Execution::writableStorage()
{
    if (sharedStorage) {
        storage.assign(sharedStorage->begin(), sharedStorage->end());
        sharedStorage = nullptr;
    }
    return storage;
}

inline bool Execution::stepOnce()
{
    const std::span<const std::uint8_t> c = running_;
    const std::uint32_t at = ip;
    const std::uint8_t opcode = c[at];
    const Program in = range;
    const std::size_t length = InstructionLength(c, at);
    if (at + length > c.size()) {
        finished = true;
        failures.push_back({in, at, opcode, HintError::CodeOverflow});
        return false;
    }
    length_ = std::uint32_t(length);
    const int pops = PopPush[opcode] >> 4;
    std::int64_t args = std::int64_t(top) - pops;
    if (args < 0) {
        // A stack underflow reads zeros, as FreeType does when not pedantic.
        for (int i = 0; i < pops; ++i)
            stack[std::size_t(i)] = 0;
        args = 0;
    }
    args_ = args;
    newTop_ = args + (PopPush[opcode] & 15);
    if (newTop_ > std::int64_t(stack.size())) {
        fail(HintError::StackOverflow);
    } else {
        execute(opcode, stack.data() + args);
    }
    ++executed;
    if (!failed_) {
        top = std::size_t(newTop_);
        ip += length_;
        if (executed <= MaxInstructions && ip < running_.size()) [[likely]]
            return true;
        // The end of a function's code inside a call is an error; the end of
        // the program ends it.
        if (executed > MaxInstructions)
            fail(HintError::TooManyInstructions);
        else if (!calls.empty())
            fail(HintError::CodeOverflow);
        if (!failed_) {
            finished = true;
            return false;
        }
    }
    finished = true;
    failures.push_back({in, at, opcode, error_});
    return false;
}

bool Execution::Run()
{
    if (recordSteps)
        while (Step()) {
        }
    else if (!finished)
        while (stepOnce()) {
        }
    return failures.empty();
}

bool Execution::gotoRange(Program r, std::uint32_t at)
{
    const auto& c = code[std::size_t(r) - 1];
    if (c.empty()) {
        fail(HintError::CodeOverflow);
        return false;
    }
    // A call that is a program's last instruction returns just past its end.
    if (at > c.size()) {
        fail(HintError::CodeOverflow);
        return false;
    }
    setRange(r);
    ip = at;
    return true;
}

bool Execution::skipCode(std::uint8_t& opcode)
{
    const std::span<const std::uint8_t> c = running_;
    ip += length_;
    if (ip < c.size()) {
        opcode = c[ip];
        const std::size_t n = InstructionLength(c, ip);
        if (ip + n <= c.size()) {
            length_ = std::uint32_t(n);
            return true;
        }
    }
    fail(HintError::CodeOverflow);
    return false;
}

void Execution::noteWrite(const Zp& z, std::uint32_t point)
{
    if (recordSteps && z.twilight)
        twilightWrites_.push_back({point, twilight.cur[point]});
}

bool Execution::Step()
{
    if (finished)
        return false;
    if (!recordSteps)
        return stepOnce();
    // Before and after, for the record: the stack's values and the points.
    thread_local std::vector<std::int64_t> before;
    // The glyph zone is compared whole; the twilight zone, up to 65 535
    // points, through the writes the step noted.
    thread_local std::vector<Vec> glyphBefore;
    // Only the stack's top can be overwritten by what the step pushes; the
    // values below it that a step pops (CLEAR, DELTAP, a loop) stay where
    // they were, and are read there afterwards.
    const std::size_t pops = PopPush[code[std::size_t(range) - 1][ip]] >> 4;
    const std::size_t oldTop = std::max(top, pops); // an underflow reads zeros only
    const std::size_t window = std::min<std::size_t>(oldTop, 256);
    before.assign(window, 0);
    for (std::size_t k = oldTop - window; k < top; ++k)
        before[k - (oldTop - window)] = stack[k];
    glyphBefore = glyph.cur;
    twilightWrites_.clear();
    lastStep.program = range;
    lastStep.offset = ip;
    lastStep.opcode = code[std::size_t(range) - 1][ip];
    const std::size_t failuresBefore = failures.size();
    const bool more = stepOnce();
    lastStep.pops.clear();
    if (failures.size() == failuresBefore) {
        const std::size_t low = std::size_t(std::max<std::int64_t>(0, std::min(args_, newTop_)));
        for (std::size_t k = oldTop; k > low; --k)
            lastStep.pops.push_back(k > oldTop - window ? before[k - 1 - (oldTop - window)] : stack[k - 1]);
    }
    lastStep.moved.clear();
    for (std::size_t i = 0; i < glyph.cur.size() && i < glyphBefore.size(); ++i)
        if (glyph.cur[i] != glyphBefore[i])
            lastStep.moved.push_back({false, std::uint32_t(i), glyph.cur[i]});
    // The first write to a point holds where it stood before the step.
    std::stable_sort(twilightWrites_.begin(), twilightWrites_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < twilightWrites_.size(); ++k) {
        const auto [point, before] = twilightWrites_[k];
        if ((k == 0 || twilightWrites_[k - 1].first != point) && twilight.cur[point] != before)
            lastStep.moved.push_back({true, point, twilight.cur[point]});
    }
    return more;
}

const Definition* Execution::findFunction(std::uint64_t f) const
{
    if (!definitions || bounds(f, std::uint64_t(definitions->maxFunction) + 1))
        return nullptr;
    const auto& fs = definitions->functions;
    const Definition* def = f < fs.size() && fs[f].number == f ? &fs[f] : nullptr;
    if (!def)
        for (const Definition& d : fs)
            if (d.number == f) {
                def = &d;
                break;
            }
    return def && def->active ? def : nullptr;
}

bool Execution::callDefinition(const Definition& def, std::int64_t count, bool instruction, std::uint32_t index)
{
    if (calls.size() >= MaxCallDepth) {
        fail(HintError::CallTooDeep);
        return false;
    }
    calls.push_back({range, ip + length_, count, index, instruction});
    gotoRange(def.range, def.start);
    length_ = 0;
    return true;
}

void Execution::define(bool function, std::int64_t n)
{
    if (initialRange == Program::Glyph) {
        fail(HintError::DefinitionInGlyph);
        return;
    }
    auto& list = function ? definitions->functions : definitions->instructions;
    const std::size_t limit = function ? definitions->maxFunctions : definitions->maxInstructions;
    auto it = std::find_if(list.begin(), list.end(),
                           [n](const Definition& d) { return std::uint64_t(d.number) == std::uint64_t(n); });
    if (it == list.end()) {
        if (list.size() >= limit) {
            fail(HintError::TooManyDefinitions);
            return;
        }
        list.emplace_back();
        it = list.end() - 1;
    }
    if (function ? std::uint64_t(n) > 0xFFFF : (n < 0 || n > 0xFF)) {
        fail(HintError::TooManyDefinitions);
        return;
    }
    Definition& def = *it;
    def.range = range;
    def.number = std::uint32_t(n);
    def.start = ip + 1;
    def.active = true;
    if (function && def.number > definitions->maxFunction)
        definitions->maxFunction = def.number;
    std::uint8_t op = 0;
    while (skipCode(op)) {
        if (op == 0x89 || op == 0x2C) {
            fail(HintError::NestedDefinition);
            return;
        }
        if (op == 0x2D) {
            def.end = ip;
            return;
        }
    }
}

void Execution::jump(std::int64_t offset)
{
    if (offset == 0 && args_ == 0) {
        fail(HintError::BadJump); // a jump to itself with nothing left to change
        return;
    }
    const std::int64_t target = add(std::int64_t(ip), offset);
    const std::uint32_t end = calls.empty() ? 0 : (calls.back().instruction
                                                       ? definitions->instructions[calls.back().definition].end
                                                       : definitions->functions[calls.back().definition].end);
    if (target < 0 || (!calls.empty() && target > std::int64_t(end))) {
        fail(HintError::BadJump);
        return;
    }
    ip = std::uint32_t(std::min<std::int64_t>(target, 0xFFFFFFFF));
    length_ = 0;
    if (offset < 0 && ++negJumpCounter_ > loopcallMax_)
        fail(HintError::RunawayLoop);
}

bool Execution::lineVector(std::uint8_t opcode, std::int64_t a1, std::int64_t a2, UnitVector& v)
{
    const std::uint32_t p1 = std::uint16_t(a1), p2 = std::uint16_t(a2);
    if (bounds(p1, points(zp2_)) || bounds(p2, points(zp1_)))
        return false;
    const Vec& q1 = zoneOf(zp1_).cur[p2];
    const Vec& q2 = zoneOf(zp2_).cur[p1];
    std::int64_t a = sub(q1.x, q2.x), b = sub(q1.y, q2.y);
    if (a == 0 && b == 0) {
        a = 0x4000;
        opcode = 0;
    }
    if (opcode & 1) {
        const std::int64_t c = b;
        b = a;
        a = neg(c);
    }
    normalize(a, b, v);
    return true;
}

void Execution::sdpvtl(std::uint8_t opcode, std::int64_t* args)
{
    const std::uint32_t p1 = std::uint16_t(args[1]), p2 = std::uint16_t(args[0]);
    if (bounds(p2, points(zp1_)) || bounds(p1, points(zp2_)))
        return;
    const auto vector = [&](const std::vector<Vec>& z1, const std::vector<Vec>& z2, UnitVector& into) {
        std::int64_t a = sub(z1[p2].x, z2[p1].x), b = sub(z1[p2].y, z2[p1].y);
        std::uint8_t op = opcode;
        if (a == 0 && b == 0) {
            a = 0x4000;
            op = 0;
        }
        if (op & 1) {
            const std::int64_t c = b;
            b = a;
            a = neg(c);
        }
        normalize(a, b, into);
    };
    vector(zoneOf(zp1_).org, zoneOf(zp2_).org, gs.dualVector);
    vector(zoneOf(zp1_).cur, zoneOf(zp2_).cur, gs.projVector);
    computeFuncs();
}

std::int64_t Execution::getInfo(std::int64_t selector) const
{
    std::int64_t k = 0;
    if (selector & 1)
        k = settings.version;
    if ((selector & 8) && settings.varied)
        k |= 1 << 10;
    if ((selector & 32) && settings.grayscale)
        k |= 1 << 12;
    if (settings.version == 40 && settings.subpixelLean) {
        if (selector & 64)
            k |= 1 << 13;
        if (selector & 1024)
            k |= 1 << 17;
        if (selector & 2048)
            k |= 1 << 18;
        if (selector & 4096)
            k |= 1 << 19; // grayscale ClearType, FreeType's only kind of anti-aliasing
    }
    return k;
}

bool Execution::pointDisplacement(F26Dot6& dx, F26Dot6& dy, Zp& zp, std::uint32_t& refp)
{
    const std::uint8_t opcode = running_[ip];
    zp = (opcode & 1) ? zp0_ : zp1_;
    const std::uint32_t p = (opcode & 1) ? gs.rp1 : gs.rp2;
    if (bounds(p, points(zp))) {
        refp = 0;
        return false;
    }
    refp = p;
    const F26Dot6 d = project(sub(zoneOf(zp).cur[p].x, zoneOf(zp).org[p].x), sub(zoneOf(zp).cur[p].y, zoneOf(zp).org[p].y));
    dx = mulDiv(d, gs.freeVector.x, fDotP_);
    dy = mulDiv(d, gs.freeVector.y, fDotP_);
    return true;
}

// SHP, IP, ALIGNRP, FLIPPT and SHPIX: each takes GS.loop points.
void Execution::loopPoints(std::uint8_t opcode, std::int64_t* args)
{
    const auto finish = [this] {
        gs.loop = 1;
        newTop_ = args_;
    };
    const bool blocked = settings.version == 40 && backwardCompatibility && iupXCalled && iupYCalled;
    if (opcode == 0x80 && blocked)
        return finish();
    const std::int64_t needed = gs.loop + (opcode == 0x38 ? 1 : 0);
    if (std::int64_t(top) < needed)
        return finish();
    if (opcode == 0x39)
        return interpolatePoints();
    F26Dot6 dx = 0, dy = 0;
    Zp zp;
    std::uint32_t refp = 0;
    if (opcode == 0x32 || opcode == 0x33) {
        if (!pointDisplacement(dx, dy, zp, refp))
            return;
    } else if (opcode == 0x38) {
        dx = mulFix14(args[0], gs.freeVector.x);
        dy = mulFix14(args[0], gs.freeVector.y);
    } else if (opcode == 0x3C && bounds(gs.rp0, points(zp0_))) {
        return finish();
    }
    const bool inTwilight = gs.gep0 == 0 || gs.gep1 == 0 || gs.gep2 == 0;
    for (; gs.loop > 0; --gs.loop) {
        const std::uint32_t point = std::uint16_t(stack[std::size_t(--args_)]);
        switch (opcode) {
        case 0x32:
        case 0x33:
            if (!bounds(point, points(zp2_)))
                moveZp2(point, dx, dy, true);
            break;
        case 0x38:
            if (bounds(point, points(zp2_)))
                break;
            if (settings.version == 40 && backwardCompatibility) {
                // Only y moves, and only before IUP on both axes, on points
                // touched in y (or any in a composite): SHPIX is a delta then.
                if (inTwilight || (!(iupXCalled && iupYCalled)
                                   && ((settings.composite && gs.freeVector.y != 0)
                                       || (zoneOf(zp2_).tags[point] & TOUCH_Y))))
                    moveZp2(point, 0, dy, true);
            } else {
                moveZp2(point, dx, dy, true);
            }
            break;
        case 0x3C:
            if (!bounds(point, points(zp1_))) {
                const Vec& p = zoneOf(zp1_).cur[point];
                const Vec& r = zoneOf(zp0_).cur[gs.rp0];
                move(zp1_, point, neg(project(sub(p.x, r.x), sub(p.y, r.y))));
            }
            break;
        case 0x80:
            if (!bounds(point, glyph.size()))
                glyph.tags[point] ^= TAG_ON;
            break;
        }
    }
    finish();
}

void Execution::interpolatePoints()
{
    const bool twilightRef = gs.gep0 == 0 || gs.gep1 == 0 || gs.gep2 == 0;
    const auto finish = [this] {
        gs.loop = 1;
        newTop_ = args_;
    };
    if (bounds(gs.rp1, points(zp0_)))
        return finish();
    const Vec orusBase = twilightRef ? zoneOf(zp0_).org[gs.rp1] : zoneOf(zp0_).orus[gs.rp1];
    const Vec curBase = zoneOf(zp0_).cur[gs.rp1];
    F26Dot6 oldRange = 0, curRange = 0;
    if (!bounds(gs.rp2, points(zp1_))) {
        const Vec& o = twilightRef ? zoneOf(zp1_).org[gs.rp2] : zoneOf(zp1_).orus[gs.rp2];
        oldRange = dualProject(sub(o.x, orusBase.x), sub(o.y, orusBase.y));
        const Vec& c = zoneOf(zp1_).cur[gs.rp2];
        curRange = project(sub(c.x, curBase.x), sub(c.y, curBase.y));
    }
    for (; gs.loop > 0; --gs.loop) {
        const std::uint64_t point = std::uint64_t(stack[std::size_t(--args_)]) & 0xFFFFFFFFu;
        if (bounds(point, points(zp2_)))
            continue;
        const Vec& o = twilightRef ? zoneOf(zp2_).org[point] : zoneOf(zp2_).orus[point];
        const F26Dot6 orgDist = dualProject(sub(o.x, orusBase.x), sub(o.y, orusBase.y));
        const Vec& c = zoneOf(zp2_).cur[point];
        const F26Dot6 curDist = project(sub(c.x, curBase.x), sub(c.y, curBase.y));
        F26Dot6 newDist = 0;
        if (orgDist)
            newDist = oldRange ? mulDiv(orgDist, curRange, oldRange) : orgDist;
        move(zp2_, std::uint32_t(point), sub(newDist, curDist));
    }
    finish();
}

namespace {

// IUP on one axis, over the coordinates of that axis: element 2 * i of each
// array is point i's.
struct IupAxis {
    const F26Dot6* org;
    const F26Dot6* orus;
    F26Dot6* cur;
    std::uint32_t n;

    // Points p1 to p2 from the touched points ref1 and ref2, both below n.
    [[gnu::always_inline]] void interpolate(std::uint32_t p1, std::uint32_t p2, std::uint32_t ref1,
                                            std::uint32_t ref2) const
    {
        if (p1 > p2)
            return;
        F26Dot6 orus1 = orus[2 * ref1], orus2 = orus[2 * ref2];
        if (orus1 > orus2) {
            std::swap(orus1, orus2);
            std::swap(ref1, ref2);
        }
        const F26Dot6 org1 = org[2 * ref1], org2 = org[2 * ref2];
        const F26Dot6 cur1 = cur[2 * ref1], cur2 = cur[2 * ref2];
        const F26Dot6 delta1 = sub(cur1, org1), delta2 = sub(cur2, org2);
        if (cur1 == cur2 || orus1 == orus2) {
            for (std::uint32_t i = p1; i <= p2; ++i) {
                const F26Dot6 v = org[2 * i];
                cur[2 * i] = v <= org1 ? add(v, delta1) : v >= org2 ? add(v, delta2) : cur1;
            }
            return;
        }
        std::int64_t scale = 0;
        bool scaleValid = false;
        for (std::uint32_t i = p1; i <= p2; ++i) {
            F26Dot6 v = org[2 * i];
            if (v <= org1) {
                v = add(v, delta1);
            } else if (v >= org2) {
                v = add(v, delta2);
            } else {
                if (!scaleValid) {
                    scaleValid = true;
                    scale = divFix(sub(cur2, cur1), sub(orus2, orus1));
                }
                v = add(cur1, mulFix(sub(orus[2 * i], orus1), scale));
            }
            cur[2 * i] = v;
        }
    }

    void shift(std::uint32_t p1, std::uint32_t p2, std::uint32_t p) const
    {
        const F26Dot6 d = sub(cur[2 * p], org[2 * p]);
        if (d == 0)
            return;
        for (std::uint32_t i = p1; i <= p2; ++i)
            if (i != p)
                cur[2 * i] = add(cur[2 * i], d);
    }
};

static_assert(sizeof(Vec) == 2 * sizeof(F26Dot6));

} // namespace

void Execution::iup(bool x)
{
    if (settings.version == 40 && backwardCompatibility) {
        if (iupXCalled && iupYCalled)
            return;
        (x ? iupXCalled : iupYCalled) = true;
    }
    if (glyph.ends.empty())
        return;
    const std::uint8_t mask = x ? TOUCH_X : TOUCH_Y;
    const std::uint32_t n = glyph.size();
    const std::size_t axis = x ? 0 : 1;
    const IupAxis v{&glyph.org[0].x + axis, &glyph.orus[0].x + axis, &glyph.cur[0].x + axis, n};
    // Each contour's touched points, gathered without a branch on each point.
    touched_.resize(n);
    std::uint32_t point = 0;
    for (const int contourEnd : glyph.ends) {
        std::uint32_t end = std::uint32_t(contourEnd);
        const std::uint32_t first = point;
        if (bounds(end, n))
            end = n - 1;
        if (first > end)
            continue;
        std::uint32_t count = 0;
        for (std::uint32_t i = first; i <= end; ++i) {
            touched_[count] = i;
            count += (glyph.tags[i] & mask) != 0;
        }
        point = end + 1;
        if (count == 0)
            continue;
        const std::uint32_t firstTouched = touched_[0], lastTouched = touched_[count - 1];
        for (std::uint32_t k = 1; k < count; ++k)
            v.interpolate(touched_[k - 1] + 1, touched_[k] - 1, touched_[k - 1], touched_[k]);
        if (count == 1) {
            v.shift(first, end, firstTouched);
        } else {
            v.interpolate(lastTouched + 1, end, lastTouched, firstTouched);
            if (firstTouched > 0)
                v.interpolate(first, firstTouched - 1, lastTouched, firstTouched);
        }
    }
}

// DELTAP1-3 and DELTAC1-3: (argument, point or CVT entry) pairs popped while
// the count lasts; an argument naming this size moves its point or changes
// its entry by the step it gives.
void Execution::delta(std::uint8_t opcode, std::int64_t* args)
{
    const bool onPoints = opcode == 0x5D || opcode == 0x71 || opcode == 0x72;
    const std::uint64_t firstPpem = std::uint64_t(gs.deltaBase)
                                  + (opcode == 0x71 || opcode == 0x74 ? 16 : opcode == 0x72 || opcode == 0x75 ? 32 : 0);
    const std::uint64_t ppem = std::uint64_t(settings.ppem);
    const std::uint64_t count = std::uint64_t(args[0]);
    for (std::uint64_t k = 1; k <= count; ++k) {
        if (args_ < 2) {
            args_ = 0;
            break;
        }
        args_ -= 2;
        const std::int64_t target = stack[std::size_t(args_ + 1)];
        std::int64_t b = stack[std::size_t(args_)];
        const std::uint64_t a = onPoints ? std::uint16_t(target) : std::uint64_t(target);
        if (bounds(a, onPoints ? points(zp0_) : Cvt().size()))
            continue;
        if (ppem != ((std::uint64_t(b) & 0xF0) >> 4) + firstPpem)
            continue;
        b = std::int64_t(std::uint64_t(b) & 0xF) - 8;
        if (b >= 0)
            ++b;
        b *= std::int64_t(1) << (6 - gs.deltaShift);
        if (!onPoints)
            writableCvt()[a] = add(Cvt()[a], b);
        else if (!(settings.version == 40 && backwardCompatibility))
            move(zp0_, std::uint32_t(a), b);
        else if (!(iupXCalled && iupYCalled)
                 && ((settings.composite && gs.freeVector.y != 0) || (zoneOf(zp0_).tags[a] & TOUCH_Y)))
            move(zp0_, std::uint32_t(a), b);
    }
    newTop_ = args_;
}

void Execution::shiftPoints(std::uint8_t opcode, std::int64_t* args)
{
    F26Dot6 dx = 0, dy = 0;
    Zp zp;
    std::uint32_t refp = 0;
    if (opcode <= 0x35) { // SHC
        const std::int16_t contour = std::int16_t(args[0]);
        const std::size_t contours = gs.gep2 == 0 ? 1 : zoneOf(zp2_).ends.size();
        if (contour < 0 || std::size_t(contour) >= contours || !pointDisplacement(dx, dy, zp, refp))
            return;
        const std::uint32_t start = contour == 0 ? 0 : std::uint16_t(zoneOf(zp2_).ends[std::size_t(contour) - 1] + 1);
        const std::uint32_t limit = gs.gep2 == 0 ? points(zp2_) : std::uint16_t(zoneOf(zp2_).ends[std::size_t(contour)] + 1);
        for (std::uint32_t i = start; i < limit && i < zoneOf(zp2_).size(); ++i)
            if (zp.twilight != zp2_.twilight || refp != i)
                moveZp2(i, dx, dy, true);
        return;
    }
    // SHZ: the zone argument is only checked; zp2's points move, the
    // phantom points not, and nothing is touched.
    if (bounds(std::uint64_t(args[0]), 2) || !pointDisplacement(dx, dy, zp, refp))
        return;
    std::uint32_t limit = 0;
    if (gs.gep2 == 0)
        limit = points(zp2_);
    else if (!zoneOf(zp2_).ends.empty())
        limit = std::uint16_t(zoneOf(zp2_).ends.back() + 1);
    for (std::uint32_t i = 0; i < limit && i < zoneOf(zp2_).size(); ++i)
        if (zp.twilight != zp2_.twilight || refp != i)
            moveZp2(i, dx, dy, false);
}

void Execution::miap(std::uint8_t opcode, std::int64_t* args)
{
    const std::uint64_t entry = std::uint64_t(args[1]);
    const std::uint32_t point = std::uint16_t(args[0]);
    if (!bounds(point, points(zp0_)) && !bounds(entry, Cvt().size())) {
        F26Dot6 distance = Cvt()[entry];
        Zone& z = zoneOf(zp0_);
        // In the twilight zone the point is first put at the CVT distance
        // along the freedom vector, and no cut-in applies.
        if (gs.gep0 == 0) {
            noteWrite(zp0_, point);
            z.org[point] = {mulFix14(distance, gs.freeVector.x), mulFix14(distance, gs.freeVector.y)};
            z.cur[point] = z.org[point];
        }
        const F26Dot6 orgDist = project(z.cur[point].x, z.cur[point].y);
        if (opcode & 1) {
            if (hintmath::abs(sub(distance, orgDist)) > gs.controlValueCutIn)
                distance = orgDist;
            distance = round(distance);
        }
        move(zp0_, point, sub(distance, orgDist));
    }
    gs.rp0 = gs.rp1 = std::uint16_t(point);
}

void Execution::mdrp(std::uint8_t opcode, std::int64_t* args)
{
    const std::uint32_t point = std::uint16_t(args[0]);
    if (!bounds(point, points(zp1_)) && !bounds(gs.rp0, points(zp0_))) {
        F26Dot6 orgDist = 0;
        if (gs.gep0 == 0 || gs.gep1 == 0) {
            const Vec& a = zoneOf(zp1_).org[point];
            const Vec& b = zoneOf(zp0_).org[gs.rp0];
            orgDist = dualProject(sub(a.x, b.x), sub(a.y, b.y));
        } else {
            const Vec& a = zoneOf(zp1_).orus[point];
            const Vec& b = zoneOf(zp0_).orus[gs.rp0];
            orgDist = mulFix(dualProject(sub(a.x, b.x), sub(a.y, b.y)), settings.composite ? 0x10000 : settings.scale);
        }
        const F26Dot6 sw = gs.singleWidthValue, swCut = gs.singleWidthCutIn;
        if (swCut > 0 && orgDist < sw + swCut && orgDist > sw - swCut)
            orgDist = orgDist >= 0 ? sw : neg(sw);
        F26Dot6 distance = (opcode & 4) ? round(orgDist) : roundNone(orgDist);
        if (opcode & 8) {
            const F26Dot6 md = gs.minimumDistance;
            if (orgDist >= 0) {
                if (distance < md)
                    distance = md;
            } else if (distance > neg(md)) {
                distance = neg(md);
            }
        }
        const Vec& c = zoneOf(zp1_).cur[point];
        const Vec& r = zoneOf(zp0_).cur[gs.rp0];
        move(zp1_, point, sub(distance, project(sub(c.x, r.x), sub(c.y, r.y))));
    }
    gs.rp1 = gs.rp0;
    gs.rp2 = std::uint16_t(point);
    if (opcode & 16)
        gs.rp0 = std::uint16_t(point);
}

void Execution::mirp(std::uint8_t opcode, std::int64_t* args)
{
    const std::uint32_t point = std::uint16_t(args[0]);
    const std::uint64_t entry = std::uint64_t(add(args[1], 1)); // CVT entry -1 reads 0
    if (!bounds(point, points(zp1_)) && !bounds(entry, Cvt().size() + 1) && !bounds(gs.rp0, points(zp0_))) {
        F26Dot6 cvtDist = entry ? Cvt()[entry - 1] : 0;
        if (hintmath::abs(sub(cvtDist, gs.singleWidthValue)) < gs.singleWidthCutIn)
            cvtDist = cvtDist >= 0 ? gs.singleWidthValue : neg(gs.singleWidthValue);
        Zone& z1 = zoneOf(zp1_);
        const Zone& z0 = zoneOf(zp0_);
        if (gs.gep1 == 0) {
            noteWrite(zp1_, point);
            z1.org[point] = {add(z0.org[gs.rp0].x, mulFix14(cvtDist, gs.freeVector.x)),
                             add(z0.org[gs.rp0].y, mulFix14(cvtDist, gs.freeVector.y))};
            z1.cur[point] = z1.org[point];
        }
        const F26Dot6 orgDist = dualProject(sub(z1.org[point].x, z0.org[gs.rp0].x), sub(z1.org[point].y, z0.org[gs.rp0].y));
        const F26Dot6 curDist = project(sub(z1.cur[point].x, z0.cur[gs.rp0].x), sub(z1.cur[point].y, z0.cur[gs.rp0].y));
        if (gs.autoFlip && (orgDist ^ cvtDist) < 0)
            cvtDist = neg(cvtDist);
        F26Dot6 distance = 0;
        if (opcode & 4) {
            // The cut-in only between points of one zone.
            if (gs.gep0 == gs.gep1 && hintmath::abs(sub(cvtDist, orgDist)) > gs.controlValueCutIn)
                cvtDist = orgDist;
            distance = round(cvtDist);
        } else {
            distance = roundNone(cvtDist);
        }
        if (opcode & 8) {
            const F26Dot6 md = gs.minimumDistance;
            if (orgDist >= 0) {
                if (distance < md)
                    distance = md;
            } else if (distance > neg(md)) {
                distance = neg(md);
            }
        }
        move(zp1_, point, sub(distance, curDist));
    }
    gs.rp1 = gs.rp0;
    if (opcode & 16)
        gs.rp0 = std::uint16_t(point);
    gs.rp2 = std::uint16_t(point);
}

void Execution::isect(std::int64_t* args)
{
    const std::uint32_t point = std::uint16_t(args[0]), a0 = std::uint16_t(args[1]), a1 = std::uint16_t(args[2]),
                        b0 = std::uint16_t(args[3]), b1 = std::uint16_t(args[4]);
    if (bounds(b0, points(zp0_)) || bounds(b1, points(zp0_)) || bounds(a0, points(zp1_)) || bounds(a1, points(zp1_))
        || bounds(point, points(zp2_)))
        return;
    const auto& z0 = zoneOf(zp0_).cur;
    const auto& z1 = zoneOf(zp1_).cur;
    const F26Dot6 dbx = sub(z0[b1].x, z0[b0].x), dby = sub(z0[b1].y, z0[b0].y);
    const F26Dot6 dax = sub(z1[a1].x, z1[a0].x), day = sub(z1[a1].y, z1[a0].y);
    const F26Dot6 dx = sub(z0[b0].x, z1[a0].x), dy = sub(z0[b0].y, z1[a0].y);
    const F26Dot6 discriminant = add(mulDiv(dax, neg(dby), 0x40), mulDiv(day, dbx, 0x40));
    const F26Dot6 dotProduct = add(mulDiv(dax, dbx, 0x40), mulDiv(day, dby, 0x40));
    noteWrite(zp2_, point);
    Vec& p = zoneOf(zp2_).cur[point];
    // Nearly parallel lines (within about 3 degrees) meet at the middle of their middles.
    if (19 * hintmath::abs(discriminant) > hintmath::abs(dotProduct)) {
        const F26Dot6 v = add(mulDiv(dx, neg(dby), 0x40), mulDiv(dy, dbx, 0x40));
        p = {add(z1[a0].x, mulDiv(v, dax, discriminant)), add(z1[a0].y, mulDiv(v, day, discriminant))};
    } else {
        p = {add(add(z1[a0].x, z1[a1].x), add(z0[b0].x, z0[b1].x)) / 4,
             add(add(z1[a0].y, z1[a1].y), add(z0[b0].y, z0[b1].y)) / 4};
    }
    zoneOf(zp2_).tags[point] |= TOUCH_BOTH;
}

inline void Execution::execute(std::uint8_t opcode, std::int64_t* args)
{
    const std::span<const std::uint8_t> c = running_;
    switch (opcode) {
    case 0x00: case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: { // SVTCA SPVTCA SFVTCA
        const std::int32_t a = (opcode & 1) << 14, b = a ^ 0x4000;
        if (opcode < 4)
            gs.projVector = gs.dualVector = {a, b};
        if ((opcode & 2) == 0)
            gs.freeVector = {a, b};
        computeFuncs();
        break;
    }
    case 0x06: case 0x07: // SPVTL
        if (lineVector(opcode, args[1], args[0], gs.projVector)) {
            gs.dualVector = gs.projVector;
            computeFuncs();
        }
        break;
    case 0x08: case 0x09: // SFVTL
        if (lineVector(opcode, args[1], args[0], gs.freeVector))
            computeFuncs();
        break;
    case 0x0A: // SPVFS
        normalize(std::int16_t(args[0]), std::int16_t(args[1]), gs.projVector);
        gs.dualVector = gs.projVector;
        computeFuncs();
        break;
    case 0x0B: // SFVFS
        normalize(std::int16_t(args[0]), std::int16_t(args[1]), gs.freeVector);
        computeFuncs();
        break;
    case 0x0C: args[0] = gs.projVector.x; args[1] = gs.projVector.y; break; // GPV
    case 0x0D: args[0] = gs.freeVector.x; args[1] = gs.freeVector.y; break; // GFV
    case 0x0E: gs.freeVector = gs.projVector; computeFuncs(); break;        // SFVTPV
    case 0x0F: isect(args); break;
    case 0x10: gs.rp0 = std::uint16_t(args[0]); break;
    case 0x11: gs.rp1 = std::uint16_t(args[0]); break;
    case 0x12: gs.rp2 = std::uint16_t(args[0]); break;
    case 0x13: if (setZone(zp0_, args[0])) gs.gep0 = std::uint16_t(args[0]); break;
    case 0x14: if (setZone(zp1_, args[0])) gs.gep1 = std::uint16_t(args[0]); break;
    case 0x15: if (setZone(zp2_, args[0])) gs.gep2 = std::uint16_t(args[0]); break;
    case 0x16: // SZPS
        if (setZone(zp0_, args[0])) {
            zp1_ = zp2_ = zp0_;
            gs.gep0 = gs.gep1 = gs.gep2 = std::uint16_t(args[0]);
        }
        break;
    case 0x17: if (args[0] >= 0) gs.loop = std::min<std::int64_t>(args[0], 0xFFFF); break; // SLOOP
    case 0x18: gs.roundState = ROUND_TO_GRID; break;
    case 0x19: gs.roundState = ROUND_TO_HALF_GRID; break;
    case 0x1A: gs.minimumDistance = args[0]; break;
    case 0x1B: { // ELSE: skip to the matching EIF
        int level = 1;
        std::uint8_t op = 0;
        while (level != 0 && skipCode(op))
            level += op == 0x58 ? 1 : op == 0x59 ? -1 : 0;
        break;
    }
    case 0x1C: jump(args[0]); break; // JMPR
    case 0x1D: gs.controlValueCutIn = args[0]; break;
    case 0x1E: gs.singleWidthCutIn = args[0]; break;
    case 0x1F: gs.singleWidthValue = mulFix(args[0], settings.scale); break;
    case 0x20: args[1] = args[0]; break; // DUP
    case 0x21: break;                    // POP
    case 0x22: newTop_ = 0; break;       // CLEAR
    case 0x23: std::swap(args[0], args[1]); break;
    case 0x24: args[0] = std::int64_t(top); break; // DEPTH
    case 0x25: { // CINDEX
        const std::int64_t l = args[0];
        args[0] = (l <= 0 || l > args_) ? 0 : stack[std::size_t(args_ - l)];
        break;
    }
    case 0x26: { // MINDEX
        const std::int64_t l = args[0];
        if (l > 0 && l <= args_) {
            const std::int64_t k = stack[std::size_t(args_ - l)];
            std::copy(stack.begin() + (args_ - l + 1), stack.begin() + args_, stack.begin() + (args_ - l));
            stack[std::size_t(args_ - 1)] = k;
        }
        break;
    }
    case 0x27: { // ALIGNPTS
        const std::uint32_t p1 = std::uint16_t(args[0]), p2 = std::uint16_t(args[1]);
        if (bounds(p1, points(zp1_)) || bounds(p2, points(zp0_)))
            break;
        const Vec& a = zoneOf(zp0_).cur[p2];
        const Vec& b = zoneOf(zp1_).cur[p1];
        const F26Dot6 d = project(sub(a.x, b.x), sub(a.y, b.y)) / 2;
        move(zp1_, p1, d);
        move(zp0_, p2, neg(d));
        break;
    }
    case 0x29: { // UTP
        const std::uint32_t p = std::uint16_t(args[0]);
        if (bounds(p, points(zp0_)))
            break;
        std::uint8_t mask = 0xFF;
        if (gs.freeVector.x != 0)
            mask &= std::uint8_t(~TOUCH_X);
        if (gs.freeVector.y != 0)
            mask &= std::uint8_t(~TOUCH_Y);
        zoneOf(zp0_).tags[p] &= mask;
        break;
    }
    case 0x2A: { // LOOPCALL
        const Definition* def = findFunction(std::uint64_t(args[1]));
        if (!def) {
            fail(HintError::UndefinedFunction);
            break;
        }
        if (calls.size() >= MaxCallDepth) {
            fail(HintError::CallTooDeep);
            break;
        }
        if (args[0] > 0) {
            callDefinition(*def, args[0], false, std::uint32_t(def - definitions->functions.data()));
            loopcallCounter_ += args[0];
            if (loopcallCounter_ > loopcallMax_)
                fail(HintError::RunawayLoop);
        }
        break;
    }
    case 0x2B: { // CALL
        const Definition* def = findFunction(std::uint64_t(args[0]));
        if (!def)
            fail(HintError::UndefinedFunction);
        else
            callDefinition(*def, 1, false, std::uint32_t(def - definitions->functions.data()));
        break;
    }
    case 0x2C: define(true, args[0]); break;
    case 0x2D: { // ENDF
        if (calls.empty()) {
            fail(HintError::EndWithoutCall);
            break;
        }
        CallFrame& frame = calls.back();
        length_ = 0;
        if (--frame.count > 0) {
            const auto& defs = frame.instruction ? definitions->instructions : definitions->functions;
            ip = defs[frame.definition].start;
        } else {
            const CallFrame done = frame;
            calls.pop_back();
            // Returning just past the end of the caller's code is allowed.
            const auto& back = code[std::size_t(done.callerRange) - 1];
            setRange(done.callerRange);
            ip = std::min<std::uint32_t>(done.callerIp, std::uint32_t(back.size()));
        }
        break;
    }
    case 0x2E: case 0x2F: { // MDAP
        const std::uint32_t p = std::uint16_t(args[0]);
        if (bounds(p, points(zp0_)))
            break;
        F26Dot6 d = 0;
        if (opcode & 1) {
            const Vec& v = zoneOf(zp0_).cur[p];
            const F26Dot6 cur = project(v.x, v.y);
            d = sub(round(cur), cur);
        }
        move(zp0_, p, d);
        gs.rp0 = gs.rp1 = std::uint16_t(p);
        break;
    }
    case 0x30: case 0x31: iup(opcode & 1); break;
    case 0x32: case 0x33: case 0x38: case 0x39: case 0x3C: case 0x80: loopPoints(opcode, args); break;
    case 0x34: case 0x35: case 0x36: case 0x37: shiftPoints(opcode, args); break;
    case 0x3A: case 0x3B: { // MSIRP
        const std::uint32_t p = std::uint16_t(args[0]);
        if (bounds(p, points(zp1_)) || bounds(gs.rp0, points(zp0_)))
            break;
        if (gs.gep1 == 0) {
            noteWrite(zp1_, p);
            zoneOf(zp1_).org[p] = zoneOf(zp0_).org[gs.rp0];
            moveOrig(zp1_, p, args[1]);
            zoneOf(zp1_).cur[p] = zoneOf(zp1_).org[p];
        }
        const Vec& a = zoneOf(zp1_).cur[p];
        const Vec& b = zoneOf(zp0_).cur[gs.rp0];
        move(zp1_, p, sub(args[1], project(sub(a.x, b.x), sub(a.y, b.y))));
        gs.rp1 = gs.rp0;
        gs.rp2 = std::uint16_t(p);
        if (opcode & 1)
            gs.rp0 = std::uint16_t(p);
        break;
    }
    case 0x3D: gs.roundState = ROUND_TO_DOUBLE_GRID; break;
    case 0x3E: case 0x3F: miap(opcode, args); break;
    case 0x40: case 0x41: { // NPUSHB NPUSHW
        const std::uint32_t l = c[ip + 1];
        if (bounds(l, stack.size() + 1 - top)) {
            fail(HintError::StackOverflow);
            break;
        }
        pushValues(opcode == NPUSHW, c.data() + ip + 2, l, args);
        newTop_ += l;
        break;
    }
    case 0x42: // WS
        if (!bounds(std::uint64_t(args[0]), Storage().size()))
            writableStorage()[std::size_t(args[0])] = args[1];
        break;
    case 0x43: // RS
        args[0] = bounds(std::uint64_t(args[0]), Storage().size()) ? 0 : Storage()[std::size_t(args[0])];
        break;
    case 0x44: // WCVTP
        if (!bounds(std::uint64_t(args[0]), Cvt().size()))
            writableCvt()[std::size_t(args[0])] = args[1];
        break;
    case 0x45: // RCVT
        args[0] = bounds(std::uint64_t(args[0]), Cvt().size()) ? 0 : Cvt()[std::size_t(args[0])];
        break;
    case 0x46: case 0x47: { // GC
        const std::uint64_t l = std::uint64_t(args[0]);
        if (bounds(l, points(zp2_))) {
            args[0] = 0;
        } else {
            const Vec& v = (opcode & 1) ? zoneOf(zp2_).org[l] : zoneOf(zp2_).cur[l];
            args[0] = (opcode & 1) ? dualProject(v.x, v.y) : project(v.x, v.y);
        }
        break;
    }
    case 0x48: { // SCFS
        const std::uint32_t l = std::uint16_t(args[0]);
        if (bounds(l, points(zp2_)))
            break;
        const Vec& v = zoneOf(zp2_).cur[l];
        move(zp2_, l, sub(args[1], project(v.x, v.y)));
        if (gs.gep2 == 0)
            zoneOf(zp2_).org[l] = zoneOf(zp2_).cur[l];
        break;
    }
    case 0x49: case 0x4A: { // MD
        const std::uint32_t k = std::uint16_t(args[1]), l = std::uint16_t(args[0]);
        F26Dot6 d = 0;
        if (!bounds(l, points(zp0_)) && !bounds(k, points(zp1_))) {
            if (opcode & 1) {
                const Vec& a = zoneOf(zp0_).cur[l];
                const Vec& b = zoneOf(zp1_).cur[k];
                d = project(sub(a.x, b.x), sub(a.y, b.y));
            } else if (gs.gep0 == 0 || gs.gep1 == 0) {
                const Vec& a = zoneOf(zp0_).org[l];
                const Vec& b = zoneOf(zp1_).org[k];
                d = dualProject(sub(a.x, b.x), sub(a.y, b.y));
            } else {
                const Vec& a = zoneOf(zp0_).orus[l];
                const Vec& b = zoneOf(zp1_).orus[k];
                d = mulFix(dualProject(sub(a.x, b.x), sub(a.y, b.y)), settings.composite ? 0x10000 : settings.scale);
            }
        }
        args[0] = d;
        break;
    }
    case 0x4B: args[0] = settings.ppem; break; // MPPEM
    case 0x4C: // MPS: v35 answers the ppem; v40 the point size at 72 dpi, in 26.6
        args[0] = settings.version == 35 ? settings.ppem : std::int64_t(settings.ppem) * 64;
        break;
    case 0x4D: gs.autoFlip = true; break;
    case 0x4E: gs.autoFlip = false; break;
    case 0x4F: fail(HintError::DebugOpcode); break;
    case 0x50: args[0] = args[0] < args[1]; break;
    case 0x51: args[0] = args[0] <= args[1]; break;
    case 0x52: args[0] = args[0] > args[1]; break;
    case 0x53: args[0] = args[0] >= args[1]; break;
    case 0x54: args[0] = args[0] == args[1]; break;
    case 0x55: args[0] = args[0] != args[1]; break;
    case 0x56: args[0] = (round(args[0]) & 127) == 64; break;
    case 0x57: args[0] = (round(args[0]) & 127) == 0; break;
    case 0x58: { // IF: on false, skip to the matching ELSE or EIF
        if (args[0] != 0)
            break;
        int level = 1;
        bool out = false;
        std::uint8_t op = 0;
        while (!out && skipCode(op)) {
            if (op == 0x58)
                ++level;
            else if (op == 0x1B)
                out = level == 1;
            else if (op == 0x59)
                out = --level == 0;
        }
        break;
    }
    case 0x59: break; // EIF
    case 0x5A: args[0] = args[0] && args[1]; break;
    case 0x5B: args[0] = args[0] || args[1]; break;
    case 0x5C: args[0] = !args[0]; break;
    case 0x5D: case 0x71: case 0x72: delta(opcode, args); break;
    case 0x5E: gs.deltaBase = std::int32_t(std::uint16_t(args[0])); break;
    case 0x5F: if (std::uint64_t(args[0]) <= 6) gs.deltaShift = std::int32_t(args[0]); break;
    case 0x60: args[0] = add(args[0], args[1]); break;
    case 0x61: args[0] = sub(args[0], args[1]); break;
    case 0x62: // DIV
        if (args[1] == 0)
            fail(HintError::DivideByZero);
        else
            args[0] = mulDiv(args[0], 64, args[1], false);
        break;
    case 0x63: args[0] = mulDiv(args[0], args[1], 64); break;
    case 0x64: args[0] = hintmath::abs(args[0]); break;
    case 0x65: args[0] = neg(args[0]); break;
    case 0x66: args[0] = pixFloor(args[0]); break;
    case 0x67: args[0] = pixCeil(args[0]); break;
    case 0x68: case 0x69: case 0x6A: case 0x6B: args[0] = round(args[0]); break;
    case 0x6C: case 0x6D: case 0x6E: case 0x6F: args[0] = roundNone(args[0]); break;
    case 0x70: // WCVTF
        if (!bounds(std::uint64_t(args[0]), Cvt().size()))
            writableCvt()[std::size_t(args[0])] = mulFix(args[1], settings.scale);
        break;
    case 0x73: case 0x74: case 0x75: delta(opcode, args); break;
    case 0x76: case 0x77: { // SROUND S45ROUND
        const std::int64_t period0 = opcode == 0x76 ? 0x4000 : 0x2D41;
        const std::int64_t sel = args[0];
        SuperRound& s = superRound;
        switch (sel & 0xC0) {
        case 0x00: s.period = period0 / 2; break;
        case 0x80: s.period = period0 * 2; break;
        default: s.period = period0; break;
        }
        switch (sel & 0x30) {
        case 0x00: s.phase = 0; break;
        case 0x10: s.phase = s.period / 4; break;
        case 0x20: s.phase = s.period / 2; break;
        default: s.phase = s.period * 3 / 4; break;
        }
        s.threshold = (sel & 0x0F) == 0 ? s.period - 1 : ((sel & 0x0F) - 4) * s.period / 8;
        s.period >>= 8;
        s.phase >>= 8;
        s.threshold >>= 8;
        gs.roundState = opcode == 0x76 ? ROUND_SUPER : ROUND_SUPER_45;
        break;
    }
    case 0x78: if (args[1] != 0) jump(args[0]); break; // JROT
    case 0x79: if (args[1] == 0) jump(args[0]); break; // JROF
    case 0x7A: gs.roundState = ROUND_OFF; break;
    case 0x7C: gs.roundState = ROUND_UP_TO_GRID; break;
    case 0x7D: gs.roundState = ROUND_DOWN_TO_GRID; break;
    case 0x7E: case 0x7F: break; // SANGW AA
    case 0x81: case 0x82: { // FLIPRGON FLIPRGOFF
        if (settings.version == 40 && backwardCompatibility && iupXCalled && iupYCalled)
            break;
        const std::uint32_t k = std::uint16_t(args[1]), l = std::uint16_t(args[0]);
        if (bounds(k, glyph.size()) || bounds(l, glyph.size()))
            break;
        for (std::uint32_t i = l; i <= k; ++i)
            glyph.tags[i] = opcode == 0x81 ? std::uint8_t(glyph.tags[i] | TAG_ON) : std::uint8_t(glyph.tags[i] & ~TAG_ON);
        break;
    }
    case 0x85: { // SCANCTRL
        const std::int64_t a = args[0] & 0xFF;
        if (a == 0xFF || a == 0) {
            gs.scanControl = a == 0xFF;
            break;
        }
        if ((args[0] & 0x100) && settings.ppem <= a)
            gs.scanControl = true;
        if ((args[0] & 0x800) && settings.ppem > a)
            gs.scanControl = false;
        break;
    }
    case 0x86: case 0x87: sdpvtl(opcode, args); break;
    case 0x88: args[0] = getInfo(args[0]); break;
    case 0x89: define(false, args[0]); break;
    case 0x8A: { // ROLL
        const std::int64_t a = args[2];
        args[2] = args[0];
        args[0] = args[1];
        args[1] = a;
        break;
    }
    case 0x8B: args[0] = std::max(args[0], args[1]); break;
    case 0x8C: args[0] = std::min(args[0], args[1]); break;
    case 0x8D: if (args[0] >= 0) gs.scanType = std::int32_t(args[0] & 0xFFFF); break;
    case 0x8E: { // INSTCTRL
        const std::uint64_t k = std::uint64_t(args[1]), l = std::uint64_t(args[0]);
        if (k < 1 || k > 3)
            break;
        const std::uint64_t kf = std::uint64_t(1) << (k - 1);
        if (l != 0 && l != kf)
            break;
        gs.instructControl = std::uint8_t((gs.instructControl & ~kf) | l);
        // A font signs its waiver of backward compatibility with selector 3.
        if (k == 3 && settings.version == 40)
            backwardCompatibility = l != 4;
        break;
    }
    // Every opcode has its case, so that one jump table dispatches them all:
    // a range test before the table is a branch missed at nearly every
    // change between these, the commonest instructions, and the rest.
    case 0xB0: case 0xB1: case 0xB2: case 0xB3: case 0xB4: case 0xB5: case 0xB6: case 0xB7:
    case 0xB8: case 0xB9: case 0xBA: case 0xBB: case 0xBC: case 0xBD: case 0xBE: case 0xBF:
        pushValues(opcode >= PUSHW, c.data() + ip + 1, (opcode & 7) + 1, args); // PUSHB PUSHW
        break;
    case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC5: case 0xC6: case 0xC7:
    case 0xC8: case 0xC9: case 0xCA: case 0xCB: case 0xCC: case 0xCD: case 0xCE: case 0xCF:
    case 0xD0: case 0xD1: case 0xD2: case 0xD3: case 0xD4: case 0xD5: case 0xD6: case 0xD7:
    case 0xD8: case 0xD9: case 0xDA: case 0xDB: case 0xDC: case 0xDD: case 0xDE: case 0xDF:
        mdrp(opcode, args);
        break;
    case 0xE0: case 0xE1: case 0xE2: case 0xE3: case 0xE4: case 0xE5: case 0xE6: case 0xE7:
    case 0xE8: case 0xE9: case 0xEA: case 0xEB: case 0xEC: case 0xED: case 0xEE: case 0xEF:
    case 0xF0: case 0xF1: case 0xF2: case 0xF3: case 0xF4: case 0xF5: case 0xF6: case 0xF7:
    case 0xF8: case 0xF9: case 0xFA: case 0xFB: case 0xFC: case 0xFD: case 0xFE: case 0xFF:
        mirp(opcode, args);
        break;
    case 0x91: // GETVARIATION: a value for each axis
        if (settings.varied) {
            if (args_ + settings.coordinates.size() > stack.size()) {
                fail(HintError::StackOverflow);
                break;
            }
            for (std::size_t i = 0; i < settings.coordinates.size(); ++i)
                args[i] = settings.coordinates[i] >> 2;
            newTop_ += std::int64_t(settings.coordinates.size());
            break;
        }
        [[fallthrough]];
    case 0x92: // GETDATA
        if (opcode == 0x92 && settings.varied) {
            args[0] = 17;
            break;
        }
        [[fallthrough]];
    default: {
        // An opcode without a meaning: an IDEF's, or an error.
        if (definitions)
            for (std::size_t i = 0; i < definitions->instructions.size(); ++i) {
                const Definition& def = definitions->instructions[i];
                if (def.active && def.number == opcode) {
                    callDefinition(def, 1, true, std::uint32_t(i));
                    return;
                }
            }
        fail(HintError::InvalidOpcode);
        break;
    }
    }
}
