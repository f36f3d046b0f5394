// lumaro-inspect as scripts use it: the built tool is run and its JSON read
// back. Expected values come from FreeType and from fonts built here.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <FreeImage.h>
#include <QByteArray>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPalette>
#include <QRegularExpression>
#include <fcntl.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_MULTIPLE_MASTERS_H
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/freetype_face.h"
#include "support/gui_app.h"
#include "support/container_builder.h"
#include "support/ttf_builder.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

// A fresh folder for outputs, removed afterwards.
class OutDir {
public:
    OutDir()
    {
        static int counter = 0;
        path_ = fs::temp_directory_path() / ("lumaro-cli-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        fs::create_directories(path_);
    }
    ~OutDir()
    {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    bool empty() const { return fs::is_empty(path_); }

private:
    fs::path path_;
};

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs lumaro-inspect with args; standard output and error are kept apart.
ToolRun inspect(const std::vector<std::string>& args)
{
    OutDir io;
    const std::string outPath = io.file("stdout"), errPath = io.file("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all = {LUMARO_INSPECT};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    ToolRun run;
    pid_t pid = 0;
    if (posix_spawn(&pid, LUMARO_INSPECT, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.out = slurp(outPath);
    run.err = slurp(errPath);
    return run;
}

QJsonDocument parse(const std::string& text)
{
    QJsonParseError error{};
    QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << "\n" << text.substr(0, 300);
    return doc;
}

std::vector<int> ints(const QJsonValue& v)
{
    std::vector<int> out;
    for (const QJsonValue& e : v.toArray())
        out.push_back(e.toInt(-1));
    return out;
}

// The keys of the top-level object in the order they are written.
std::vector<std::string> keyOrder(const std::string& json, const std::vector<std::string>& keys)
{
    std::vector<std::pair<std::size_t, std::string>> at;
    for (const std::string& k : keys)
        at.emplace_back(json.find("\"" + k + "\":"), k);
    std::sort(at.begin(), at.end());
    std::vector<std::string> order;
    for (const auto& [pos, k] : at)
        if (pos != std::string::npos)
            order.push_back(k);
    return order;
}

std::string blankSigned(long v)
{
    return (v < 0 ? "-" : " ") + std::to_string(std::labs(v));
}

// DejaVu Sans through FreeType, in font units.
class FreeTypeFont {
public:
    explicit FreeTypeFont(const std::string& path) : face_(path)
    {
        if (face_.get())
            FT_Select_Charmap(face_.get(), FT_ENCODING_UNICODE);
    }
    FT_Face face() const { return face_.get(); }
    int glyphs() const { return int(face()->num_glyphs); }
    int charIndex(unsigned long code) const { return int(FT_Get_Char_Index(face(), code)); }
    bool composite(int glyph) const
    {
        FT_Load_Glyph(face(), FT_UInt(glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_RECURSE);
        return face()->glyph->format == FT_GLYPH_FORMAT_COMPOSITE;
    }
    // The unscaled outline of a simple glyph.
    const FT_Outline& outline(int glyph) const
    {
        FT_Load_Glyph(face(), FT_UInt(glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP);
        return face()->glyph->outline;
    }

private:
    FreeTypeFace face_;
};

} // namespace

// ---- usage and unreadable files -----------------------------------------------------

TEST(InspectCli, UsageErrorsAndUnreadableFilesGoToStandardErrorWithStatus2)
{
    OutDir dir;
    const std::string out = dir.file("out.jpg");
    const std::string missing = dir.file("missing.ttf");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", DejaVuSans},
        {"load"},
        {"load", DejaVuSans, DejaVuSans},
        {"map"},
        {"map", DejaVuSans, "65536"},
        {"map", DejaVuSans, "-1"},
        {"map", DejaVuSans, "0x41"},
        {"map", DejaVuSans, "A"},
        {"glyph", DejaVuSans},
        {"glyph", DejaVuSans, "abc"},
        {"glyph", DejaVuSans, "6253"}, // glyphs are 0 to 6252
        {"glyph", DejaVuSans, "1", "--all"},
        {"render", DejaVuSans, "36"},
        {"render", DejaVuSans, "36", "-o"},
        {"render", DejaVuSans, "-o", out},
        {"render", DejaVuSans, "36", "-o", out, "--scale", "0"},
        {"render", DejaVuSans, "36", "-o", out, "--scale", "11"},
        {"render", DejaVuSans, "36", "-o", out, "--offset", "16"},
        {"render", DejaVuSans, "36", "-o", out, "--offset"},
        {"render", DejaVuSans, "36", "-o", out, "--bold"},
        {"render", DejaVuSans, "36", "-o", out, "--size", "15"},
        {"render", DejaVuSans, "36", "-o", out, "--size", "4097"},
        {"render", DejaVuSans, "36", "-o", out, "--size"},
        {"render", DejaVuSans, "6253", "-o", out},
        {"names"},
        {"load", missing},
        {"load", dir.file("")},
        {"map", missing, "65"},
        {"glyph", missing, "1"},
        {"render", missing, "1", "-o", out},
        {"names", missing},
        {"find", DejaVuSans},
        {"find", missing, "A"},
        {"instructions", DejaVuSans},
        {"instructions", DejaVuSans, "6253"},
        {"instructions", DejaVuSans, "--cvt"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const std::string& a : args)
            shown += a + " ";
        const ToolRun run = inspect(args);
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err, "") << shown;
        // A usage error is one line that points at --help rather than the whole usage.
        if (run.err.find("cannot read") == std::string::npos) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << shown << run.err;
            EXPECT_TRUE(run.err.ends_with("; try --help\n")) << shown << run.err;
        }
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_NE(inspect({"pixels", DejaVuSans, "99999", "--ppem", "20"}).err.find("no glyph 99999"), std::string::npos);
}

TEST(InspectCli, HelpAndVersionGoToStandardOutputWithStatus0)
{
    const ToolRun help = inspect({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: lumaro-inspect load FONT")) << help.out;
    EXPECT_EQ(help.err, "");
    const ToolRun version = inspect({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(version.out.starts_with("lumaro-inspect 0.")) << version.out;
    EXPECT_EQ(std::count(version.out.begin(), version.out.end(), '\n'), 1);
}

// Noto Color Emoji: bitmap glyphs only, and no character map but format 12
// (and 14). It opens with the box, every glyph listed, the character lists
// empty, Find through the format 12 map as FreeType maps it.
TEST(InspectCli, AFontWithOnlyAFormat12MapOpens)
{
    const std::string emoji = std::string(NOTO_DIR) + "/NotoColorEmoji.ttf";
    const FreeTypeFont ft(emoji);
    ASSERT_TRUE(ft.face());
    const ToolRun load = inspect({"load", emoji});
    ASSERT_EQ(load.status, 0) << load.err;
    const QJsonObject doc = parse(load.out).object();
    EXPECT_EQ(doc["glyph_count"].toString().toStdString(), " " + std::to_string(ft.glyphs()));
    EXPECT_EQ(ints(doc["glyph_list"]).size(), std::size_t(ft.glyphs()));
    EXPECT_TRUE(doc["char_list"].toArray().isEmpty());
    EXPECT_TRUE(doc["ascii_list"].toArray().isEmpty());
    EXPECT_EQ(doc["messages"].toArray(), QJsonArray{"wrong cmapFormat!!"});

    std::vector<std::string> find = {"find", emoji};
    std::vector<unsigned long> codes;
    FT_UInt glyph = 0;
    for (FT_ULong c = FT_Get_First_Char(ft.face(), &glyph); glyph != 0; c = FT_Get_Next_Char(ft.face(), c, &glyph)) {
        char query[16];
        std::snprintf(query, sizeof query, "U+%04lX", c);
        find.push_back(query);
        codes.push_back(c);
    }
    ASSERT_GT(codes.size(), 1000u);
    const ToolRun found = inspect(find);
    ASSERT_EQ(found.status, 0) << found.err;
    const QJsonObject glyphs = parse(found.out).object();
    int differ = 0;
    for (std::size_t i = 0; i < codes.size(); ++i)
        differ += glyphs[QString::fromStdString(find[i + 2])].toInt(-1) != ft.charIndex(codes[i]);
    EXPECT_EQ(differ, 0);

    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"names", emoji}, {"tables", emoji}, {"glyph", emoji, "5"}, {"outline", emoji, "--all"}}) {
        const ToolRun run = inspect(args);
        EXPECT_EQ(run.status, 0) << args[0] << run.err;
    }
    // FreeType has no strike at 20 pixels: the glyph's failure, in a font that opened.
    const ToolRun pixels = inspect({"pixels", emoji, "5", "--ppem", "20"});
    EXPECT_EQ(pixels.status, 1);
    EXPECT_TRUE(parse(pixels.out).object()["messages"].toArray().last().toString().startsWith("FreeType cannot render"));
}

// ---- load and map -------------------------------------------------------------------

TEST(InspectCli, LoadShowsWhatTheWindowShowsAfterOpen)
{
    const ToolRun run = inspect({"load", DejaVuSans});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(keyOrder(run.out, {"messages", "unicode_cmap", "ascii_list", "char_list", "glyph_list", "glyph_count", "face_name"}),
              (std::vector<std::string>{"face_name", "glyph_count", "glyph_list", "char_list", "ascii_list", "unicode_cmap", "messages"}));
    const QJsonObject load = parse(run.out).object();

    const FreeTypeFont ft(DejaVuSans);
    ASSERT_TRUE(ft.face());
    EXPECT_EQ(load["face_name"].toString(), "DejaVu Sans");
    EXPECT_EQ(load["glyph_count"].toString().toStdString(), " " + std::to_string(ft.glyphs()));
    EXPECT_EQ(ft.glyphs(), 6253);
    EXPECT_EQ(load["unicode_cmap"].toInt(-1), 1);
    EXPECT_TRUE(load["messages"].toArray().isEmpty());

    // Combo1 lists the simple glyphs; the character lists the codes whose glyph is simple.
    std::vector<int> simple, chars, ascii;
    std::vector<bool> isSimple(std::size_t(ft.glyphs()));
    for (int g = 0; g < ft.glyphs(); ++g)
        if (!ft.composite(g)) {
            simple.push_back(g);
            isSimple[std::size_t(g)] = true;
        }
    for (int c = 0; c <= 2000; ++c) {
        const int g = ft.charIndex(c);
        if (g > 0 && isSimple[std::size_t(g)]) {
            chars.push_back(c);
            if (c >= 32 && c <= 126)
                ascii.push_back(c);
        }
    }
    EXPECT_EQ(ints(load["glyph_list"]), simple);
    EXPECT_EQ(ints(load["char_list"]), chars);
    EXPECT_EQ(ints(load["ascii_list"]), ascii);
}

TEST(InspectCli, MapAgreesWithFreeTypeForEveryCode)
{
    const FreeTypeFont ft(DejaVuSans);
    const ToolRun some = inspect({"map", DejaVuSans, "65", "127", "0065", "8364"});
    ASSERT_EQ(some.status, 0) << some.err;
    const QJsonObject picked = parse(some.out).object();
    EXPECT_EQ(picked.keys().size(), 3); // "0065" is code 65 again
    EXPECT_EQ(picked["65"].toInt(-1), ft.charIndex(65));
    EXPECT_EQ(picked["127"].toInt(-1), ft.charIndex(127));
    EXPECT_EQ(picked["8364"].toInt(-1), ft.charIndex(8364));
    EXPECT_NE(ft.charIndex(65), 0);

    const ToolRun all = inspect({"map", DejaVuSans});
    ASSERT_EQ(all.status, 0) << all.err;
    const std::vector<int> glyphs = ints(parse(all.out).array());
    ASSERT_EQ(glyphs.size(), 65536u);
    int differ = 0;
    for (int c = 0; c < 65536; ++c)
        differ += glyphs[std::size_t(c)] != ft.charIndex(c);
    EXPECT_EQ(differ, 0);
}

// ---- find ------------------------------------------------------------------------------

TEST(InspectCli, FindResolvesEachQueryInArgumentOrder)
{
    const FreeTypeFont ft(DejaVuSans);
    const int eacute = ft.charIndex(0xE9);
    const ToolRun run = inspect({"find", DejaVuSans, "U+00E9", "\u00E9", "36", "Aacute", "nosuchname", "U+1D538", "U+00E9"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string expected = "{\"U+00E9\": " + std::to_string(eacute) + ", \"\u00E9\": " + std::to_string(eacute)
        + ", \"36\": 36, \"Aacute\": " + std::to_string(FT_Get_Name_Index(ft.face(), "Aacute"))
        + ", \"nosuchname\": null, \"U+1D538\": " + std::to_string(ft.charIndex(0x1D538)) + "}\n";
    EXPECT_EQ(run.out, expected);
    EXPECT_NE(ft.charIndex(0x1D538), 0);
}

// ---- glyph ----------------------------------------------------------------------------

TEST(InspectCli, GlyphGivesTheReadoutBoxesOfTheWindow)
{
    const FreeTypeFont ft(DejaVuSans);
    const int a = ft.charIndex('A');
    const ToolRun run = inspect({"glyph", DejaVuSans, std::to_string(a)});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(keyOrder(run.out, {"messages", "lines", "maxX", "minX", "maxY", "minY", "name", "number"}),
              (std::vector<std::string>{"number", "name", "minY", "maxY", "minX", "maxX", "lines", "messages"}));
    const QJsonArray glyphs = parse(run.out).array();
    ASSERT_EQ(glyphs.size(), 1);
    const QJsonObject g = glyphs[0].toObject();

    const FT_Outline& outline = ft.outline(a);
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    EXPECT_EQ(g["number"].toString().toStdString(), std::to_string(a));
    EXPECT_EQ(g["minY"].toString().toStdString(), std::to_string(box.yMin));
    EXPECT_EQ(g["maxY"].toString().toStdString(), std::to_string(box.yMax));
    EXPECT_EQ(g["minX"].toString().toStdString(), std::to_string(box.xMin));
    EXPECT_EQ(g["maxX"].toString().toStdString(), std::to_string(box.xMax));
    EXPECT_EQ(g["name"].toString(), "A"); // a standard name, index 36
    EXPECT_TRUE(g["messages"].toArray().isEmpty());

    const std::string expected = "Number of Contours:" + blankSigned(outline.n_contours) + "\r\n\r\nContour: 1\r\nPosition:"
        + blankSigned(outline.points[0].x) + "," + blankSigned(box.yMax - outline.points[0].y) + "\r\n";
    EXPECT_EQ(g["lines"].toString().toStdString().substr(0, expected.size()), expected);
}

TEST(InspectCli, GlyphAllRunsOverEveryGlyphWithoutAMessage)
{
    const ToolRun run = inspect({"glyph", DejaVuSans, "--all"});
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonArray glyphs = parse(run.out).array();
    ASSERT_EQ(glyphs.size(), 6253);
    int wrongNumber = 0, withMessages = 0, drawn = 0;
    for (int n = 0; n < glyphs.size(); ++n) {
        const QJsonObject g = glyphs[n].toObject();
        wrongNumber += g["number"].toString() != QString::number(n);
        withMessages += !g["messages"].toArray().isEmpty();
        drawn += g["lines"].toString().startsWith("Number of Contours:");
    }
    EXPECT_EQ(wrongNumber, 0);
    EXPECT_EQ(withMessages, 0);
    EXPECT_GT(drawn, 3000);
}

TEST(InspectCli, TextsFromTheFontAreEscapedJson)
{
    ttf::FontSpec design = ttf::squaresFont(5);
    design.glyphNames = {"quote\"back\\slash", "tab\tnew\nline", std::string("\x01", 1) + "ctl", "caf\xE9", "\x80 sign"};
    // Glyph names are 8-bit text in Windows-1252, as the window shows them.
    const QStringList expected = {"quote\"back\\slash", "tab\tnew\nline", "\x01" "ctl", QString::fromUtf8("caf\u00E9"),
                                  QString::fromUtf8("\u20AC sign")};
    const ttf::TempFontFile font(ttf::buildFont(design));

    const ToolRun run = inspect({"glyph", font.path(), "0", "1", "2", "3", "4"});
    ASSERT_EQ(run.status, 0) << run.err;
    const QJsonArray glyphs = parse(run.out).array();
    ASSERT_EQ(glyphs.size(), 5);
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(glyphs[n].toObject()["name"].toString(), expected[n]) << n;
    EXPECT_TRUE(glyphs[0].toObject()["lines"].toString().startsWith("Number of Contours: 1\r\n\r\nContour: 1\r\n"));
    EXPECT_EQ(glyphs[3].toObject()["lines"].toString(), ""); // glyph 3 is never drawn
}

// ---- abandoned work ----------------------------------------------------------------------

TEST(InspectCli, AnAbandonedLoadGivesItsMessagesAndStatus1)
{
    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(6));
    ttf::removeTable(tables, "loca");
    const ttf::TempFontFile font(ttf::assemble(tables));
    OutDir dir;

    const ToolRun load = inspect({"load", font.path()});
    EXPECT_EQ(load.status, 1);
    const QJsonObject doc = parse(load.out).object();
    EXPECT_EQ(doc.keys().size(), 12); // faces and face, axes, instances and location too
    EXPECT_EQ(doc["glyph_count"].toString(), "");
    EXPECT_TRUE(doc["glyph_list"].toArray().isEmpty());
    EXPECT_TRUE(doc["char_list"].toArray().isEmpty());
    EXPECT_EQ(doc["unicode_cmap"].toInt(-1), 0);
    const QJsonArray messages = doc["messages"].toArray();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].toString(), "Not found: loca");
    EXPECT_TRUE(messages[1].toString().startsWith("Error!\r\nCode = 14\r\n"));

    for (const std::vector<std::string>& args : {std::vector<std::string>{"map", font.path(), "65"},
                                                  {"glyph", font.path(), "1"},
                                                  {"render", font.path(), "1", "-o", dir.file("out.jpg")}}) {
        const ToolRun run = inspect(args);
        EXPECT_EQ(run.status, 1) << args[0];
        const QJsonObject answer = parse(run.out).object();
        EXPECT_EQ(answer.keys(), QStringList{"messages"}) << args[0];
        EXPECT_EQ(answer["messages"].toArray(), messages) << args[0];
    }
    EXPECT_TRUE(dir.empty());
}

TEST(InspectCli, AGlyphWhoseDrawingIsAbandonedGivesStatus1)
{
    ttf::FontSpec design = ttf::squaresFont(6);
    ttf::Glyph tooMany;
    tooMany.raw = ttf::Bytes().i16(2001).i16(0).i16(0).i16(100).i16(100).data; // numberOfContours, box
    design.glyphs[1] = tooMany;
    const ttf::TempFontFile font(ttf::buildFont(design));
    OutDir dir;

    const ToolRun glyph = inspect({"glyph", font.path(), "0", "1"});
    EXPECT_EQ(glyph.status, 1);
    const QJsonArray glyphs = parse(glyph.out).array();
    ASSERT_EQ(glyphs.size(), 2);
    EXPECT_TRUE(glyphs[0].toObject()["messages"].toArray().isEmpty());
    const QJsonArray messages = glyphs[1].toObject()["messages"].toArray();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].toString().startsWith("Error!\r\nCode = 11\r\n"));
    EXPECT_EQ(glyphs[1].toObject()["lines"].toString(), "");
    EXPECT_EQ(glyphs[1].toObject()["maxY"].toString(), "100");

    // The cleared picture is still saved, as the window would save it.
    const std::string out = dir.file("abandoned.jpg");
    const ToolRun render = inspect({"render", font.path(), "1", "-o", out});
    EXPECT_EQ(render.status, 1);
    EXPECT_EQ(parse(render.out).object()["messages"].toArray(), messages);
    EXPECT_EQ(QImage(QString::fromStdString(out)).size(), QSize(353, 353));
}

// ---- render ----------------------------------------------------------------------------------

namespace {

// Where the window puts things, from the glyph's own points: the user window
// fitted to the glyph box with the margin at one scale (the box's top at Y =
// 0, centred in the square), the segment transform for line ends and the
// mark transform for circles.
struct Placement {
    int s = 2, m = 900;
    double yMaxScaled = 0, left = 0, top = 0, width = 1, height = 1;
    float originY = 0;

    Placement(const FT_BBox& box, int scale, int margin) : s(scale), m(margin)
    {
        const double x0 = box.xMin / double(s) - m, x1 = box.xMax / double(s) + m;
        const double y0 = -m, y1 = (box.yMax - box.yMin) / double(s) + m;
        width = height = std::max(x1 - x0, y1 - y0);
        left = (x0 + x1 - width) / 2;
        top = (y0 + y1 - height) / 2;
        originY = float(-double(box.yMax) / s);
    }
    QPoint linePixel(long x, long y) const
    {
        const double X = std::nearbyint(double(x / s));
        const double Y = std::nearbyint(-(double(y / s) + originY));
        return {int(std::floor((X - left) * 353 / width)), int(std::floor((Y - top) * 353 / height))};
    }
    QPointF markPixel(long x, long y) const
    {
        const double X = double(x) / s, Y = -(double(y) / s + originY);
        return {(X - left) * 353 / width, (Y - top) * 353 / height};
    }
    double markRadius() const { return 16 * 353 / width; }
};

bool isBlack(QRgb p) { return qRed(p) < 100 && qGreen(p) < 100 && qBlue(p) < 100; }
bool isGrey(QRgb p)
{
    const int lo = std::min({qRed(p), qGreen(p), qBlue(p)}), hi = std::max({qRed(p), qGreen(p), qBlue(p)});
    return lo >= 150 && hi <= 230 && hi - lo < 30;
}
bool isRed(QRgb p) { return qRed(p) > 120 && qRed(p) - std::max(qGreen(p), qBlue(p)) > 60; }
bool isBlue(QRgb p) { return qBlue(p) > 100 && qBlue(p) - std::max(qRed(p), qGreen(p)) > 40; }

bool near(const QImage& image, QPoint at, bool (*test)(QRgb))
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p) && test(image.pixel(p)))
                return true;
        }
    return false;
}

int count(const QImage& image, bool (*test)(QRgb))
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += test(image.pixel(x, y));
    return n;
}

bool inside(QPointF p)
{
    return p.x() >= 2 && p.y() >= 2 && p.x() < 351 && p.y() < 351;
}

struct Drawn {
    QImage image;
    int status = -1;
};

Drawn render(const std::string& glyph, const std::vector<std::string>& options, const OutDir& dir)
{
    const std::string out = dir.file("glyph-" + glyph + std::to_string(options.size()));
    std::vector<std::string> args = {"render", DejaVuSans, glyph, "-o", out};
    args.insert(args.end(), options.begin(), options.end());
    const ToolRun run = inspect(args);
    EXPECT_EQ(parse(run.out).object()["written"].toString().toStdString(), out);

    FIBITMAP* dib = FreeImage_Load(FIF_JPEG, out.c_str(), 0);
    EXPECT_NE(dib, nullptr);
    if (dib) {
        EXPECT_EQ(FreeImage_GetWidth(dib), 353u);
        EXPECT_EQ(FreeImage_GetHeight(dib), 353u);
        FreeImage_Unload(dib);
    }
    return {QImage(QString::fromStdString(out), "JPEG"), run.status};
}


// Locations: the axes and instances FreeType reads, an instance drawn as its
// coordinates are, the read-out box following the varied points, and the usage errors.
TEST(Cli, LocationsOfAVariableFont)
{
    const std::string inter = std::string(INTER_VF_DIR) + "/Inter-roman.var.ttf";
    const QJsonObject load = parse(inspect({"load", inter, "--instance", "Black"}).out).object();
    const QJsonArray axes = load["axes"].toArray();
    FreeTypeFace ft(inter);
    ASSERT_NE(ft.get(), nullptr);
    FT_MM_Var* mm = nullptr;
    ASSERT_EQ(FT_Get_MM_Var(ft.get(), &mm), 0);
    ASSERT_EQ(axes.size(), qsizetype(mm->num_axis));
    EXPECT_EQ(axes[0].toObject()["min"].toDouble(), mm->axis[0].minimum / 65536.0);
    EXPECT_EQ(axes[0].toObject()["max"].toDouble(), mm->axis[0].maximum / 65536.0);
    EXPECT_EQ(load["instances"].toArray().size(), qsizetype(mm->num_namedstyles));
    EXPECT_EQ(load["location"].toObject()["wght"].toDouble(), 900);
    FT_Done_MM_Var(ft.get()->glyph->library, mm);

    const std::string atBlack = inspect({"outline", inter, "36", "--instance", "Black"}).out;
    EXPECT_EQ(inspect({"outline", inter, "36", "--location", "wght=900"}).out, atBlack);
    EXPECT_EQ(inspect({"outline", inter, "36", "--location", "wght=5000"}).out, atBlack); // clamped
    EXPECT_NE(inspect({"outline", inter, "36"}).out, atBlack);
    EXPECT_EQ(inspect({"outline", inter, "36", "--location", "wght=400"}).out, inspect({"outline", inter, "36"}).out);

    // Glyph 36 ("A") widens from Thin to Black: its read-out box follows.
    const auto maxX = [&](const char* instance) {
        const QJsonArray glyphs = parse(inspect({"glyph", inter, "36", "--instance", instance}).out).array();
        return glyphs[0].toObject()["maxX"].toString().toInt();
    };
    EXPECT_LT(maxX("Thin"), maxX("Black"));

    EXPECT_EQ(inspect({"glyph", inter, "36", "--location", "wdth=100"}).status, 2);
    EXPECT_EQ(inspect({"glyph", inter, "36", "--instance", "Nothing"}).status, 2);
    EXPECT_EQ(inspect({"glyph", DejaVuSans, "36", "--location", "wght=700"}).status, 2);
    const QJsonObject plain = parse(inspect({"load", DejaVuSans}).out).object();
    EXPECT_TRUE(plain["axes"].toArray().isEmpty());
    EXPECT_TRUE(plain["location"].toObject().isEmpty());
}

} // namespace

TEST(InspectCli, RenderSavesThePictureAsTheWindowDrawsIt)
{
    ensureGuiApplication();
    const FreeTypeFont ft(DejaVuSans);
    const int o = ft.charIndex('O');
    const FT_Outline& outline = ft.outline(o);
    FT_BBox box;
    FT_Outline_Get_CBox(&outline, &box);
    std::vector<FT_Vector> points(outline.points, outline.points + outline.n_points);
    std::vector<bool> on;
    for (int i = 0; i < outline.n_points; ++i)
        on.push_back(FT_CURVE_TAG(outline.tags[i]) == FT_CURVE_TAG_ON);
    std::vector<int> starts = {0};
    for (int c = 0; c + 1 < outline.n_contours; ++c)
        starts.push_back(outline.contours[c] + 1);
    ASSERT_EQ(starts.size(), 2u);

    OutDir dir;
    // The start values of the sliders: the picture's size and the black outline.
    {
        const Drawn d = render(std::to_string(o), {}, dir);
        EXPECT_EQ(d.status, 0);
        ASSERT_EQ(d.image.size(), QSize(353, 353));
        const Placement at(box, 2, 900);
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (!on[i])
                continue;
            EXPECT_TRUE(near(d.image, at.linePixel(points[i].x, points[i].y), isBlack)) << "point " << i;
        }
        const QColor base = QGuiApplication::palette().color(QPalette::Base);
        for (QPoint corner : {QPoint(1, 1), QPoint(351, 1), QPoint(1, 351), QPoint(351, 351)})
            EXPECT_LT(std::abs(qGray(d.image.pixel(corner)) - qGray(base.rgb())), 8);
    }

    // Scale 1, offset 1: big enough to see the control polygon and the start circles.
    const Drawn d = render(std::to_string(o), {"--scale", "1", "--offset", "1"}, dir);
    EXPECT_EQ(d.status, 0);
    ASSERT_EQ(d.image.size(), QSize(353, 353));
    const Placement at(box, 1, 100);

    // The curve itself, sampled finely from the points (implied on-curve
    // points halfway between two off-curve ones), in picture pixels.
    std::vector<QPointF> curve;
    for (std::size_t c = 0; c < starts.size(); ++c) {
        const int first = starts[c], last = outline.contours[c];
        const int n = last - first + 1;
        auto pt = [&](int k) { return QPointF(points[std::size_t(first + (k % n))].x, points[std::size_t(first + (k % n))].y); };
        auto isOn = [&](int k) { return on[std::size_t(first + (k % n))]; };
        int k0 = 0;
        while (!isOn(k0))
            ++k0;
        for (int k = k0; k < k0 + n; ++k) {
            QPointF a, b, e;
            if (isOn(k + 1)) {
                if (!isOn(k))
                    continue; // the end of an arc
                a = pt(k);
                e = pt(k + 1);
                b = (a + e) / 2; // a straight edge
            } else {
                a = isOn(k) ? pt(k) : (pt(k) + pt(k + 1)) / 2;
                b = pt(k + 1);
                e = isOn(k + 2) ? pt(k + 2) : (pt(k + 1) + pt(k + 2)) / 2;
            }
            for (int t = 0; t <= 64; ++t) {
                const double u = t / 64.0;
                const QPointF p = (1 - u) * (1 - u) * a + 2 * u * (1 - u) * b + u * u * e;
                curve.push_back(at.markPixel(std::lround(p.x()), std::lround(p.y())));
            }
        }
    }
    ASSERT_FALSE(curve.empty());

    int greyChecked = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const QPoint p = at.linePixel(points[i].x, points[i].y);
        if (!inside(p))
            continue;
        if (on[i]) {
            EXPECT_TRUE(near(d.image, p, isBlack)) << "on-curve point " << i;
            continue;
        }
        // A control-polygon corner well away from the curve and the start marks shows grey.
        double away = 1e9;
        for (const QPointF& c : curve)
            away = std::min(away, std::hypot(c.x() - p.x(), c.y() - p.y()));
        for (int s : starts) {
            const QPointF m = at.markPixel(points[std::size_t(s)].x, points[std::size_t(s)].y);
            away = std::min(away, std::hypot(m.x() - p.x(), m.y() - p.y()) - 8);
        }
        if (away < 3)
            continue;
        EXPECT_TRUE(near(d.image, p, isGrey)) << "off-curve point " << i;
        ++greyChecked;
    }
    EXPECT_GE(greyChecked, 4);

    // A red circle of 16 picture units around each contour's first point: the
    // outline crosses it twice, so at least two of its four compass points show.
    const double r = at.markRadius();
    EXPECT_GT(r, 3);
    for (int s : starts) {
        const QPointF c = at.markPixel(points[std::size_t(s)].x, points[std::size_t(s)].y);
        int red = 0;
        for (QPointF step : {QPointF(r, 0), QPointF(-r, 0), QPointF(0, r), QPointF(0, -r)})
            red += near(d.image, (c + step).toPoint(), isRed);
        EXPECT_GE(red, 2) << "contour starting at point " << s;
        EXPECT_FALSE(near(d.image, c.toPoint(), isRed)) << "the circle is not filled";
    }
    EXPECT_GT(count(d.image, isBlue), 0) << "the contour numbers";

    // Without start marks: the same outline, no circles and no numbers.
    const Drawn plain = render(std::to_string(o), {"--scale", "1", "--offset", "1", "--no-start-marks"}, dir);
    EXPECT_EQ(plain.status, 0);
    EXPECT_EQ(count(plain.image, isRed), 0);
    EXPECT_EQ(count(plain.image, isBlue), 0);
    EXPECT_GT(count(plain.image, isBlack), 500);
}

// A narrow, a round and a wide glyph keep the proportions of their boxes in
// font units and are whole at offset 0: the ink spans the picture on the
// box's longer side. Stretched, each fills the square; the SVG's transform
// has one scale for x and y.
TEST(InspectCli, RenderKeepsTrueProportions)
{
    const FreeTypeFont ft(DejaVuSans);
    OutDir dir;
    auto inkBox = [](const QImage& image) {
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 235)
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    for (const char32_t c : {U'!', U'O', U'\u2014'}) {
        const std::string glyph = std::to_string(ft.charIndex(c));
        FT_BBox box;
        FT_Outline_Get_CBox(&ft.outline(ft.charIndex(c)), &box);
        const double proportion = double(box.xMax - box.xMin) / double(box.yMax - box.yMin);
        const std::string out = dir.file("true-" + glyph + ".png"), stretched = dir.file("stretched-" + glyph + ".png");
        const std::vector<std::string> args = {"render", DejaVuSans, glyph, "--size", "1024", "--offset", "0",
                                               "--no-start-marks", "-o"};
        auto with = [&](std::vector<std::string> more) {
            std::vector<std::string> all = args;
            all.insert(all.end(), more.begin(), more.end());
            return all;
        };
        ASSERT_EQ(inspect(with({out})).status, 0);
        ASSERT_EQ(inspect(with({stretched, "--stretch"})).status, 0);
        const QRect ink = inkBox(QImage(QString::fromStdString(out)));
        EXPECT_NEAR(double(ink.width()) / ink.height() / proportion, 1, 0.03) << glyph;
        EXPECT_GE(std::max(ink.width(), ink.height()), 1020) << glyph << ": whole and fitted on its longer side";
        EXPECT_GE(ink.left(), 0);
        if (c == U'!') {
            EXPECT_GT(inkBox(QImage(QString::fromStdString(stretched))).width(), 2 * ink.width());
        }

        const std::string svg = dir.file("true-" + glyph + ".svg");
        ASSERT_EQ(inspect({"render", DejaVuSans, glyph, "-o", svg}).status, 0);
        const QRegularExpressionMatch m =
            QRegularExpression("id=\"glyph\" transform=\"matrix\\(([-0-9.e]+) 0 0 ([-0-9.e]+) ")
                .match(QString::fromStdString(slurp(svg)));
        ASSERT_TRUE(m.hasMatch()) << glyph;
        EXPECT_DOUBLE_EQ(m.captured(1).toDouble(), -m.captured(2).toDouble()) << glyph;
    }
}

TEST(InspectCli, RenderTakesItsFormatFromTheOptionElseTheExtension)
{
    OutDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {"a.png", "\x89PNG"}, {"a.picture", "\xFF\xD8\xFF"}, {"b.jpg", "<?xml", "--format", "svg"}};
    for (const std::vector<std::string>& c : cases) {
        std::vector<std::string> args = {"render", DejaVuSans, "36", "-o", dir.file(c[0])};
        args.insert(args.end(), c.begin() + 2, c.end());
        EXPECT_EQ(inspect(args).status, 0) << c[0];
        EXPECT_EQ(slurp(dir.file(c[0])).rfind(c[1], 0), 0u) << c[0];
    }
    EXPECT_EQ(inspect({"render", DejaVuSans, "36", "-o", dir.file("c.png"), "--format", "gif"}).status, 2);
}

TEST(InspectCli, RenderSizeDrawsTheBitmapAtThatSize)
{
    OutDir dir;
    for (const int size : {16, 1024}) {
        const std::string out = dir.file("sized-" + std::to_string(size) + ".png");
        EXPECT_EQ(inspect({"render", DejaVuSans, "36", "-o", out, "--size", std::to_string(size)}).status, 0);
        EXPECT_EQ(QImage(QString::fromStdString(out), "PNG").size(), QSize(size, size));
    }
    const std::string svg = dir.file("sized.svg");
    EXPECT_EQ(inspect({"render", DejaVuSans, "36", "-o", svg, "--size", "1024"}).status, 0);
    EXPECT_NE(slurp(svg).find("viewBox=\"0 0 353 353\""), std::string::npos) << "SVG keeps its page";
}

TEST(InspectCli, RenderAllWritesOnePictureForEachEntryOfThePickList)
{
    ttf::FontSpec design = ttf::squaresFont(7);
    design.glyphs[2] = ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 101, 201}); // not in the pick list
    const ttf::TempFontFile font(ttf::buildFont(design));
    const std::vector<int> list = ints(parse(inspect({"load", font.path()}).out).object()["glyph_list"]);
    ASSERT_EQ(list.size(), 6u);

    OutDir dir;
    const std::string folder = dir.file("made/for/pictures");
    const ToolRun run = inspect({"render", font.path(), "--all", "-o", folder, "--format", "png"});
    EXPECT_EQ(run.status, 0) << run.err;
    const QJsonObject doc = parse(run.out).object();
    EXPECT_EQ(doc["written"].toInt(), 6);
    EXPECT_EQ(doc["folder"].toString().toStdString(), folder);
    EXPECT_TRUE(doc["messages"].toArray().isEmpty());
    EXPECT_NE(run.err.find("6 of 6"), std::string::npos) << run.err;

    std::vector<std::string> expected, written;
    for (int g : list) {
        char name[32];
        std::snprintf(name, sizeof name, "glyph-%05d.png", g);
        expected.push_back(name);
    }
    for (const auto& e : fs::directory_iterator(folder)) {
        written.push_back(e.path().filename().string());
        EXPECT_EQ(QImage(QString::fromStdString(e.path().string()), "PNG").size(), QSize(353, 353));
    }
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);
}

// ---- faces and containers ------------------------------------------------------------

namespace {

TEST(InspectCli, EveryFaceOfACollectionOpensWithFace)
{
    for (int face = 0; face < 2; ++face) {
        FreeTypeFace ft(WQY_MICROHEI_TTC, face);
        ASSERT_NE(ft.get(), nullptr);
        const ToolRun run = inspect({"load", WQY_MICROHEI_TTC, "--face", std::to_string(face)});
        ASSERT_EQ(run.status, 0) << run.err;
        const QJsonObject load = parse(run.out).object();
        EXPECT_EQ(load["face_name"].toString().toStdString(), ft.get()->family_name);
        EXPECT_EQ(load["glyph_count"].toString().toStdString(), blankSigned(ft.get()->num_glyphs));
        EXPECT_EQ(load["faces"].toInt(), 2);
        EXPECT_EQ(load["face"].toInt(), face);
        EXPECT_EQ(keyOrder(run.out, {"messages", "faces", "face"}), (std::vector<std::string>{"messages", "faces", "face"}));
    }
    const QJsonObject single = parse(inspect({"load", DejaVuSans}).out).object();
    EXPECT_EQ(single["faces"].toInt(), 1);
    EXPECT_EQ(single["face"].toInt(), 0);
    // --face before the font works as well as after it: glyph 36 of face 1 against FreeType.
    const ToolRun outline = inspect({"outline", "--face", "1", WQY_MICROHEI_TTC, "36"});
    ASSERT_EQ(outline.status, 0) << outline.err;
    FreeTypeFace ft(WQY_MICROHEI_TTC, 1);
    ASSERT_EQ(FT_Load_Glyph(ft.get(), 36, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    const QJsonArray contours = parse(outline.out).array()[0].toObject()["contours"].toArray();
    int points = 0;
    for (const QJsonValue& contour : contours)
        points += int(contour.toArray().size());
    EXPECT_EQ(contours.size(), ft.get()->glyph->outline.n_contours);
    EXPECT_EQ(points, ft.get()->glyph->outline.n_points);
}

TEST(InspectCli, AFaceNotInTheFileOrABrokenContainerIsStatus2)
{
    ttf::ByteVector woff = ttf::woff(ttf::buildFont(ttf::squaresFont(3)));
    ttf::putU32(woff, 16, 0xFFFFFFFF); // totalSfntSize
    ttf::TempFontFile broken(woff, ".woff");
    const std::vector<std::vector<std::string>> cases = {
        {"load", WQY_MICROHEI_TTC, "--face", "2"},
        {"load", DejaVuSans, "--face", "1"},
        {"map", "--face", "2", WQY_MICROHEI_TTC, "65"},
        {"glyph", WQY_MICROHEI_TTC, "36", "--face", "2"},
        {"outline", WQY_MICROHEI_TTC, "36", "--face", "9"},
        {"names", WQY_MICROHEI_TTC, "--face", "2"},
        {"find", WQY_MICROHEI_TTC, "A", "--face", "2"},
        {"render", WQY_MICROHEI_TTC, "36", "-o", "unused.png", "--face", "2"},
        {"load", WQY_MICROHEI_TTC, "--face"},
        {"load", WQY_MICROHEI_TTC, "--face", "-1"},
        {"load", WQY_MICROHEI_TTC, "--face", "one"},
        {"load", broken.path()},
    };
    for (const auto& args : cases) {
        const ToolRun run = inspect(args);
        EXPECT_EQ(run.status, 2) << args[0] << ' ' << args.back();
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err, "");
    }
    EXPECT_NE(inspect({"load", broken.path()}).err.find("a WOFF file that could not be decoded: it would expand to"),
              std::string::npos);
    EXPECT_FALSE(fs::exists("unused.png"));
}

} // namespace
