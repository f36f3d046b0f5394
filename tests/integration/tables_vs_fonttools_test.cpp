// lumaro-inspect tables against fontTools' reading of the same DejaVu files:
// the directory's stored checksums, the checksums computed over the tables'
// bytes, the header tables' fields and the cmap subtables.
#include <cmath>
#include <string>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include "support/command_output.h"
#include "support/freetype_face.h"

namespace {

// For each table: [stored checksum, checksum of the bytes (head's adjustment
// as 0), offset, length]; the numeric fields of head, hhea, maxp, OS/2 and
// post by fontTools' names; the cmap subtables.
const char* const FontToolsScript = R"(
import json, sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.sfnt import calcChecksum
f = TTFont(sys.argv[1])
out = {"tables": {}, "fields": {}, "cmap": []}
for tag, entry in f.reader.tables.items():
    data = f.reader[tag]
    if tag == "head":
        data = data[:8] + b"\0\0\0\0" + data[12:]
    out["tables"][tag] = [entry.checkSum, calcChecksum(data), entry.offset, entry.length]
for tag in ["head", "hhea", "maxp", "OS/2", "post"]:
    if tag in f:
        out["fields"][tag] = {k: v for k, v in vars(f[tag]).items() if isinstance(v, (int, float)) and not isinstance(v, bool)}
for t in f["cmap"].tables:
    out["cmap"].append([t.platformID, t.platEncID, t.format, getattr(t, "length", -1)])
print(json.dumps(out))
)";

QJsonObject fontTools(const std::string& path)
{
    const CommandOutput run = runCommand(shellQuoted(PYTHON3) + " -c " + shellQuoted(FontToolsScript) + " " + shellQuoted(path));
    EXPECT_EQ(run.status, 0);
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

unsigned hexValue(const QJsonValue& v) { return unsigned(std::stoul(v.toString().toStdString(), nullptr, 16)); }

// fontTools' name of a field where it differs from the format's.
QString fontToolsName(const QString& table, const QString& field)
{
    if (field == "checksumAdjustment")
        return "checkSumAdjustment";
    if ((table == "hhea" && (field == "ascender" || field == "descender")))
        return field == "ascender" ? "ascent" : "descent";
    if (table == "hhea" && field.startsWith("reserved"))
        return "reserved" + QString::number(field.mid(8).toInt() - 1);
    if (table == "post" && field == "version")
        return "formatType";
    if (table == "maxp" && field == "version")
        return "tableVersion";
    return field;
}

TEST(TablesVsFontTools, DejaVuChecksumsFieldsAndSubtables)
{
    int fontsCompared = 0;
    for (const std::string& path : dejavuFontPaths()) {
        SCOPED_TRACE(path);
        int status = -1;
        const QJsonObject ours = inspectObject({"tables", path}, &status);
        ASSERT_EQ(status, 0);
        const QJsonObject ref = fontTools(path);
        const QJsonObject refTables = ref["tables"].toObject();

        const QJsonArray tables = ours["tables"].toArray();
        ASSERT_EQ(tables.size(), refTables.size());
        for (const QJsonValue& v : tables) {
            const QJsonObject t = v.toObject();
            const QJsonArray r = refTables[t["tag"].toString()].toArray();
            ASSERT_EQ(r.size(), 4) << t["tag"].toString().toStdString();
            EXPECT_EQ(hexValue(t["checksum"]), unsigned(r[0].toDouble()));
            EXPECT_EQ(hexValue(t["computed"]), unsigned(r[1].toDouble()));
            EXPECT_EQ(t["ok"].toBool(), r[0].toDouble() == r[1].toDouble());
            EXPECT_EQ(t["offset"].toDouble(), r[2].toDouble());
            EXPECT_EQ(t["length"].toDouble(), r[3].toDouble());
        }

        int fields = 0;
        const QJsonObject refFields = ref["fields"].toObject();
        for (const auto& [ourTable, refTable] : {std::pair{"head", "head"}, {"hhea", "hhea"}, {"maxp", "maxp"},
                                                 {"os2", "OS/2"}, {"post", "post"}}) {
            const QJsonObject mine = ours[ourTable].toObject(), theirs = refFields[refTable].toObject();
            for (auto it = mine.begin(); it != mine.end(); ++it) {
                const QString name = fontToolsName(ourTable, it.key());
                if (!it.value().isDouble() || !theirs.contains(name))
                    continue;
                // fontTools keeps maxp's version as its 16.16 bits.
                const double scale = name == "tableVersion" ? 65536 : 1;
                EXPECT_NEAR(it.value().toDouble() * scale, theirs[name].toDouble(), 1e-4) << ourTable << "." << it.key().toStdString();
                ++fields;
            }
        }
        EXPECT_GE(fields, 80);

        const QJsonArray cmap = ours["cmap"].toArray(), refCmap = ref["cmap"].toArray();
        ASSERT_EQ(cmap.size(), refCmap.size());
        for (qsizetype i = 0; i < cmap.size(); ++i) {
            const QJsonObject s = cmap[i].toObject();
            const QJsonArray r = refCmap[i].toArray();
            EXPECT_EQ(s["platform"].toInt(), r[0].toInt());
            EXPECT_EQ(s["encoding"].toInt(), r[1].toInt());
            EXPECT_EQ(s["format"].toInt(), r[2].toInt());
            if (r[3].toInt() >= 0) {
                EXPECT_EQ(s["length"].toDouble(), r[3].toDouble());
            }
        }
        ++fontsCompared;
    }
    EXPECT_GE(fontsCompared, 10);
}

} // namespace
