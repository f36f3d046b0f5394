#include "hinting/disassembly.h"

namespace {

enum DefinitionOpcode : std::uint8_t {
    FDEF = 0x2C,
    ENDF = 0x2D,
    IDEF = 0x89,
};

// The values on the stack outside function bodies, as far as the program
// shows them: pushed numbers are known, what other instructions leave is not.
class StaticStack {
public:
    void push(std::optional<std::int32_t> v) { values_.push_back(v); }
    std::optional<std::int32_t> pop()
    {
        if (values_.empty())
            return std::nullopt; // below what the program pushed
        const std::optional<std::int32_t> v = values_.back();
        values_.pop_back();
        return v;
    }
    // An instruction that is neither a push nor a definition. After a call,
    // a jump, a branch, MINDEX (which takes an element from deep down) or
    // an opcode a font may define, nothing below is known any more.
    void apply(std::uint8_t op)
    {
        const OpcodeInfo& info = Opcode(op);
        if (!info.known() || info.pops == VariableCount || info.pushes == VariableCount || unsettling(op)) {
            values_.clear();
            return;
        }
        for (int k = 0; k < info.pops; ++k)
            pop();
        for (int k = 0; k < info.pushes; ++k)
            push(std::nullopt);
    }

private:
    static bool unsettling(std::uint8_t op)
    {
        switch (op) {
        case 0x1B: // ELSE
        case 0x1C: // JMPR
        case 0x26: // MINDEX
        case 0x2A: // LOOPCALL
        case 0x2B: // CALL
        case 0x58: // IF
        case 0x78: // JROT
        case 0x79: // JROF
            return true;
        default:
            return false;
        }
    }

    std::vector<std::optional<std::int32_t>> values_;
};

void listPush(const DecodedInstruction& in, std::vector<std::string>& lines)
{
    const std::size_t n = in.pushCount;
    lines.push_back(Mnemonic(in.opcode) + "\t/* " + std::to_string(n) + (n == 1 ? " value pushed */" : " values pushed */"));
    for (std::size_t k = 0; k < n; ++k)
        lines.push_back(std::to_string(in.value(k)));
}

void listOther(std::uint8_t op, std::vector<std::string>& lines)
{
    const OpcodeInfo& info = Opcode(op);
    lines.push_back(info.known() ? Mnemonic(op) + "\t/* " + std::string(info.name) + " */" : Mnemonic(op));
}

} // namespace

Disassembly Disassemble(std::span<const std::uint8_t> program)
{
    Disassembly out;
    StaticStack stack;
    bool inDefinition = false; // function bodies run later: they leave the stack as it is
    std::size_t at = 0;
    while (at < program.size()) {
        const DecodedInstruction in = DecodeInstruction(program, at);
        if (in.truncated) {
            out.truncated = true;
            out.cut = in;
            break;
        }
        ListedInstruction listed{at, in.opcode, out.lines.size(), std::nullopt};
        if (IsPush(in.opcode)) {
            listPush(in, out.lines);
            for (std::size_t k = 0; !inDefinition && k < in.pushCount; ++k)
                stack.push(in.value(k));
        } else {
            listOther(in.opcode, out.lines);
            if (in.opcode == FDEF || in.opcode == IDEF) {
                if (!inDefinition)
                    listed.defines = stack.pop();
                inDefinition = true;
            } else if (in.opcode == ENDF) {
                inDefinition = false;
            } else if (!inDefinition) {
                stack.apply(in.opcode);
            }
        }
        out.instructions.push_back(listed);
        at += in.length;
    }
    out.end = at;
    return out;
}

std::string DefinitionName(const ListedInstruction& instruction)
{
    const std::string kind = instruction.opcode == IDEF ? "IDEF " : "FDEF ";
    return kind + (instruction.defines ? std::to_string(*instruction.defines) : "?");
}

std::optional<std::size_t> DefinitionAt(const Disassembly& listing, std::int32_t number, bool idef)
{
    const std::uint8_t wanted = idef ? IDEF : FDEF;
    for (std::size_t k = listing.instructions.size(); k-- > 0;) {
        const ListedInstruction& in = listing.instructions[k];
        if (in.opcode == wanted && in.defines == number)
            return k;
    }
    return std::nullopt;
}
