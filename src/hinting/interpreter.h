#pragma once
#include <array>
#include <cstdint>
#include <span>
#include <vector>

// The TrueType bytecode interpreter: one program run, steppable one
// instruction at a time. It follows FreeType 2.12's non-pedantic rules, so
// that its points are FreeType's: a stack underflow reads zeros, a reference
// to a point, CVT entry or storage location that does not exist is skipped,
// and the failures FreeType stops a program for stop it here too, recorded as
// a value (HintFailure).

// The three programs, numbered as FreeType numbers its code ranges.
enum class Program : std::uint8_t { Fpgm = 1, Prep = 2, Glyph = 3 };

// Why a program stopped before its end.
enum class HintError : std::uint8_t {
    StackOverflow,       // a push past the stack's size
    DivideByZero,
    BadJump,             // before the start of the program or past the end of a function
    CallTooDeep,         // calls nested deeper than 32
    UndefinedFunction,   // CALL or LOOPCALL of a function never defined
    TooManyInstructions, // more than 1 000 000 in one program run
    RunawayLoop,         // LOOPCALL or backward jumps past the counters
    InvalidOpcode,       // an opcode without a meaning and without an IDEF
    CodeOverflow,        // an instruction or a skip runs past the end of its program
    NestedDefinition,    // FDEF or IDEF inside a definition
    DefinitionInGlyph,   // FDEF or IDEF in a glyph program
    TooManyDefinitions,  // more FDEFs or IDEFs than maxp allows, or a number out of range
    EndWithoutCall,      // ENDF outside a function
    DebugOpcode,         // DEBUG, which FreeType refuses
};

struct HintFailure {
    Program program = Program::Glyph;
    std::uint32_t offset = 0;
    std::uint8_t opcode = 0;
    HintError error = HintError::CodeOverflow;
};

using F26Dot6 = std::int64_t;

struct Vec {
    F26Dot6 x = 0, y = 0;
    friend bool operator==(const Vec&, const Vec&) = default;
};

// F2Dot14 components.
struct UnitVector {
    std::int32_t x = 0x4000, y = 0;
};

// Flags of a zone's points: FreeType's outline tags.
enum PointTag : std::uint8_t {
    TAG_ON = 0x01,      // on-curve
    TOUCH_X = 0x08,
    TOUCH_Y = 0x10,
    TOUCH_BOTH = 0x18,
};

// Points the instructions work on: the twilight zone or a glyph's own
// (its outline points and the four phantom points after them).
struct Zone {
    std::vector<Vec> org;  // scaled, before the program moved them
    std::vector<Vec> cur;  // where the program has them
    std::vector<Vec> orus; // in font units (a composite: its components' hinted points)
    std::vector<std::uint8_t> tags;
    std::vector<int> ends; // last point of each contour
    std::uint32_t size() const { return std::uint32_t(cur.size()); }
    void resize(std::size_t n)
    {
        org.assign(n, {});
        cur.assign(n, {});
        orus.assign(n, {});
        tags.assign(n, 0);
    }
};

enum RoundState : std::uint8_t {
    ROUND_TO_HALF_GRID = 0,
    ROUND_TO_GRID = 1,
    ROUND_TO_DOUBLE_GRID = 2,
    ROUND_DOWN_TO_GRID = 3,
    ROUND_UP_TO_GRID = 4,
    ROUND_OFF = 5,
    ROUND_SUPER = 6,
    ROUND_SUPER_45 = 7,
};

struct GraphicsState {
    std::uint16_t rp0 = 0, rp1 = 0, rp2 = 0;
    UnitVector dualVector, projVector, freeVector;
    std::int64_t loop = 1;
    F26Dot6 minimumDistance = 64;
    std::uint8_t roundState = ROUND_TO_GRID;
    bool autoFlip = true;
    F26Dot6 controlValueCutIn = 68; // 17/16 pixel
    F26Dot6 singleWidthCutIn = 0;
    F26Dot6 singleWidthValue = 0;
    std::int32_t deltaBase = 9;
    std::int32_t deltaShift = 3;
    std::uint8_t instructControl = 0;
    bool scanControl = false;
    std::int32_t scanType = 0;
    std::uint16_t gep0 = 1, gep1 = 1, gep2 = 1;
};

// SROUND and S45ROUND's parameters; FreeType keeps them beside the graphics state.
struct SuperRound {
    F26Dot6 period = 64, phase = 0, threshold = 0;
};

// A function (FDEF) or an instruction (IDEF) definition.
struct Definition {
    Program range = Program::Fpgm;
    std::uint32_t start = 0, end = 0; // after FDEF; the ENDF
    std::uint32_t number = 0;
    bool active = false;
};

struct Definitions {
    std::vector<Definition> functions, instructions;
    std::uint32_t maxFunction = 0;
    std::size_t maxFunctions = 0, maxInstructions = 0; // maxp's limits
};

struct CallFrame {
    Program callerRange = Program::Glyph;
    std::uint32_t callerIp = 0;
    std::int64_t count = 1;
    std::uint32_t definition = 0;
    bool instruction = false; // an IDEF's
};

inline constexpr std::size_t MaxCallDepth = 32;
inline constexpr std::int64_t MaxInstructions = 1'000'000;

// What the run knows of the size and the interpreter it imitates.
struct RunSettings {
    int version = 40;           // 35 or 40
    std::int32_t ppem = 0;      // 0 in the font program
    std::int32_t scale = 0;     // font units to 26.6, 16.16
    bool subpixelLean = true;   // v40 with its subpixel hinting (off in the font program's first run)
    bool grayscale = false;     // GETINFO's grayscale bit
    bool composite = false;     // a composite glyph's own program
    bool varied = false;        // the font has variations: GETINFO bit 10, GETVARIATION
    std::vector<std::int32_t> coordinates; // normalized, 16.16, for GETVARIATION
    std::uint32_t numGlyphs = 1;
};

// One instruction as it ran, for a trace or a debugger (only filled when asked).
struct StepRecord {
    Program program = Program::Glyph;
    std::uint32_t offset = 0;
    std::uint8_t opcode = 0;
    std::vector<std::int64_t> pops; // top first
    struct Moved {
        bool twilight = false;
        std::uint32_t point = 0;
        Vec to;
    };
    std::vector<Moved> moved;
};

// One run of a program over the state it is given. The members are public:
// a debugger reads them between steps.
class Execution {
public:
    // The code of each range; a range without code is empty.
    std::array<std::span<const std::uint8_t>, 3> code;
    Program range = Program::Glyph; // the range running
    Program initialRange = Program::Glyph;
    std::uint32_t ip = 0;

    GraphicsState gs;
    SuperRound superRound;
    std::vector<std::int64_t> stack; // its size is the stack's capacity
    std::size_t top = 0;
    // The CVT and the storage area. A glyph program reads the size's through
    // sharedCvt and sharedStorage and writes to copies made at its first
    // write: FreeType discards what a glyph program writes there.
    std::vector<std::int64_t> storage;
    std::vector<F26Dot6> cvt;
    const std::vector<F26Dot6>* sharedCvt = nullptr;
    const std::vector<std::int64_t>* sharedStorage = nullptr;
    const std::vector<F26Dot6>& Cvt() const { return sharedCvt ? *sharedCvt : cvt; }
    const std::vector<std::int64_t>& Storage() const { return sharedStorage ? *sharedStorage : storage; }
    Zone twilight;
    Zone glyph;
    Definitions* definitions = nullptr;
    std::vector<CallFrame> calls;
    RunSettings settings;

    bool backwardCompatibility = false;
    bool iupXCalled = false, iupYCalled = false;
    // Set once a zone pointer points at the twilight zone, the only way
    // to change it; never cleared by the run.
    bool twilightZoneUsed = false;
    std::int64_t executed = 0; // instructions run
    bool finished = false;
    std::vector<HintFailure> failures; // at most one: the one that stopped the run

    // Record each step's pops and moved points into lastStep.
    bool recordSteps = false;
    StepRecord lastStep;

    // Starts `program` (with its code in `code`) from offset 0, as FreeType
    // starts a run: loop counters, backward compatibility, the vectors.
    void Start(Program program);
    // Runs one instruction; false once the run has finished (at its end or
    // on a failure).
    bool Step();
    // Runs to the end; false when a failure stopped it.
    bool Run();

private:
    // A zone pointer: which zone, not its address, so that a copy of a run
    // works on its own zones.
    struct Zp {
        bool twilight = false;
    };
    Zone& zoneOf(const Zp& z) { return z.twilight ? twilight : glyph; }
    Zp zp0_, zp1_, zp2_;
    std::span<const std::uint8_t> running_; // the code of `range`
    void setRange(Program r)
    {
        range = r;
        running_ = code[std::size_t(r) - 1];
    }
    std::int64_t fDotP_ = 0x4000;
    std::int64_t loopcallCounter_ = 0, loopcallMax_ = 0, negJumpCounter_ = 0;
    std::uint32_t twilightPoints_ = 0; // the twilight zone's usable size in this run
    std::uint32_t length_ = 1; // how far the ip steps after the instruction: 0 after a jump or call
    std::int64_t args_ = 0, newTop_ = 0;
    bool failed_ = false;
    HintError error_ = HintError::CodeOverflow;

    [[gnu::always_inline]] inline bool stepOnce();
    std::vector<F26Dot6>& writableCvt();
    std::vector<std::int64_t>& writableStorage();
    void fail(HintError e)
    {
        failed_ = true;
        error_ = e;
    }
    void computeFuncs();
    // Inlined: they run for nearly every instruction that moves a point.
    [[gnu::always_inline]] inline std::uint32_t points(const Zp& z) const;
    [[gnu::always_inline]] inline F26Dot6 project(F26Dot6 dx, F26Dot6 dy) const;
    [[gnu::always_inline]] inline F26Dot6 dualProject(F26Dot6 dx, F26Dot6 dy) const;
    F26Dot6 round(F26Dot6 d) const;
    [[gnu::always_inline]] inline void move(const Zp& z, std::uint32_t point, F26Dot6 distance);
    void moveOrig(const Zp& z, std::uint32_t point, F26Dot6 distance);
    void moveZp2(std::uint32_t point, F26Dot6 dx, F26Dot6 dy, bool touch);
    bool setZone(Zp& zp, std::int64_t which);
    bool skipCode(std::uint8_t& opcode);
    bool gotoRange(Program r, std::uint32_t at);
    bool callDefinition(const Definition& def, std::int64_t count, bool instruction, std::uint32_t index);
    const Definition* findFunction(std::uint64_t f) const;
    bool pointDisplacement(F26Dot6& dx, F26Dot6& dy, Zp& zp, std::uint32_t& refp);
    [[gnu::always_inline]] inline void execute(std::uint8_t opcode, std::int64_t* args);
    void define(bool function, std::int64_t n);
    void jump(std::int64_t offset);
    void delta(std::uint8_t opcode, std::int64_t* args);
    void iup(bool x);
    void interpolatePoints();
    void shiftPoints(std::uint8_t opcode, std::int64_t* args);
    void mirp(std::uint8_t opcode, std::int64_t* args);
    void mdrp(std::uint8_t opcode, std::int64_t* args);
    void miap(std::uint8_t opcode, std::int64_t* args);
    void isect(std::int64_t* args);
    void sdpvtl(std::uint8_t opcode, std::int64_t* args);
    bool lineVector(std::uint8_t opcode, std::int64_t a1, std::int64_t a2, UnitVector& v);
    std::int64_t getInfo(std::int64_t selector) const;
    void loopPoints(std::uint8_t opcode, std::int64_t* args);
    // In a recorded step, notes where a twilight point stood before a write to it.
    void noteWrite(const Zp& z, std::uint32_t point);
    std::vector<std::pair<std::uint32_t, Vec>> twilightWrites_;
    std::vector<std::uint32_t> touched_; // IUP's touched points of a contour
};
