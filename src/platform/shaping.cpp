#include "platform/shaping.h"

#include <algorithm>
#include <cmath>

#include <hb-ot.h>
#include <hb.h>

namespace {

// A HarfBuzz face and font over borrowed bytes, destroyed together.
class HbFont {
public:
    HbFont(std::span<const std::uint8_t> bytes, int faceIndex)
    {
        hb_blob_t* blob = hb_blob_create(reinterpret_cast<const char*>(bytes.data()), unsigned(bytes.size()),
                                         HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        face_ = hb_face_create(blob, unsigned(faceIndex));
        hb_blob_destroy(blob);
        font_ = hb_font_create(face_);
        const int upem = int(hb_face_get_upem(face_));
        hb_font_set_scale(font_, upem, upem);
    }
    ~HbFont()
    {
        hb_font_destroy(font_);
        hb_face_destroy(face_);
    }
    HbFont(const HbFont&) = delete;
    HbFont& operator=(const HbFont&) = delete;
    hb_face_t* face() const { return face_; }
    hb_font_t* font() const { return font_; }
    // A face HarfBuzz could not read has no glyphs.
    bool usable() const { return hb_face_get_glyph_count(face_) > 0; }

private:
    hb_face_t* face_ = nullptr;
    hb_font_t* font_ = nullptr;
};

std::string tagText(hb_tag_t tag)
{
    char text[4];
    hb_tag_to_string(tag, text);
    return std::string(text, 4);
}

LayoutTable readLayoutTable(hb_face_t* face, hb_tag_t table)
{
    LayoutTable out;
    hb_tag_t tags[64];
    for (unsigned start = 0;;) {
        unsigned count = std::size(tags);
        hb_ot_layout_table_get_script_tags(face, table, start, &count, tags);
        for (unsigned i = 0; i < count; ++i)
            out.scripts.push_back(tagText(tags[i]));
        if (count < std::size(tags))
            break;
        start += count;
    }
    for (unsigned start = 0;;) {
        unsigned count = std::size(tags);
        hb_ot_layout_table_get_feature_tags(face, table, start, &count, tags);
        for (unsigned i = 0; i < count; ++i)
            if (std::find(out.features.begin(), out.features.end(), tagText(tags[i])) == out.features.end())
                out.features.push_back(tagText(tags[i]));
        if (count < std::size(tags))
            break;
        start += count;
    }
    return out;
}

std::string nameText(hb_face_t* face, hb_ot_name_id_t id)
{
    unsigned size = hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, nullptr, nullptr) + 1;
    std::vector<char> buffer(size);
    hb_ot_name_get_utf8(face, id, HB_LANGUAGE_INVALID, &size, buffer.data());
    return std::string(buffer.data(), size);
}

} // namespace

std::optional<std::vector<std::string>> SplitFeatures(std::string_view features)
{
    std::vector<std::string> out;
    while (!features.empty()) {
        const std::size_t comma = features.find(',');
        const std::string item(features.substr(0, comma));
        hb_feature_t feature;
        if (!hb_feature_from_string(item.c_str(), int(item.size()), &feature))
            return std::nullopt;
        out.push_back(item);
        features = comma == std::string_view::npos ? std::string_view() : features.substr(comma + 1);
    }
    return out;
}

std::optional<std::vector<ShapedGlyph>> ShapeText(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                                  const Location& location, std::string_view text,
                                                  const std::vector<std::string>& features)
{
    const HbFont hb(fontBytes, faceIndex);
    if (!hb.usable())
        return std::nullopt;
    std::vector<hb_feature_t> parsed(features.size());
    for (std::size_t i = 0; i < features.size(); ++i)
        if (!hb_feature_from_string(features[i].c_str(), int(features[i].size()), &parsed[i]))
            return std::nullopt;
    if (!location.normalized.empty()) {
        std::vector<int> coords; // 2.14
        for (double v : location.normalized)
            coords.push_back(int(std::lround(std::clamp(v, -1.0, 1.0) * 16384.0)));
        hb_font_set_var_coords_normalized(hb.font(), coords.data(), unsigned(coords.size()));
    }

    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), int(text.size()), 0, int(text.size()));
    // Clusters count characters as hb-shape's do, not UTF-8 bytes: each
    // character decoded (a bad byte is one U+FFFD) is its own cluster first.
    unsigned characters = 0;
    hb_glyph_info_t* decoded = hb_buffer_get_glyph_infos(buffer, &characters);
    for (unsigned i = 0; i < characters; ++i)
        decoded[i].cluster = i;
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(hb.font(), buffer, parsed.data(), unsigned(parsed.size()));

    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    std::vector<ShapedGlyph> out;
    for (unsigned i = 0; i < count; ++i)
        out.push_back({int(info[i].codepoint), int(info[i].cluster), pos[i].x_advance, pos[i].y_advance,
                       pos[i].x_offset, pos[i].y_offset});
    hb_buffer_destroy(buffer);
    return out;
}

LayoutSummary ReadLayoutSummary(std::span<const std::uint8_t> fontBytes, int faceIndex)
{
    const HbFont hb(fontBytes, faceIndex);
    LayoutSummary out;
    out.gsub = readLayoutTable(hb.face(), HB_OT_TAG_GSUB);
    out.gpos = readLayoutTable(hb.face(), HB_OT_TAG_GPOS);

    const unsigned axisCount = hb_ot_var_get_axis_count(hb.face());
    std::vector<hb_ot_var_axis_info_t> axes(axisCount);
    unsigned count = axisCount;
    hb_ot_var_get_axis_infos(hb.face(), 0, &count, axes.data());
    for (unsigned i = 0; i < count; ++i)
        out.axes.push_back({tagText(axes[i].tag), nameText(hb.face(), axes[i].name_id), axes[i].min_value,
                            axes[i].default_value, axes[i].max_value, (axes[i].flags & HB_OT_VAR_AXIS_FLAG_HIDDEN) != 0});

    const unsigned instanceCount = hb_ot_var_get_named_instance_count(hb.face());
    for (unsigned k = 0; k < instanceCount; ++k) {
        std::vector<float> coords(count);
        unsigned n = count;
        hb_ot_var_named_instance_get_design_coords(hb.face(), k, &n, coords.data());
        NamedInstance instance{nameText(hb.face(), hb_ot_var_named_instance_get_subfamily_name_id(hb.face(), k)), {}};
        instance.coordinates.assign(coords.begin(), coords.begin() + std::min(n, count));
        out.instances.push_back(instance);
    }
    return out;
}
