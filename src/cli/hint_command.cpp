#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "hinting/hinted_glyph.h"
#include "hinting/opcodes.h"
#include "report/json.h"
#include "report/messages.h"

namespace {

constexpr long MaxTraceSteps = 200000;

struct HintArgs {
    std::vector<std::string> positional; // the font file and the glyph number
    int glyph = 0;
    int ppem = 0;
    int version = 40;
    bool trace = false;
    LocationRequest location;
};

int parseHintArgs(std::vector<std::string> args, HintArgs& h)
{
    if (const int status = takeLocation(args, h.location))
        return status;
    h.trace = takeFlag(args, "--trace");
    bool ppemGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--ppem") {
            if (!hasValue || !parseNumber(args[++i], 6, 200, h.ppem))
                return usageError("--ppem takes a whole number from 6 to 200");
            ppemGiven = true;
        } else if (a == "--interpreter") {
            if (!hasValue || !parseNumber(args[++i], 35, 40, h.version) || (h.version != 35 && h.version != 40))
                return usageError("--interpreter takes 40 or 35");
        } else if (a.size() > 1 && a[0] == '-') {
            return usageError("unknown option '" + a + "'");
        } else {
            h.positional.push_back(a);
        }
    }
    if (h.positional.size() != 2)
        return usageError("hint takes a font file and one glyph number");
    if (!parseNumber(h.positional[1], 0, std::numeric_limits<int>::max(), h.glyph))
        return usageError("'" + h.positional[1] + "' is no glyph number");
    if (!ppemGiven)
        return usageError("hint needs --ppem");
    return 0;
}

const char* programKey(Program p)
{
    return p == Program::Fpgm ? "fpgm" : p == Program::Prep ? "prep" : "glyph";
}

// Writes each instruction as it runs, up to the cap.
class TraceWriter : public StepObserver {
public:
    void step(const Execution& e) override
    {
        if (++steps_ > MaxTraceSteps) {
            cut = true;
            return;
        }
        const StepRecord& s = e.lastStep;
        std::string line = steps_ > 1 ? ",\n" : "\n";
        line += "{\"program\": \"" + std::string(programKey(s.program)) + "\", \"offset\": " + std::to_string(s.offset)
              + ", \"opcode\": " + jsonString(Mnemonic(s.opcode)) + ", \"pops\": [";
        for (std::size_t k = 0; k < s.pops.size(); ++k)
            line += (k ? ", " : "") + std::to_string(s.pops[k]);
        line += "], \"stack\": [";
        const std::size_t from = e.top > 8 ? e.top - 8 : 0;
        for (std::size_t k = from; k < e.top; ++k)
            line += (k > from ? ", " : "") + std::to_string(e.stack[k]);
        line += "], \"moved\": [";
        for (std::size_t k = 0; k < s.moved.size(); ++k) {
            const StepRecord::Moved& m = s.moved[k];
            line += std::string(k ? ", " : "") + "["
                  + (m.twilight ? "\"t" + std::to_string(m.point) + "\"" : std::to_string(m.point)) + ", "
                  + std::to_string(m.to.x) + ", " + std::to_string(m.to.y) + "]";
        }
        line += "]}";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    bool cut = false;

private:
    long steps_ = 0;
};

std::string pointsJson(const HintedGlyph& glyph)
{
    std::string json = "[";
    for (std::size_t i = 0; i < glyph.points.size(); ++i) {
        const HintedPoint& p = glyph.points[i];
        json += (i ? ", [" : "[") + std::to_string(p.x) + ", " + std::to_string(p.y) + ", "
              + std::to_string(int(p.kind)) + "]";
    }
    return json + "]";
}

std::string phantomsJson(const HintedGlyph& glyph)
{
    std::string json = "[";
    for (std::size_t i = 0; i < glyph.phantoms.size(); ++i)
        json += (i ? ", [" : "[") + std::to_string(glyph.phantoms[i].x) + ", " + std::to_string(glyph.phantoms[i].y)
              + "]";
    return json + "]";
}

} // namespace

int runHint(const std::vector<std::string>& args)
{
    HintArgs h;
    if (const int status = parseHintArgs(args, h))
        return status;
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(h.positional[0], true, messages, opened))
        return *status;
    const FontState& font = opened.font;
    if (h.glyph >= font.NumGlyphs)
        return noSuchGlyph(font, h.positional[1]);
    Location location;
    if (const int status = applyLocation(font, h.location, location))
        return status;

    HintingContext context(font);
    TraceWriter trace;
    std::string head = "{\"glyph\": " + std::to_string(h.glyph) + ", \"ppem\": " + std::to_string(h.ppem)
                     + ", \"interpreter\": " + std::to_string(h.version);
    if (h.trace) {
        head += ",\n\"trace\": [";
        std::fwrite(head.data(), 1, head.size(), stdout);
    }
    const HintedGlyph glyph = context.HintGlyph(h.glyph, h.ppem, h.version, location, h.trace ? &trace : nullptr);
    if (glyph.sizeFailure)
        messages.MsgBox(UnhintedStatus(*glyph.sizeFailure, h.ppem));
    for (const HintFailure& f : glyph.failures)
        messages.MsgBox(HintingStatus(f));
    std::string tail;
    if (h.trace) {
        tail = "\n]";
        if (trace.cut) {
            tail += ", \"trace_cut\": true";
            messages.MsgBox("The trace holds the first " + std::to_string(MaxTraceSteps) + " instructions only.");
        }
    }
    JsonObject rest;
    rest.add("points", pointsJson(glyph))
        .add("phantoms", phantomsJson(glyph))
        .add("advance", std::to_string(glyph.advance))
        .add("instructions", std::to_string(glyph.instructions))
        .add("messages", jsonArray(messages.texts));
    std::string body = rest.str(true); // "{\n...}": its members follow the head's
    body.erase(0, body.find('{') + 1);
    if (!h.trace)
        std::fwrite(head.data(), 1, head.size(), stdout);
    tail += "," + body;
    printJson(tail);
    return 0;
}
