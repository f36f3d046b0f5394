// lumaro-inspect names against FreeType's reading of the same naming tables.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H
#include <gtest/gtest.h>

#include "support/freetype_face.h"
#include <sys/wait.h>

#include "support/ttf_builder.h"

namespace fs = std::filesystem;

namespace {

struct Names {
    int status = -1;
    QJsonObject doc;
};

// Runs `lumaro-inspect names path` and reads its JSON back.
Names inspectNames(const std::string& path)
{
    Names out;
    const std::string command = std::string("'") + LUMARO_INSPECT + "' names '" + path + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    QByteArray text;
    char buf[65536];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        text.append(buf, qsizetype(n));
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    out.doc = QJsonDocument::fromJson(text).object();
    return out;
}

// A record's bytes as the dialog shows them: UTF-16BE for the Unicode
// encodings, Mac Roman for Macintosh Roman, otherwise every byte one
// Windows-1252 character; NULs dropped.
QString decoded(const FT_SfntName& name)
{
    QByteArray bytes(reinterpret_cast<const char*>(name.string), qsizetype(name.string_len));
    const int p = name.platform_id, e = name.encoding_id;
    const bool utf16 = p == TT_PLATFORM_APPLE_UNICODE || (p == TT_PLATFORM_ISO && e == TT_ISO_ID_10646)
        || (p == TT_PLATFORM_MICROSOFT && (e == TT_MS_ID_SYMBOL_CS || e == TT_MS_ID_UNICODE_CS || e == TT_MS_ID_UCS_4));
    if (utf16) {
        QStringDecoder utf16be(QStringDecoder::Utf16BE);
        return QString(utf16be(bytes)).remove(QChar(0));
    }
    bytes.removeIf([](char c) { return c == 0; });
    const bool macRoman = p == TT_PLATFORM_MACINTOSH && e == TT_MAC_ID_ROMAN;
    QStringDecoder decoder(macRoman ? "macintosh" : "windows-1252");
    EXPECT_TRUE(decoder.isValid());
    return decoder(bytes);
}

const char* platformText(int platformID)
{
    switch (platformID) {
    case TT_PLATFORM_APPLE_UNICODE: return "  Unicode; ";
    case TT_PLATFORM_MACINTOSH: return "  Macintosh; ";
    case TT_PLATFORM_ISO: return "  ISO; ";
    case TT_PLATFORM_MICROSOFT: return "  Microsoft; ";
    default: return "  unknown";
    }
}

} // namespace

TEST(NamesVsFreeType, EveryDejaVuRecordIsListedWithFreeTypesText)
{
    FT_Library ft;
    ASSERT_EQ(FT_Init_FreeType(&ft), 0);
    const std::vector<std::string> fonts = dejavuFontPaths();
    ASSERT_FALSE(fonts.empty());
    int platform3Texts = 0, macintoshTexts = 0;

    for (const std::string& path : fonts) {
        SCOPED_TRACE(path);
        FT_Face face;
        ASSERT_EQ(FT_New_Face(ft, path.c_str(), 0, &face), 0);
        const int count = int(FT_Get_Sfnt_Name_Count(face));
        const Names names = inspectNames(path);
        ASSERT_EQ(names.status, 0);
        const QJsonArray lines = names.doc["lines"].toArray();
        const QJsonArray texts = names.doc["texts"].toArray();
        EXPECT_TRUE(names.doc["messages"].toArray().isEmpty());
        ASSERT_GT(count, 0);
        ASSERT_EQ(lines.size(), count);
        ASSERT_EQ(texts.size(), count);

        const int width = int(std::to_string(count).size());
        for (int i = 0; i < count; ++i) {
            FT_SfntName name;
            ASSERT_EQ(FT_Get_Sfnt_Name(face, FT_UInt(i), &name), 0);
            const QString line = lines[i].toString();
            QString number = QString::number(i + 1);
            number = QString(width - number.size(), ' ') + number;
            EXPECT_TRUE(line.startsWith(number + platformText(name.platform_id))) << line.toStdString();
            if (name.name_id > 14) {
                EXPECT_TRUE(line.endsWith(QString("; Name ID %1").arg(name.name_id))) << line.toStdString();
            }
            EXPECT_EQ(texts[i].toString(), decoded(name)) << "record " << i + 1;
            platform3Texts += name.platform_id == TT_PLATFORM_MICROSOFT;
            macintoshTexts += name.platform_id == TT_PLATFORM_MACINTOSH;
        }
        FT_Done_Face(face);
    }
    FT_Done_FreeType(ft);
    EXPECT_GT(platform3Texts, 0);
    EXPECT_GT(macintoshTexts, 0);
}

TEST(NamesCommand, ExitStatusAndMessages)
{
    // A font without a naming table: the two boxes of "Info...", no lines.
    ttf::TempFontFile noNames(ttf::buildFont(ttf::squaresFont(5)));
    const Names missing = inspectNames(noNames.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.doc["lines"].toArray().isEmpty());
    EXPECT_TRUE(missing.doc["texts"].toArray().isEmpty());
    const QJsonArray messages = missing.doc["messages"].toArray();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0].toString(), "Not found: name");
    EXPECT_TRUE(messages[1].toString().startsWith("Error!\r\nCode = 14\r\n"));

    // Texts are UTF-8 JSON strings, the record order is kept.
    ttf::FontSpec design = ttf::squaresFont(5);
    design.names = {{3, 1, 1033, 1, ttf::utf16be(u"Caf\u00E9")}, {1, 0, 0, 256, ttf::latin1("\x80")}};
    ttf::TempFontFile named(ttf::buildFont(design));
    const Names r = inspectNames(named.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.doc["lines"].toArray(), QJsonArray({"1  Microsoft; English - United States; Font Family name",
                                                     "2  Macintosh; English; Name ID 256"}));
    EXPECT_EQ(r.doc["texts"].toArray(), QJsonArray({QString::fromUtf8("Caf\u00E9"), QString::fromUtf8("\u00C4")})); // Mac Roman
    EXPECT_TRUE(r.doc["messages"].toArray().isEmpty());

    // A file that cannot be read at all: status 2, nothing on standard output.
    const Names unreadable = inspectNames((fs::temp_directory_path() / "lumaro-no-such-font.ttf").string());
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_TRUE(unreadable.doc.isEmpty());
}
