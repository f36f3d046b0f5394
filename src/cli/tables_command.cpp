#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/common.h"
#include "report/json.h"
#include "platform/shaping.h"
#include "tables/details.h"
#include "tables/names.h"

namespace {

std::string hex32(std::uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", v);
    return text;
}

template <class Item, class ToJson>
std::string arrayOf(const std::vector<Item>& items, ToJson toJson, const char* separator = ",\n    ")
{
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i)
        out += (i ? separator : "") + toJson(items[i]);
    return out + "]";
}

std::string directoryJson(const std::vector<TableCheck>& tables)
{
    return arrayOf(tables, [](const TableCheck& t) {
        return JsonObject()
            .add("tag", jsonString(std::string(t.entry.Tag.begin(), t.entry.Tag.end())))
            .add("offset", std::to_string(t.entry.Offset))
            .add("length", std::to_string(t.entry.Length))
            .add("checksum", jsonString(hex32(t.entry.CheckSum)))
            .add("computed", jsonString(hex32(t.computed)))
            .add("ok", t.ok() ? "true" : "false")
            .str();
    });
}

// A table's fields as an object; null for a table the font does not have.
std::string fieldsJson(const TableFields& table)
{
    if (!table.present)
        return "null";
    JsonObject out;
    for (const TableField& f : table.fields)
        out.add(f.name, f.isText ? jsonString(f.value) : f.value);
    return out.str();
}

std::string cmapJson(const std::vector<CmapSubtable>& subtables)
{
    return arrayOf(subtables, [](const CmapSubtable& s) {
        std::vector<std::string> users;
        if (s.usedByLists)
            users.push_back("lists");
        if (s.usedByFind)
            users.push_back("find");
        return JsonObject()
            .add("platform", s.platformID)
            .add("encoding", s.encodingID)
            .add("format", s.format)
            .add("length", std::to_string(s.length))
            .add("used_by", jsonArray(users))
            .str();
    });
}

std::string layoutJson(const LayoutTable& table)
{
    return JsonObject().add("scripts", jsonArray(table.scripts)).add("features", jsonArray(table.features)).str();
}

std::string axesJson(const LayoutSummary& layout)
{
    return arrayOf(layout.axes, [](const VariationAxis& a) {
        return JsonObject()
            .add("tag", jsonString(a.tag))
            .add("name", jsonString(a.name))
            .add("min", jsonNumber(a.min))
            .add("default", jsonNumber(a.defaultValue))
            .add("max", jsonNumber(a.max))
            .add("hidden", a.hidden ? "true" : "false")
            .str();
    });
}

std::string instancesJson(const LayoutSummary& layout)
{
    return arrayOf(layout.instances, [&](const NamedInstance& instance) {
        JsonObject coordinates;
        for (std::size_t k = 0; k < instance.coordinates.size() && k < layout.axes.size(); ++k)
            coordinates.add(layout.axes[k].tag, jsonNumber(instance.coordinates[k]));
        return JsonObject().add("name", jsonString(instance.name)).add("coordinates", coordinates.str()).str();
    });
}

std::string namesJson(const FontState& font, const NameTable& table)
{
    std::vector<std::size_t> indexes(table.Records.size());
    for (std::size_t k = 0; k < indexes.size(); ++k)
        indexes[k] = k;
    return arrayOf(indexes, [&](std::size_t k) {
        const NameRecord& r = table.Records[k];
        return JsonObject()
            .add("platform", r.platformID)
            .add("encoding", r.encodingID)
            .add("language", r.languageID)
            .add("name_id", r.nameID)
            .add("meaning", jsonString(NameIdMeaning(r.nameID)))
            .add("text", jsonString(NameText(font, table, k)))
            .str();
    });
}

} // namespace

int runTables(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usageError("tables takes one font file");
    CollectedMessages messages;
    OpenedFont opened;
    if (const std::optional<int> status = openLoaded(args[0], false, messages, opened))
        return *status;
    const FontState& font = opened.font;
    const FontDetails details = ReadFontDetails(font);
    const LayoutSummary layout = ReadLayoutSummary(font.FontBytes, font.Face);
    // A font without a naming table has no names here, and no box.
    NameTable names;
    ReadNameTable(font, names);

    printJson(JsonObject()
                  .add("tables", directoryJson(details.tables))
                  .add("head", fieldsJson(details.head))
                  .add("hhea", fieldsJson(details.hhea))
                  .add("maxp", fieldsJson(details.maxp))
                  .add("os2", fieldsJson(details.os2))
                  .add("post", fieldsJson(details.post))
                  .add("cmap", cmapJson(details.cmap))
                  .add("gsub", layoutJson(layout.gsub))
                  .add("gpos", layoutJson(layout.gpos))
                  .add("axes", axesJson(layout))
                  .add("instances", instancesJson(layout))
                  .add("names", namesJson(font, names))
                  .add("messages", jsonArray(messages.texts))
                  .str(true));
    return 0;
}
