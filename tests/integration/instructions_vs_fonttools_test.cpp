// Lumaro's listings of TrueType programs against fontTools' getAssembly():
// the font program, the control-value program and every glyph's
// instructions of every DejaVu font, line for line.
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>
#include <gtest/gtest.h>

#include "hinting/disassembly.h"
#include "outline/composite.h"
#include "sfnt/table_directory.h"
#include "support/command_output.h"
#include "support/font_file_loading.h"
#include "support/freetype_face.h"

namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i)
        out += (i ? "\n" : "") + lines[i];
    return out;
}

// One program against fontTools' [length, lines joined]; true when equal.
bool sameListing(std::span<const std::uint8_t> program, const QJsonArray& reference, const std::string& what)
{
    const Disassembly ours = Disassemble(program);
    EXPECT_FALSE(ours.truncated) << what;
    EXPECT_EQ(double(program.size()), reference[0].toDouble()) << what;
    EXPECT_TRUE(reference[1].isString()) << what << ": fontTools cannot list it";
    const std::string expected = reference[1].toString().toStdString();
    EXPECT_EQ(joined(ours.lines), expected) << what;
    return joined(ours.lines) == expected && double(program.size()) == reference[0].toDouble();
}

TEST(InstructionsVsFontTools, EveryDejaVuProgram)
{
    const std::vector<std::string> paths = dejavuFontPaths();
    std::string line = shellQuoted(PYTHON3) + " " + shellQuoted(INSTRUCTIONS_SCRIPT);
    for (const std::string& path : paths)
        line += " " + shellQuoted(path);
    const CommandOutput run = runCommand(line);
    ASSERT_EQ(run.status, 0);
    const QList<QByteArray> documents = QByteArray::fromStdString(run.out).trimmed().split('\n');
    ASSERT_EQ(std::size_t(documents.size()), paths.size());

    int programs = 0, instructed = 0;
    for (std::size_t f = 0; f < paths.size(); ++f) {
        SCOPED_TRACE(paths[f]);
        FontState font;
        ASSERT_EQ(loadFontPath(font, paths[f]), LoadResult::Loaded);
        const QJsonObject ref = QJsonDocument::fromJson(documents[qsizetype(f)]).object();
        for (const char* table : {"fpgm", "prep"})
            programs += sameListing(TableBytes(font, table), ref[table].toArray(), table);
        const QJsonArray glyphs = ref["glyphs"].toArray();
        ASSERT_EQ(glyphs.size(), font.NumGlyphs);
        for (int g = 0; g < font.NumGlyphs; ++g) {
            const GlyphProgram program = GlyphInstructions(font, g);
            ASSERT_FALSE(program.failure) << "glyph " << g;
            if (!sameListing(program.bytes, glyphs[g].toArray(), "glyph " + std::to_string(g)))
                break; // one glyph's difference says enough
            ++programs;
            instructed += !program.bytes.empty();
        }
    }
    EXPECT_GE(instructed, 3000); // DejaVu hints a part of its glyphs; the rest must list as empty
    EXPECT_GE(programs, 80000);
}

// The command prints the same listing, and a CFF font has no instructions.
TEST(InstructionsVsFontTools, CommandListsTheControlValueProgram)
{
    const std::string sans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
    const CommandOutput run = runCommand(shellQuoted(PYTHON3) + " " + shellQuoted(INSTRUCTIONS_SCRIPT) + " "
                                         + shellQuoted(sans));
    const QJsonArray prep = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object()["prep"].toArray();
    int status = -1;
    const QJsonObject ours = inspectObject({"instructions", sans, "--prep"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ours["program"].toString(), "prep");
    EXPECT_EQ(ours["length"].toDouble(), prep[0].toDouble());
    QStringList lines;
    for (const QJsonValue& v : ours["assembly"].toArray())
        lines << v.toString();
    EXPECT_EQ(lines.join('\n'), prep[1].toString());

    const QJsonObject cff = inspectObject({"instructions", std::string(CANTARELL_DIR) + "/Cantarell-Regular.otf", "5"}, &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(cff["length"].toInt(-1), 0);
    EXPECT_TRUE(cff["assembly"].toArray().isEmpty());
}

} // namespace
