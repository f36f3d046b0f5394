#include "platform/shaping.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include <hb-ot.h>
#include <hb.h>
#include <unicode/ubidi.h>
#include <unicode/utf16.h>

namespace {

// A HarfBuzz face and font over borrowed bytes, destroyed together.
class HbFont {
public:
    HbFont(std::span<const std::uint8_t> bytes, int faceIndex)
    {
        hb_blob_t* blob = hb_blob_create(reinterpret_cast<const char*>(bytes.data()), unsigned(bytes.size()),
                                         HB_MEMORY_MODE_READONLY, nullptr, nullptr);
        face_ = hb_face_create(blob, unsigned(faceIndex));
        // HarfBuzz reads any face number of a single font as its one face.
        faceFound_ = faceIndex >= 0 && unsigned(faceIndex) < hb_face_count(blob);
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
    bool usable() const { return faceFound_ && hb_face_get_glyph_count(face_) > 0; }

private:
    bool faceFound_ = false;
    hb_face_t* face_ = nullptr;
    hb_font_t* font_ = nullptr;
};

std::string tagText(hb_tag_t tag)
{
    char text[4];
    hb_tag_to_string(tag, text);
    return std::string(text, 4);
}

// The tags a HarfBuzz list call gives, page by page.
template <typename List>
std::vector<hb_tag_t> allTags(List list)
{
    std::vector<hb_tag_t> out;
    hb_tag_t page[64];
    for (unsigned start = 0;;) {
        unsigned count = std::size(page);
        list(start, &count, page);
        out.insert(out.end(), page, page + count);
        if (count < std::size(page))
            return out;
        start += count;
    }
}

std::vector<hb_tag_t> scriptTags(hb_face_t* face, hb_tag_t table)
{
    return allTags([&](unsigned start, unsigned* count, hb_tag_t* tags) {
        hb_ot_layout_table_get_script_tags(face, table, start, count, tags);
    });
}

// In the feature list's order: index k is feature k of the table.
std::vector<hb_tag_t> featureTags(hb_face_t* face, hb_tag_t table)
{
    return allTags([&](unsigned start, unsigned* count, hb_tag_t* tags) {
        hb_ot_layout_table_get_feature_tags(face, table, start, count, tags);
    });
}

LayoutTable readLayoutTable(hb_face_t* face, hb_tag_t table)
{
    LayoutTable out;
    for (hb_tag_t tag : scriptTags(face, table))
        out.scripts.push_back(tagText(tag));
    for (hb_tag_t tag : featureTags(face, table))
        if (std::find(out.features.begin(), out.features.end(), tagText(tag)) == out.features.end())
            out.features.push_back(tagText(tag));
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

namespace {

hb_direction_t hbDirection(TextDirection d)
{
    switch (d) {
    case TextDirection::LeftToRight: return HB_DIRECTION_LTR;
    case TextDirection::RightToLeft: return HB_DIRECTION_RTL;
    case TextDirection::TopToBottom: return HB_DIRECTION_TTB;
    case TextDirection::BottomToTop: return HB_DIRECTION_BTT;
    case TextDirection::Auto: break;
    }
    return HB_DIRECTION_INVALID;
}

TextDirection textDirection(hb_direction_t d)
{
    switch (d) {
    case HB_DIRECTION_RTL: return TextDirection::RightToLeft;
    case HB_DIRECTION_TTB: return TextDirection::TopToBottom;
    case HB_DIRECTION_BTT: return TextDirection::BottomToTop;
    default: return TextDirection::LeftToRight;
    }
}

bool isAsciiLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The text's characters as HarfBuzz decodes UTF-8 (a bad byte is one U+FFFD),
// so that indices into them are the clusters hb-shape gives.
std::vector<hb_codepoint_t> decodeText(std::string_view text)
{
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_utf8(buffer, text.data(), int(text.size()), 0, int(text.size()));
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    std::vector<hb_codepoint_t> out;
    out.reserve(count);
    for (unsigned i = 0; i < count; ++i)
        out.push_back(info[i].codepoint);
    hb_buffer_destroy(buffer);
    return out;
}

void setLocation(hb_font_t* font, const Location& location)
{
    if (location.normalized.empty())
        return;
    std::vector<int> coords; // 2.14
    for (double v : location.normalized)
        coords.push_back(int(std::lround(std::clamp(v, -1.0, 1.0) * 16384.0)));
    hb_font_set_var_coords_normalized(font, coords.data(), unsigned(coords.size()));
}

// The lookup a message names ("start lookup 3 feature 'ccmp'", "skipped
// lookup 4 feature 'ccmp' because ..."), and its feature tag.
void parseLookup(TraceStep& step)
{
    const std::size_t at = step.message.find("lookup ");
    if (at == std::string::npos)
        return;
    const char* p = step.message.c_str() + at + 7;
    if (*p < '0' || *p > '9')
        return;
    char* end = nullptr;
    const long index = std::strtol(p, &end, 10);
    if (index > 65535)
        return;
    step.lookup = int(index);
    const std::string_view rest(end);
    if (rest.size() >= 15 && rest.substr(0, 10) == " feature '" && rest[14] == '\'')
        step.feature = std::string(rest.substr(10, 4));
}

// Records HarfBuzz's buffer messages as trace steps, up to the caps.
struct TraceRecorder {
    const TraceSink* sink = nullptr;
    hb_font_t* font = nullptr;
    long messages = 0, entries = 0;
    bool cut = false;
    bool inGpos = false;

    static hb_bool_t message(hb_buffer_t* buffer, hb_font_t*, const char* text, void* data)
    {
        static_cast<TraceRecorder*>(data)->record(buffer, text);
        return true; // false would make HarfBuzz skip the step: the trace must not change the shaping
    }

    void record(hb_buffer_t* buffer, const char* text)
    {
        if (cut)
            return;
        unsigned count = 0;
        const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
        if (messages + 1 > MaxTraceMessages || entries + long(count) > MaxTraceEntries) {
            cut = true;
            return;
        }
        ++messages;
        entries += long(count);
        TraceStep step;
        step.message = text;
        if (step.message == "start table GPOS" || step.message == "start table GSUB")
            inGpos = step.message == "start table GPOS";
        parseLookup(step);
        step.gpos = step.lookup >= 0 && inGpos;
        step.characters = hb_buffer_get_content_type(buffer) == HB_BUFFER_CONTENT_TYPE_UNICODE;
        step.positioned = !step.characters && count > 0 && hasPositions(buffer);
        // Asking for positions before HarfBuzz has them would clear the
        // array GSUB is still using as its output buffer.
        const hb_glyph_position_t* pos = step.positioned ? hb_buffer_get_glyph_positions(buffer, nullptr) : nullptr;
        step.glyphs.reserve(count);
        for (unsigned i = 0; i < count; ++i) {
            ShapedGlyph g{int(info[i].codepoint), int(info[i].cluster)};
            if (pos)
                g = {g.glyph, g.cluster, pos[i].x_advance, pos[i].y_advance, pos[i].x_offset, pos[i].y_offset};
            step.glyphs.push_back(g);
        }
        (*sink)(step);
    }

    // HarfBuzz says whether the buffer has positions only through its
    // serializer, which leaves them out until they exist: "[36]" or "[36+1401]".
    bool hasPositions(hb_buffer_t* buffer) const
    {
        char text[64];
        unsigned consumed = 0;
        hb_buffer_serialize_glyphs(buffer, 0, 1, text, sizeof text, &consumed, font, HB_BUFFER_SERIALIZE_FORMAT_TEXT,
                                   hb_buffer_serialize_flags_t(HB_BUFFER_SERIALIZE_FLAG_NO_GLYPH_NAMES
                                                               | HB_BUFFER_SERIALIZE_FLAG_NO_CLUSTERS));
        return std::string_view(text, consumed).find('+') != std::string_view::npos;
    }
};

bool optionsValid(const ShapeOptions& options, std::vector<hb_feature_t>& features)
{
    features.resize(options.features.size());
    for (std::size_t i = 0; i < options.features.size(); ++i)
        if (!hb_feature_from_string(options.features[i].c_str(), int(options.features[i].size()), &features[i]))
            return false;
    return (options.script.empty() || ScriptTagValid(options.script))
        && (options.language.empty() || LanguageTagValid(options.language));
}

// Shapes characters [start, start + length) of the text, the rest its context;
// direction, when valid, overrides the options'.
ShapeResult shapeCharacters(const HbFont& hb, const std::vector<hb_codepoint_t>& text, int start, int length,
                            const ShapeOptions& options, const std::vector<hb_feature_t>& features,
                            hb_direction_t direction, const TraceSink* onStep, bool& traceCut)
{
    hb_buffer_t* buffer = hb_buffer_create();
    hb_buffer_add_codepoints(buffer, text.data(), int(text.size()), unsigned(start), length);
    if (!options.script.empty())
        hb_buffer_set_script(buffer, hb_script_from_string(options.script.c_str(), int(options.script.size())));
    if (!options.language.empty())
        hb_buffer_set_language(buffer, hb_language_from_string(options.language.c_str(), int(options.language.size())));
    hb_buffer_set_direction(buffer, direction != HB_DIRECTION_INVALID ? direction : hbDirection(options.direction));
    hb_buffer_guess_segment_properties(buffer);

    TraceRecorder recorder{onStep, hb.font()};
    if (onStep)
        hb_buffer_set_message_func(buffer, TraceRecorder::message, &recorder, nullptr);
    hb_shape(hb.font(), buffer, features.data(), unsigned(features.size()));
    hb_buffer_set_message_func(buffer, nullptr, nullptr, nullptr);
    traceCut = recorder.cut;

    ShapeResult out;
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i)
        out.glyphs.push_back({int(info[i].codepoint), int(info[i].cluster), pos[i].x_advance, pos[i].y_advance,
                              pos[i].x_offset, pos[i].y_offset});
    out.script = tagText(hb_script_to_iso15924_tag(hb_buffer_get_script(buffer)));
    const char* language = hb_language_to_string(hb_buffer_get_language(buffer));
    out.language = language ? language : "";
    out.direction = textDirection(hb_buffer_get_direction(buffer));
    hb_buffer_destroy(buffer);
    return out;
}

// The text's characters, or nothing when it is too long for HarfBuzz's counts.
std::optional<std::vector<hb_codepoint_t>> characters(std::string_view text)
{
    if (text.size() > std::size_t(std::numeric_limits<int>::max()))
        return std::nullopt;
    return decodeText(text);
}

} // namespace

bool ScriptTagValid(std::string_view tag)
{
    return tag.size() == 4 && std::all_of(tag.begin(), tag.end(), isAsciiLetter);
}

bool LanguageTagValid(std::string_view tag)
{
    bool first = true;
    for (;;) {
        const std::size_t hyphen = tag.find('-');
        const std::string_view part = tag.substr(0, hyphen);
        const auto allowed = [&](char c) { return isAsciiLetter(c) || (!first && c >= '0' && c <= '9'); };
        if (part.empty() || part.size() > 8 || !std::all_of(part.begin(), part.end(), allowed))
            return false;
        if (hyphen == std::string_view::npos)
            return true;
        tag.remove_prefix(hyphen + 1);
        first = false;
    }
}

std::optional<ShapeResult> Shape(std::span<const std::uint8_t> fontBytes, int faceIndex, const Location& location,
                                 std::string_view text, const ShapeOptions& options, const TraceSink& onStep)
{
    const HbFont hb(fontBytes, faceIndex);
    std::vector<hb_feature_t> features;
    const std::optional<std::vector<hb_codepoint_t>> chars = characters(text);
    if (!hb.usable() || !optionsValid(options, features) || !chars)
        return std::nullopt;
    setLocation(hb.font(), location);
    bool cut = false;
    ShapeResult out = shapeCharacters(hb, *chars, 0, int(chars->size()), options, features, HB_DIRECTION_INVALID,
                                      onStep ? &onStep : nullptr, cut);
    out.traceCut = cut;
    return out;
}

std::optional<ShapeResult> Shape(std::span<const std::uint8_t> fontBytes, int faceIndex, const Location& location,
                                 std::string_view text, const ShapeOptions& options, bool trace)
{
    std::vector<TraceStep> steps;
    const TraceSink keep = [&steps](const TraceStep& step) { steps.push_back(step); };
    std::optional<ShapeResult> out = Shape(fontBytes, faceIndex, location, text, options, trace ? keep : TraceSink());
    if (out)
        out->trace = std::move(steps);
    return out;
}

std::optional<std::vector<ShapedGlyph>> ShapeText(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                                  const Location& location, std::string_view text,
                                                  const std::vector<std::string>& features)
{
    ShapeOptions options;
    options.features = features;
    std::optional<ShapeResult> shaped = Shape(fontBytes, faceIndex, location, text, options);
    if (!shaped)
        return std::nullopt;
    return std::move(shaped->glyphs);
}

namespace {

// The visual runs of the text: ICU's bidi algorithm over it as UTF-16, runs
// mapped back to characters. Nothing when ICU fails.
std::optional<std::vector<ShapedRun>> bidiRuns(const std::vector<hb_codepoint_t>& text, TextDirection direction)
{
    std::vector<UChar> units;
    std::vector<int> characterOf; // per UTF-16 unit
    for (std::size_t i = 0; i < text.size(); ++i) {
        UChar pair[2];
        int n = 0;
        U16_APPEND_UNSAFE(pair, n, text[i]);
        units.insert(units.end(), pair, pair + n);
        characterOf.insert(characterOf.end(), std::size_t(n), int(i));
    }
    UErrorCode status = U_ZERO_ERROR;
    UBiDi* bidi = ubidi_openSized(int32_t(units.size()), 0, &status);
    const UBiDiLevel level = direction == TextDirection::LeftToRight   ? 0
                           : direction == TextDirection::RightToLeft ? 1
                                                                     : UBIDI_DEFAULT_LTR;
    ubidi_setPara(bidi, units.data(), int32_t(units.size()), level, nullptr, &status);
    const int32_t count = ubidi_countRuns(bidi, &status);
    std::vector<ShapedRun> runs;
    for (int32_t i = 0; U_SUCCESS(status) && i < count; ++i) {
        int32_t logicalStart = 0, length = 0;
        const UBiDiDirection d = ubidi_getVisualRun(bidi, i, &logicalStart, &length);
        const int first = characterOf[std::size_t(logicalStart)];
        const int last = characterOf[std::size_t(logicalStart + length - 1)];
        runs.push_back({first, last - first + 1, d == UBIDI_RTL, {}});
    }
    ubidi_close(bidi);
    if (U_FAILURE(status))
        return std::nullopt;
    return runs;
}

} // namespace

std::optional<std::vector<ShapedRun>> ShapeRuns(std::span<const std::uint8_t> fontBytes, int faceIndex,
                                                const Location& location, std::string_view text,
                                                const ShapeOptions& options)
{
    const HbFont hb(fontBytes, faceIndex);
    std::vector<hb_feature_t> features;
    const std::optional<std::vector<hb_codepoint_t>> chars = characters(text);
    if (!hb.usable() || !optionsValid(options, features) || !chars)
        return std::nullopt;
    setLocation(hb.font(), location);
    const bool vertical = options.direction == TextDirection::TopToBottom
                       || options.direction == TextDirection::BottomToTop;
    std::optional<std::vector<ShapedRun>> runs;
    if (vertical)
        runs = std::vector<ShapedRun>{{0, int(chars->size()), false, {}}};
    else
        runs = bidiRuns(*chars, options.direction);
    if (!runs)
        return std::nullopt;
    for (ShapedRun& run : *runs) {
        const hb_direction_t direction = vertical       ? hbDirection(options.direction)
                                       : run.rightToLeft ? HB_DIRECTION_RTL
                                                         : HB_DIRECTION_LTR;
        bool cut = false;
        run.glyphs = shapeCharacters(hb, *chars, run.start, run.length, options, features, direction, nullptr, cut).glyphs;
    }
    return runs;
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

namespace {

// The registered names of OpenType's layout features; cvXX and ssXX are named
// by number.
constexpr std::pair<const char*, const char*> RegisteredFeatures[] = {
    {"aalt", "Access All Alternates"}, {"abvf", "Above-base Forms"}, {"abvm", "Above-base Mark Positioning"},
    {"abvs", "Above-base Substitutions"}, {"afrc", "Alternative Fractions"}, {"akhn", "Akhand"},
    {"apkn", "Kerning for Alternate Proportional Widths"}, {"blwf", "Below-base Forms"},
    {"blwm", "Below-base Mark Positioning"}, {"blws", "Below-base Substitutions"}, {"c2pc", "Petite Capitals From Capitals"},
    {"c2sc", "Small Capitals From Capitals"}, {"calt", "Contextual Alternates"}, {"case", "Case-Sensitive Forms"},
    {"ccmp", "Glyph Composition / Decomposition"}, {"cfar", "Conjunct Form After Ro"},
    {"chws", "Contextual Half-width Spacing"}, {"cjct", "Conjunct Forms"}, {"clig", "Contextual Ligatures"},
    {"cpct", "Centered CJK Punctuation"}, {"cpsp", "Capital Spacing"}, {"cswh", "Contextual Swash"},
    {"curs", "Cursive Positioning"}, {"dist", "Distances"}, {"dlig", "Discretionary Ligatures"}, {"dnom", "Denominators"},
    {"dtls", "Dotless Forms"}, {"expt", "Expert Forms"}, {"falt", "Final Glyph on Line Alternates"},
    {"fin2", "Terminal Forms #2"}, {"fin3", "Terminal Forms #3"}, {"fina", "Terminal Forms"},
    {"flac", "Flattened Accent Forms"}, {"frac", "Fractions"}, {"fwid", "Full Widths"}, {"half", "Half Forms"},
    {"haln", "Halant Forms"}, {"halt", "Alternate Half Widths"}, {"hist", "Historical Forms"},
    {"hkna", "Horizontal Kana Alternates"}, {"hlig", "Historical Ligatures"}, {"hngl", "Hangul"},
    {"hojo", "Hojo Kanji Forms"}, {"hwid", "Half Widths"}, {"init", "Initial Forms"}, {"isol", "Isolated Forms"},
    {"ital", "Italics"}, {"jalt", "Justification Alternates"}, {"jp04", "JIS2004 Forms"}, {"jp78", "JIS78 Forms"},
    {"jp83", "JIS83 Forms"}, {"jp90", "JIS90 Forms"}, {"kern", "Kerning"}, {"lfbd", "Left Bounds"},
    {"liga", "Standard Ligatures"}, {"ljmo", "Leading Jamo Forms"}, {"lnum", "Lining Figures"},
    {"locl", "Localized Forms"}, {"ltra", "Left-to-right Alternates"}, {"ltrm", "Left-to-right Mirrored Forms"},
    {"mark", "Mark Positioning"}, {"med2", "Medial Forms #2"}, {"medi", "Medial Forms"},
    {"mgrk", "Mathematical Greek"}, {"mkmk", "Mark to Mark Positioning"}, {"mset", "Mark Positioning via Substitution"},
    {"nalt", "Alternate Annotation Forms"}, {"nlck", "NLC Kanji Forms"}, {"nukt", "Nukta Forms"},
    {"numr", "Numerators"}, {"onum", "Oldstyle Figures"}, {"opbd", "Optical Bounds"}, {"ordn", "Ordinals"},
    {"ornm", "Ornaments"}, {"palt", "Proportional Alternate Widths"}, {"pcap", "Petite Capitals"},
    {"pkna", "Proportional Kana"}, {"pnum", "Proportional Figures"}, {"pref", "Pre-base Forms"},
    {"pres", "Pre-base Substitutions"}, {"pstf", "Post-base Forms"}, {"psts", "Post-base Substitutions"},
    {"pwid", "Proportional Widths"}, {"qwid", "Quarter Widths"}, {"rand", "Randomize"},
    {"rclt", "Required Contextual Alternates"}, {"rkrf", "Rakar Forms"}, {"rlig", "Required Ligatures"},
    {"rphf", "Reph Form"}, {"rtbd", "Right Bounds"}, {"rtla", "Right-to-left Alternates"},
    {"rtlm", "Right-to-left Mirrored Forms"}, {"ruby", "Ruby Notation Forms"}, {"rvrn", "Required Variation Alternates"},
    {"salt", "Stylistic Alternates"}, {"sinf", "Scientific Inferiors"}, {"size", "Optical Size"},
    {"smcp", "Small Capitals"}, {"smpl", "Simplified Forms"}, {"ssty", "Math Script-style Alternates"},
    {"stch", "Stretching Glyph Decomposition"}, {"subs", "Subscript"}, {"sups", "Superscript"}, {"swsh", "Swash"},
    {"titl", "Titling"}, {"tjmo", "Trailing Jamo Forms"}, {"tnam", "Traditional Name Forms"},
    {"tnum", "Tabular Figures"}, {"trad", "Traditional Forms"}, {"twid", "Third Widths"}, {"unic", "Unicase"},
    {"valt", "Alternate Vertical Metrics"}, {"vatu", "Vattu Variants"},
    {"vchw", "Vertical Contextual Half-width Spacing"}, {"vert", "Vertical Writing"},
    {"vhal", "Alternate Vertical Half Metrics"}, {"vjmo", "Vowel Jamo Forms"}, {"vkna", "Vertical Kana Alternates"},
    {"vkrn", "Vertical Kerning"}, {"vpal", "Proportional Alternate Vertical Metrics"},
    {"vrt2", "Vertical Alternates and Rotation"}, {"vrtr", "Vertical Alternates for Rotation"},
    {"zero", "Slashed Zero"},
};

std::string registeredName(const std::string& tag)
{
    const bool numbered = tag.size() == 4 && tag[2] >= '0' && tag[2] <= '9' && tag[3] >= '0' && tag[3] <= '9';
    const int number = numbered ? (tag[2] - '0') * 10 + (tag[3] - '0') : 0;
    if (tag.starts_with("cv") && number >= 1)
        return "Character Variant " + std::to_string(number);
    if (tag.starts_with("ss") && number >= 1 && number <= 20)
        return "Stylistic Set " + std::to_string(number);
    for (const auto& [registered, name] : RegisteredFeatures)
        if (tag == registered)
            return name;
    return "";
}

// The feature's name for a reader: its UI name from the name table where the
// font gives one (character variants and stylistic sets), else the registered one.
std::string featureName(hb_face_t* face, hb_tag_t table, unsigned index, const std::string& tag)
{
    hb_ot_name_id_t label = HB_OT_NAME_ID_INVALID;
    if (hb_ot_layout_feature_get_name_ids(face, table, index, &label, nullptr, nullptr, nullptr, nullptr)
        && label != HB_OT_NAME_ID_INVALID) {
        const std::string name = nameText(face, label);
        if (!name.empty())
            return name;
    }
    return registeredName(tag);
}

std::string scriptCode(hb_tag_t tag)
{
    const hb_script_t script = hb_ot_tag_to_script(tag);
    return script == HB_SCRIPT_INVALID || script == HB_SCRIPT_UNKNOWN ? "" : tagText(hb_script_to_iso15924_tag(script));
}

void addLayoutTable(hb_face_t* face, hb_tag_t table, FontLayout& out)
{
    const std::vector<hb_tag_t> scripts = scriptTags(face, table);
    for (unsigned s = 0; s < scripts.size(); ++s) {
        const std::string tag = tagText(scripts[s]);
        auto script = std::find_if(out.scripts.begin(), out.scripts.end(), [&](const auto& k) { return k.tag == tag; });
        if (script == out.scripts.end())
            script = out.scripts.insert(out.scripts.end(), {tag, {}, scriptCode(scripts[s]), {}});
        for (hb_tag_t language : allTags([&](unsigned start, unsigned* count, hb_tag_t* tags) {
                 hb_ot_layout_script_get_language_tags(face, table, s, start, count, tags);
             }))
            if (std::find(script->languages.begin(), script->languages.end(), tagText(language)) == script->languages.end()) {
                script->languages.push_back(tagText(language));
                const char* code = hb_language_to_string(hb_ot_tag_to_language(language));
                script->languageCodes.push_back(code ? code : "");
            }
    }
    const std::vector<hb_tag_t> features = featureTags(face, table);
    for (unsigned f = 0; f < features.size(); ++f) {
        const std::string tag = tagText(features[f]);
        auto feature = std::find_if(out.features.begin(), out.features.end(), [&](const auto& k) { return k.tag == tag; });
        if (feature == out.features.end())
            feature = out.features.insert(out.features.end(), {tag, featureName(face, table, f, tag)});
        else if (feature->name.empty())
            feature->name = featureName(face, table, f, tag);
        (table == HB_OT_TAG_GPOS ? feature->gpos : feature->gsub) = true;
    }
}

bool hasTable(hb_face_t* face, hb_tag_t tag)
{
    hb_blob_t* blob = hb_face_reference_table(face, tag);
    const bool present = hb_blob_get_length(blob) > 0;
    hb_blob_destroy(blob);
    return present;
}

} // namespace

FontLayout ReadFontLayout(std::span<const std::uint8_t> fontBytes, int faceIndex)
{
    const HbFont hb(fontBytes, faceIndex);
    FontLayout out;
    if (!hb.usable())
        return out;
    addLayoutTable(hb.face(), HB_OT_TAG_GSUB, out);
    addLayoutTable(hb.face(), HB_OT_TAG_GPOS, out);
    out.verticalMetrics = hasTable(hb.face(), HB_TAG('v', 'h', 'e', 'a')) && hasTable(hb.face(), HB_TAG('v', 'm', 't', 'x'));
    return out;
}
