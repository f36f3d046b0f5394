#include "hinting/hinted_glyph.h"

#include <algorithm>

#include "hinting/fixed_math.h"
#include "outline/composite.h"
#include "outline/glyf.h"
#include "outline/gvar.h"

using namespace hintmath;

std::array<std::span<const std::uint8_t>, 3> CodeRanges(const HintingFont& hf, std::span<const std::uint8_t> glyph)
{
    return {hf.fpgm, hf.prep, glyph};
}

namespace {

// maxp's stack size is a 16-bit count, so the stack is at most 65 567
// values; FreeType adds 32 for fonts that state too few.
std::size_t stackSize(const HintingFont& hf) { return std::size_t(hf.maxStackElements) + 32; }

void runObserved(Execution& exec, StepObserver* observer)
{
    exec.recordSteps = observer != nullptr;
    if (!observer) {
        exec.Run();
        return;
    }
    while (!exec.finished) {
        exec.Step();
        observer->step(exec);
    }
}

std::vector<std::int32_t> fixedCoordinates(const Location& location)
{
    std::vector<std::int32_t> c;
    for (const double v : location.normalized)
        c.push_back(ToFixed(v));
    return c;
}

} // namespace

HintingContext::HintingContext(const FontState& font) : font_(font), hf_(ReadHintingFont(font)) {}

RunSettings HintingContext::Settings(int ppem, int version, const Location& location, bool composite) const
{
    RunSettings s;
    s.version = version;
    s.ppem = ppem;
    s.scale = std::int32_t(divFix(std::int64_t(ppem) * 64, font_.HeadTable.UnitsPerEm));
    s.subpixelLean = version == 40;
    s.grayscale = version == 35;
    s.composite = composite;
    s.varied = !font_.Variations.axes.empty();
    s.coordinates = fixedCoordinates(location);
    s.coordinates.resize(font_.Variations.axes.size());
    s.numGlyphs = std::uint32_t(std::max(1, font_.NumGlyphs));
    return s;
}

const HintingContext::FontRun& HintingContext::fontRun(int version)
{
    auto found = fontRuns_.find(version);
    if (found != fontRuns_.end())
        return found->second;
    FontRun& run = fontRuns_[version];
    run.definitions.maxFunctions = hf_.maxFunctionDefs;
    run.definitions.maxInstructions = hf_.maxInstructionDefs;
    // The font program runs as FreeType runs it on a new size: no ppem, no
    // scale, before any glyph has asked for subpixel hinting.
    Execution exec;
    exec.code = CodeRanges(hf_, {});
    exec.settings = Settings(0, version, {}, false);
    exec.settings.scale = 0;
    exec.settings.subpixelLean = false;
    exec.settings.grayscale = false;
    exec.stack.assign(stackSize(hf_), 0);
    exec.storage.assign(hf_.maxStorage, 0);
    exec.cvt.assign(hf_.cvt.size(), 0);
    exec.twilight.resize(hf_.maxTwilightPoints);
    exec.definitions = &run.definitions;
    exec.Start(Program::Fpgm);
    exec.Run();
    if (!exec.failures.empty())
        run.failure = exec.failures.front();
    run.superRound = exec.superRound;
    return run;
}

// The size's state before the control-value program: the font program's
// definitions and the CVT scaled; `exec` set up to run the control-value
// program over it when there is one to run.
std::unique_ptr<SizeState> HintingContext::startSize(int ppem, int version, const Location& location, Execution& exec)
{
    auto state = std::make_unique<SizeState>();
    const FontRun& run = fontRun(version);
    SizeState& s = *state;
    s.ppem = ppem;
    const RunSettings settings = Settings(ppem, version, location, false);
    s.scale = settings.scale;
    s.definitions = run.definitions;
    s.failure = run.failure;
    const std::vector<std::int16_t> cvt = VariedCvt(font_, hf_, location);
    s.cvt.resize(cvt.size());
    for (std::size_t i = 0; i < cvt.size(); ++i)
        s.cvt[i] = mulFix(cvt[i], s.scale);
    s.storage.assign(hf_.maxStorage, 0);
    s.twilight.resize(hf_.maxTwilightPoints);
    s.superRound = run.superRound;
    exec.finished = true;
    if (!s.failure && !hf_.prep.empty()) {
        exec.code = CodeRanges(hf_, {});
        exec.settings = settings;
        exec.stack.assign(stackSize(hf_), 0);
        exec.storage = s.storage;
        exec.cvt = s.cvt;
        exec.twilight = s.twilight;
        exec.superRound = s.superRound;
        exec.Start(Program::Prep);
    }
    return state;
}

const SizeState& HintingContext::Size(int ppem, int version, const Location& location, StepObserver* observer)
{
    auto key = std::make_tuple(ppem, version, location.normalized);
    auto found = sizes_.find(key);
    if (found != sizes_.end())
        return *found->second;
    Execution exec;
    std::unique_ptr<SizeState> state = startSize(ppem, version, location, exec);
    SizeState& s = *state;
    if (!exec.finished) {
        exec.definitions = &s.definitions;
        runObserved(exec, observer);
        if (!exec.failures.empty())
            s.failure = exec.failures.front();
        s.gs = exec.gs;
        s.superRound = exec.superRound;
        s.storage = std::move(exec.storage);
        s.cvt = std::move(exec.cvt);
        s.twilight = std::move(exec.twilight);
    }
    // The control-value program cannot set these for the glyphs.
    s.gs.dualVector = s.gs.projVector = s.gs.freeVector = UnitVector{};
    s.gs.rp0 = s.gs.rp1 = s.gs.rp2 = 0;
    s.gs.gep0 = s.gs.gep1 = s.gs.gep2 = 1;
    s.gs.loop = 1;
    return *sizes_.emplace(std::move(key), std::move(state)).first->second;
}

std::optional<PausedPrep> HintingContext::PrepExecution(int ppem, int version, const Location& location)
{
    PausedPrep paused;
    std::unique_ptr<SizeState> state = startSize(ppem, version, location, paused.execution);
    if (paused.execution.finished)
        return std::nullopt;
    paused.definitions = state->definitions;
    paused.execution.definitions = nullptr;
    return paused;
}

namespace {

// FreeType's glyph loader, hinting on: components are loaded, scaled and
// hinted one by one into one outline, then a composite's own program runs
// over what they made.
class Loader {
public:
    // `twilightOf` names the size whose twilight zone `exec` holds untouched.
    Loader(const FontState& font, const HintingFont& hf, const SizeState& size, const RunSettings& settings,
           const Location& location, StepObserver* observer, HintedGlyph& out, Execution& exec,
           const SizeState*& twilightOf, std::vector<Vec>& points, std::vector<std::uint8_t>& tags,
           std::vector<int>& ends)
        : points(points), tags(tags), ends(ends), font_(font), hf_(hf), size_(size), settings_(settings),
          location_(location), observer_(observer), out_(out), exec_(exec)
    {
        points.clear();
        tags.clear();
        ends.clear();
        // The stack's values need no clearing: a run starts with it empty.
        if (exec_.stack.size() != stackSize(hf))
            exec_.stack.assign(stackSize(hf), 0);
        // Each glyph starts from the size's twilight zone; most programs
        // never point a zone pointer at it, and leave the copy as it was.
        if (twilightOf != &size || exec_.twilightZoneUsed) {
            exec_.twilight.org.assign(size.twilight.org.begin(), size.twilight.org.end());
            exec_.twilight.cur.assign(size.twilight.cur.begin(), size.twilight.cur.end());
            exec_.twilight.orus.assign(size.twilight.orus.begin(), size.twilight.orus.end());
            exec_.twilight.tags.assign(size.twilight.tags.begin(), size.twilight.tags.end());
            exec_.twilightZoneUsed = false;
            twilightOf = &size;
        }
        hinted_ = !size.failure && !(size.gs.instructControl & 1);
        out_.hinted = hinted_;
    }

    bool load(int g, int depth);

    // Stop at the start of the glyph's own program instead of running it.
    bool pauseAtTop = false;
    bool paused = false;

    std::vector<Vec>& points;
    std::vector<std::uint8_t>& tags;
    std::vector<int>& ends;
    std::array<Vec, 4> pp{};
    std::array<Vec, 4> programPhantoms{};
    bool ranProgram = false;
    bool backwardCompatibility = false;

private:
    std::array<Vec, 4> unitPhantoms(int g) const;
    void hint(std::span<const std::uint8_t> instructions, bool composite, std::size_t start, int depth);
    bool processComponent(const ComponentRecord& rec, std::size_t start, std::size_t base);
    void vary(int g, std::span<const int> ends, std::vector<OutlinePoint>& pts, std::vector<Vec>& unrounded);

    const FontState& font_;
    const HintingFont& hf_;
    const SizeState& size_;
    const RunSettings& settings_;
    const Location& location_;
    StepObserver* observer_;
    HintedGlyph& out_;
    Execution& exec_;
    bool hinted_ = false;
};

// The phantom points in font units: the origin and advance from hmtx, the
// top and bottom from OS/2's typographic metrics (hhea's without OS/2).
std::array<Vec, 4> Loader::unitPhantoms(int g) const
{
    const auto k = std::size_t(g);
    const bool hasData = font_.GlyphOffset[k] < font_.GlyphOffset[k + 1];
    const BBox box = hasData && k < font_.GlyphBox.size() ? font_.GlyphBox[k] : BBox{};
    HMetric m = k < font_.HMetrics.size() ? font_.HMetrics[k] : HMetric{};
    if (!location_.normalized.empty())
        m.AdvanceWidth = VariedAdvance(font_, g, location_).value_or(m.AdvanceWidth);
    const std::int64_t pp1x = std::int64_t(box.XMin) - m.Lsb;
    const std::int16_t asc = hf_.hasOs2 ? hf_.typoAscender : font_.HheaTable.Ascender;
    const std::int16_t desc = hf_.hasOs2 ? hf_.typoDescender : font_.HheaTable.Descender;
    const std::int16_t tsb = std::int16_t(asc - box.YMax);
    const std::uint16_t vadvance = std::uint16_t(std::abs(asc - desc));
    const std::int64_t pp3y = std::int16_t(tsb + box.YMax);
    return {Vec{pp1x, 0}, Vec{pp1x + m.AdvanceWidth, 0}, Vec{0, pp3y}, Vec{0, pp3y - vadvance}};
}

// Moves pts (a glyph's points and its four phantoms) by gvar at the
// location: to whole units in pts, and in 26.6 into `unrounded`. With HVAR
// the advance comes from there and the horizontal phantoms stay.
void Loader::vary(int g, std::span<const int> ends, std::vector<OutlinePoint>& pts, std::vector<Vec>& unrounded)
{
    std::vector<std::int64_t> dx, dy;
    if (GlyphDeltas(font_, g, location_, ends, pts, dx, dy))
        dx.assign(pts.size(), 0), dy.assign(pts.size(), 0); // unusable data: the default outline
    if (font_.Variations.hvar && pts.size() >= 4)
        for (std::size_t i = pts.size() - 4; i < pts.size() - 2; ++i)
            dx[i] = dy[i] = 0;
    unrounded.resize(pts.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
        unrounded[i] = {std::int64_t(pts[i].x) * 64 + ((dx[i] + 0x200) >> 10),
                        std::int64_t(pts[i].y) * 64 + ((dy[i] + 0x200) >> 10)};
        pts[i].x += FixedToInt(dx[i]);
        pts[i].y += FixedToInt(dy[i]);
    }
}

// Runs a glyph program over points [start, end) of the outline and the
// phantom points, as FreeType's TT_Hint_Glyph does.
void Loader::hint(std::span<const std::uint8_t> instructions, bool composite, std::size_t start, int depth)
{
    Zone& zone = exec_.glyph;
    const std::size_t n = points.size() - start;
    zone.cur.resize(n + 4);
    std::copy(points.begin() + std::ptrdiff_t(start), points.end(), zone.cur.begin());
    std::copy(pp.begin(), pp.end(), zone.cur.begin() + std::ptrdiff_t(n));
    zone.tags.assign(tags.begin() + std::ptrdiff_t(start), tags.end());
    zone.tags.resize(n + 4, 0);
    if (composite) {
        // A composite's program works on its hinted components: they are its
        // original points, untouched.
        zone.orus.assign(zone.cur.begin(), zone.cur.end());
        for (std::uint8_t& t : zone.tags)
            t &= std::uint8_t(~TOUCH_BOTH);
    }
    if (!instructions.empty())
        zone.org.assign(zone.cur.begin(), zone.cur.end());
    zone.cur[n].x = pixRound(zone.cur[n].x);
    zone.cur[n + 1].x = pixRound(zone.cur[n + 1].x);
    zone.cur[n + 2].y = pixRound(zone.cur[n + 2].y);
    zone.cur[n + 3].y = pixRound(zone.cur[n + 3].y);
    backwardCompatibility = settings_.version == 40 && !(size_.gs.instructControl & 4);
    if (!instructions.empty()) {
        exec_.code = CodeRanges(hf_, instructions);
        exec_.settings.version = settings_.version;
        exec_.settings.ppem = settings_.ppem;
        exec_.settings.scale = settings_.scale;
        exec_.settings.subpixelLean = settings_.subpixelLean;
        exec_.settings.grayscale = settings_.grayscale;
        exec_.settings.varied = settings_.varied;
        exec_.settings.numGlyphs = settings_.numGlyphs;
        exec_.settings.coordinates.assign(settings_.coordinates.begin(), settings_.coordinates.end());
        exec_.settings.composite = composite;
        exec_.gs = size_.gs;
        exec_.superRound = size_.superRound;
        exec_.sharedCvt = &size_.cvt;
        exec_.sharedStorage = &size_.storage;
        exec_.definitions = const_cast<Definitions*>(&size_.definitions); // a glyph program cannot define
        exec_.Start(Program::Glyph);
        if (pauseAtTop && depth == 0) {
            paused = true;
            return;
        }
        runObserved(exec_, observer_);
        out_.instructions += exec_.executed;
        out_.failures.insert(out_.failures.end(), exec_.failures.begin(), exec_.failures.end());
        backwardCompatibility = settings_.version == 40 && exec_.backwardCompatibility;
    }
    std::copy(zone.cur.begin(), zone.cur.begin() + std::ptrdiff_t(n), points.begin() + std::ptrdiff_t(start));
    std::copy(zone.tags.begin(), zone.tags.begin() + std::ptrdiff_t(n), tags.begin() + std::ptrdiff_t(start));
    programPhantoms = {zone.cur[n], zone.cur[n + 1], zone.cur[n + 2], zone.cur[n + 3]};
    ranProgram = true;
    // In backward compatibility nothing moved in x: the advance stays unhinted.
    if (!backwardCompatibility)
        pp = programPhantoms;
}

bool Loader::load(int g, int depth)
{
    if (g < 0 || g >= font_.NumGlyphs || std::size_t(g) + 1 >= font_.GlyphOffset.size() || depth > MaxComponentDepth)
        return false;
    const std::int32_t scale = settings_.scale;
    std::array<Vec, 4> units = unitPhantoms(g);
    thread_local Contours outline; // decoded glyph by glyph, its storage kept
    WorkingValues work;
    work.GlyphIndex = g;
    const DecodedOutline decoded = DecodeOutline(font_, g, location_, outline, work);
    if (decoded.status == OutlineStatus::Abandoned)
        return false;
    // At a location: the points and phantoms moved by gvar, kept unrounded
    // in 26.6 for scaling, as FreeType does; whole units for the originals.
    std::vector<Vec> unrounded;
    if (decoded.status != OutlineStatus::Composite && !location_.normalized.empty()) {
        std::vector<OutlinePoint>& pts = outline.points;
        for (const Vec& v : units)
            pts.push_back({std::int32_t(v.x), std::int32_t(v.y), PointKind::QuadraticOff});
        vary(g, outline.ends, pts, unrounded);
        for (std::size_t i = 0; i < 4; ++i)
            units[i] = {pts[pts.size() - 4 + i].x, pts[pts.size() - 4 + i].y};
        pts.resize(pts.size() - 4);
    }
    for (std::size_t i = 0; i < 4; ++i)
        pp[i] = {mulFix(units[i].x, scale), mulFix(units[i].y, scale)};
    const auto scaled = [&](std::size_t i, const OutlinePoint& p) {
        if (unrounded.empty())
            return Vec{mulFix32(p.x, scale), mulFix32(p.y, scale)};
        return Vec{(mulFix(unrounded[i].x, scale) + 32) >> 6, (mulFix(unrounded[i].y, scale) + 32) >> 6};
    };
    if (decoded.status == OutlineStatus::Decoded && !unrounded.empty())
        for (std::size_t i = 0; i < 4; ++i)
            pp[i] = scaled(outline.points.size() + i, {});
    if (decoded.status == OutlineStatus::Empty)
        return true;
    if (decoded.status == OutlineStatus::Decoded) {
        const std::size_t start = points.size();
        for (const int end : outline.ends)
            ends.push_back(int(start) + end);
        for (std::size_t i = 0; i < outline.points.size(); ++i) {
            const OutlinePoint& p = outline.points[i];
            points.push_back(scaled(i, p));
            tags.push_back(p.kind == PointKind::OnCurve ? TAG_ON : 0);
        }
        if (!hinted_)
            return true;
        Zone& zone = exec_.glyph;
        zone.orus.resize(outline.points.size() + 4);
        for (std::size_t i = 0; i < outline.points.size(); ++i)
            zone.orus[i] = {outline.points[i].x, outline.points[i].y};
        std::copy(units.begin(), units.end(), zone.orus.end() - 4);
        zone.ends.assign(outline.ends.begin(), outline.ends.end());
        hint(GlyphInstructions(font_, g).bytes, false, start, depth);
        return true;
    }
    // A composite: its records, then each component loaded in turn.
    ByteReader r(font_.FontBytes);
    r.seek(std::size_t(font_.Glyf.Offset) + font_.GlyphOffset[std::size_t(g)] + 10);
    std::vector<ComponentRecord> records;
    ComponentRecord rec;
    do {
        if (!ReadComponentRecord(r, rec) || records.size() >= MaxComponentVisits)
            return false;
        records.push_back(rec);
    } while (rec.flags & MORE_COMPONENTS);
    if (!location_.normalized.empty()) {
        // Each record's offset is a point of its own contour, then the phantoms.
        std::vector<OutlinePoint> pts;
        std::vector<int> pointEnds;
        for (const ComponentRecord& c : records) {
            pointEnds.push_back(int(pts.size()));
            pts.push_back({c.arg1, c.arg2, PointKind::OnCurve});
        }
        for (const Vec& v : unitPhantoms(g))
            pts.push_back({std::int32_t(v.x), std::int32_t(v.y), PointKind::QuadraticOff});
        std::vector<Vec> ignored;
        vary(g, pointEnds, pts, ignored);
        for (std::size_t k = 0; k < records.size(); ++k)
            if (records[k].flags & ARGS_ARE_XY_VALUES) {
                records[k].arg1 = std::int16_t(pts[k].x);
                records[k].arg2 = std::int16_t(pts[k].y);
            }
        for (std::size_t i = 0; i < 4; ++i)
            pp[i] = {mulFix(pts[records.size() + i].x, scale), mulFix(pts[records.size() + i].y, scale)};
    }
    const std::size_t start = points.size();
    const std::size_t startContour = ends.size();
    for (const ComponentRecord& c : records) {
        const std::array<Vec, 4> saved = pp;
        const std::size_t base = points.size();
        if (!load(c.glyph, depth + 1))
            return false;
        if (!(c.flags & USE_MY_METRICS))
            pp = saved;
        if (points.size() > base && !processComponent(c, start, base))
            return false;
    }
    if (hinted_ && (records.back().flags & WE_HAVE_INSTRUCTIONS) && points.size() > start) {
        const std::span<const std::uint8_t> instructions = GlyphInstructions(font_, g).bytes;
        if (instructions.empty())
            return true;
        exec_.glyph.ends.clear();
        for (std::size_t k = startContour; k < ends.size(); ++k)
            exec_.glyph.ends.push_back(ends[k] - int(start));
        hint(instructions, true, start, depth);
    }
    return true;
}

// Moves the points a component added, [base, end), into place: its
// transform, then its offset or its matched point.
bool Loader::processComponent(const ComponentRecord& rec, std::size_t start, std::size_t base)
{
    const bool haveScale = rec.flags & (WE_HAVE_A_SCALE | WE_HAVE_AN_X_AND_Y_SCALE | WE_HAVE_A_TWO_BY_TWO);
    const auto fixed = [](double v) { return std::int64_t(v * 65536.0); }; // F2Dot14 values are exact
    const std::int64_t xx = fixed(rec.matrix[0]), yx = fixed(rec.matrix[1]), xy = fixed(rec.matrix[2]),
                       yy = fixed(rec.matrix[3]);
    if (haveScale)
        for (std::size_t i = base; i < points.size(); ++i) {
            const Vec p = points[i];
            points[i] = {add(mulFix(p.x, xx), mulFix(p.y, xy)), add(mulFix(p.x, yx), mulFix(p.y, yy))};
        }
    F26Dot6 x = 0, y = 0;
    if (!(rec.flags & ARGS_ARE_XY_VALUES)) {
        const std::size_t k = start + std::size_t(rec.arg1), l = base + std::size_t(rec.arg2);
        if (k >= base || l >= points.size())
            return false;
        x = sub(points[k].x, points[l].x);
        y = sub(points[k].y, points[l].y);
    } else {
        x = rec.arg1;
        y = rec.arg2;
        if (!x && !y)
            return true;
        if (haveScale && (rec.flags & SCALED_COMPONENT_OFFSET)) {
            const auto hypot = [](std::int64_t a, std::int64_t b) {
                return std::int64_t(std::llround(std::sqrt(double(a) * double(a) + double(b) * double(b))));
            };
            x = mulFix(x, hypot(xx, xy));
            y = mulFix(y, hypot(yy, yx));
        }
        x = mulFix(x, settings_.scale);
        y = mulFix(y, settings_.scale);
        if ((rec.flags & ROUND_XY_TO_GRID) && hinted_) {
            // Only v35 hints x: v40 keeps its advances and offsets unrounded in x.
            if (settings_.version == 35)
                x = pixRound(x);
            y = pixRound(y);
        }
    }
    for (std::size_t i = base; i < points.size(); ++i)
        points[i] = {add(points[i].x, x), add(points[i].y, y)};
    return true;
}

} // namespace

HintedGlyph HintingContext::HintGlyph(int g, int ppem, int version, const Location& location, StepObserver* observer)
{
    HintedGlyph out;
    const bool sameSize = lastSize_ && !observer && std::get<0>(lastKey_) == ppem && std::get<1>(lastKey_) == version
                       && std::get<2>(lastKey_) == location.normalized;
    if (!sameSize) {
        lastSize_ = &Size(ppem, version, location, observer);
        lastKey_ = std::make_tuple(ppem, version, location.normalized);
        lastSettings_ = Settings(ppem, version, location, false);
    }
    const SizeState& size = *lastSize_;
    out.sizeFailure = size.failure;
    Loader loader(font_, hf_, size, lastSettings_, location, observer, out, exec_, twilightOf_, points_, tags_, ends_);
    if (!loader.load(g, 0)) {
        out.hinted = false;
        return out;
    }
    const F26Dot6 originX = loader.pp[0].x;
    out.points.reserve(loader.points.size());
    for (std::size_t i = 0; i < loader.points.size(); ++i)
        out.points.push_back({sub(loader.points[i].x, originX), loader.points[i].y,
                              (loader.tags[i] & TAG_ON) ? PointKind::OnCurve : PointKind::QuadraticOff});
    out.ends = loader.ends;
    const std::array<Vec, 4>& phantoms = loader.ranProgram ? loader.programPhantoms : loader.pp;
    for (std::size_t i = 0; i < 4; ++i)
        out.phantoms[i] = {sub(phantoms[i].x, originX), phantoms[i].y};
    // hdmx's width where FreeType takes it: v35, or v40 after a font turned
    // backward compatibility off; never for a fixed-pitch font.
    const bool useHdmx = out.hinted && !hf_.fixedPitch && !(version == 40 && loader.backwardCompatibility);
    const int hdmx = useHdmx ? HdmxAdvance(hf_, font_.NumGlyphs, ppem, g) : -1;
    out.advance = hdmx >= 0 ? F26Dot6(hdmx) * 64 : pixRound(sub(loader.pp[1].x, loader.pp[0].x));
    return out;
}

std::optional<Execution> HintingContext::GlyphExecution(int g, int ppem, int version, const Location& location)
{
    HintedGlyph out;
    const SizeState& size = Size(ppem, version, location);
    lastSize_ = nullptr;
    const RunSettings settings = Settings(ppem, version, location, false);
    Loader loader(font_, hf_, size, settings, location, nullptr, out, exec_, twilightOf_, points_, tags_, ends_);
    loader.pauseAtTop = true;
    if (!loader.load(g, 0) || !loader.paused)
        return std::nullopt;
    return exec_;
}

std::vector<std::int16_t> VariedCvt(const FontState& font, const HintingFont& hf, const Location& location)
{
    std::vector<std::int16_t> cvt = hf.cvt;
    if (location.normalized.empty() || hf.cvar.empty() || cvt.empty())
        return cvt;
    ByteReader r(hf.cvar);
    if (r.u32() != 0x00010000)
        return cvt;
    std::vector<std::int64_t> sums;
    if (SumPlainDeltas(r, cvt.size(), font.Variations.axes.size(), location, sums))
        return cvt; // damaged variation data: the default CVT, as FreeType keeps it
    for (std::size_t i = 0; i < cvt.size(); ++i)
        cvt[i] = std::int16_t(cvt[i] + FixedToInt(sums[i]));
    return cvt;
}
