// The text view as a proofing tool: features, rows at other locations and
// fonts, the glyph list and the shaping trace, against HarfBuzz's own shaping
// of the same fonts.
#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QComboBox>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "platform/font_file.h"
#include "platform/shaping.h"
#include "platform/shell.h"
#include "support/quiet_toolkit.h"
#include "ui/main/frmmain.h"
#include "ui/text/glyph_list.h"
#include "ui/text/shaping_trace.h"
#include "ui/text/text_preview.h"
#include "ui/text/waterfall_canvas.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
const std::string DejaVuSansBold = std::string(DEJAVU_DIR) + "/DejaVuSans-Bold.ttf";
const std::string NotoDevanagari = std::string(NOTO_DIR) + "/NotoSansDevanagari-Regular.ttf";
const std::string NotoNaskh = std::string(NOTO_DIR) + "/NotoNaskhArabic-Regular.ttf";
const std::string Inter = INTER_VARIABLE_FONT;

std::shared_ptr<const FontState> openFont(const std::string& path)
{
    OpenedFont opened = OpenFontPath(path, false);
    EXPECT_TRUE(opened.font.Loaded) << path;
    return std::make_shared<const FontState>(std::move(opened.font));
}

std::vector<int> glyphNumbers(const std::vector<ShapedGlyph>& glyphs)
{
    std::vector<int> out;
    for (const ShapedGlyph& g : glyphs)
        out.push_back(g.glyph);
    return out;
}

int totalAdvance(const std::vector<ShapedGlyph>& glyphs)
{
    int sum = 0;
    for (const ShapedGlyph& g : glyphs)
        sum += g.xAdvance;
    return sum;
}

TEST(TextView, AFeatureToggledShapesAsHarfBuzzDoesWithIt)
{
    const struct {
        std::string font;
        const char* text;
        const char* feature;
        Qt::CheckState state;
        const char* harfBuzz;
    } cases[] = {
        {DejaVuSans, "fi", "liga", Qt::Unchecked, "-liga"},
        {Inter, "0", "zero", Qt::Checked, "+zero"},
        {std::string(NOTO_DIR) + "/NotoSans-Regular.ttf", "Office", "smcp", Qt::Checked, "+smcp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.feature);
        TextPreview view;
        const auto font = openFont(c.font);
        view.setFont(font, {});
        view.setText(QString::fromUtf8(c.text));
        const std::vector<ShapedGlyph> byDefault = view.rowGlyphs(0);
        auto* features = view.findChild<QTreeWidget*>("features");
        const auto found = features->findItems(c.feature, Qt::MatchExactly, 0);
        ASSERT_EQ(found.size(), 1);
        EXPECT_EQ(found[0]->checkState(0), Qt::PartiallyChecked); // the font's default at first
        found[0]->setCheckState(0, c.state);

        const auto expected = ShapeText(font->FontBytes, font->Face, {}, c.text, {c.harfBuzz});
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(glyphNumbers(view.rowGlyphs(0)), glyphNumbers(*expected));
        EXPECT_NE(glyphNumbers(view.rowGlyphs(0)), glyphNumbers(byDefault));
        // The glyph list follows: one tab-separated line per glyph, Copy puts it on the clipboard.
        const QStringList lines = view.glyphList()->tabSeparated().split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lines.size(), qsizetype(expected->size()));
        for (std::size_t i = 0; i < expected->size(); ++i)
            EXPECT_EQ(lines[qsizetype(i)].split('\t').value(0).toInt(), (*expected)[i].glyph);
        view.glyphList()->copy();
        EXPECT_EQ(QApplication::clipboard()->text(), view.glyphList()->tabSeparated());
    }
}

TEST(TextView, RowsAtOtherWeightsShapeWithTheirOwnAdvances)
{
    TextPreview view;
    const auto font = openFont(Inter);
    view.setFont(font, {});
    view.setText("Hamburgefonstiv");
    const auto& axes = font->Variations.axes;
    const auto wght = std::find_if(axes.begin(), axes.end(), [](const FvarAxis& a) { return a.tag == "wght"; });
    ASSERT_NE(wght, axes.end());
    for (int weight : {300, 800}) {
        std::vector<Fixed> user = DefaultCoordinates(font->Variations);
        user[std::size_t(wght - axes.begin())] = weight * FixedOne;
        view.addLocationRow(user);
        const Location location = Normalize(font->Variations, user);
        const auto expected = ShapeText(font->FontBytes, font->Face, location, "Hamburgefonstiv");
        ASSERT_TRUE(expected.has_value());
        EXPECT_EQ(totalAdvance(view.rowGlyphs(view.rowCount() - 1)), totalAdvance(*expected)) << weight;
    }
    ASSERT_EQ(view.rowCount(), 3);
    EXPECT_LT(totalAdvance(view.rowGlyphs(1)), totalAdvance(view.rowGlyphs(0)));
    EXPECT_GT(totalAdvance(view.rowGlyphs(2)), totalAdvance(view.rowGlyphs(0)));
    // The selected row's glyphs are the ones listed.
    view.selectRow(2);
    EXPECT_EQ(view.glyphList()->tabSeparated().count('\n'), qsizetype(view.rowGlyphs(2).size()));
}

TEST(TextView, TheTraceListsEveryStepHarfBuzzReports)
{
    const struct {
        std::string font;
        const char* text;
    } cases[] = {
        {NotoDevanagari, "\u0915\u094d\u0937\u093f"},
        {NotoNaskh, "\u0633\u0644\u0627\u0645"},
        {DejaVuSans, "fi AV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.font);
        TextPreview view;
        const auto font = openFont(c.font);
        view.setFont(font, {});
        view.setText(QString::fromUtf8(c.text));
        view.showTrace();
        const auto shaped = Shape(font->FontBytes, font->Face, {}, c.text, {}, true);
        ASSERT_TRUE(shaped.has_value());
        ShapingTrace* trace = view.trace();
        EXPECT_EQ(trace->stepCount(), int(shaped->trace.size()));
        EXPECT_EQ(trace->listedSteps(), trace->stepCount());
        // Characters turned into the glyphs the font maps them to change
        // nothing drawn (the first step counts as a change).
        const auto gsub = std::find_if(shaped->trace.begin(), shaped->trace.end(),
                                       [](const TraceStep& s) { return s.message == "start table GSUB"; });
        ASSERT_NE(gsub, shaped->trace.end());
        EXPECT_EQ(trace->changedBuffer(int(gsub - shaped->trace.begin())), gsub == shaped->trace.begin());
        trace->hideUnchanged(true);
        EXPECT_GT(trace->listedSteps(), 0);
        EXPECT_LT(trace->listedSteps(), trace->stepCount());

        // A lookup chosen elsewhere marks its steps, and only them.
        const auto lookup = std::find_if(shaped->trace.begin(), shaped->trace.end(),
                                         [](const TraceStep& s) { return s.lookup >= 0; });
        ASSERT_NE(lookup, shaped->trace.end());
        trace->highlightLookup(lookup->gpos, lookup->lookup);
        for (int s = 0; s < trace->stepCount(); ++s) {
            const TraceStep& step = shaped->trace[std::size_t(s)];
            EXPECT_EQ(trace->isHighlighted(s), step.lookup == lookup->lookup && step.gpos == lookup->gpos) << s;
        }
    }
}

// Every script and language the pickers offer is one HarfBuzz shapes with.
TEST(TextView, EveryScriptAndLanguageOfferedShapes)
{
    for (const std::string& path : {NotoDevanagari, NotoNaskh}) {
        SCOPED_TRACE(path);
        TextPreview view;
        view.setFont(openFont(path), {});
        auto* script = view.findChild<QComboBox*>("script");
        auto* language = view.findChild<QComboBox*>("language");
        ASSERT_GT(script->count(), 1);
        int languages = 0;
        for (int s = 0; s < script->count(); ++s) {
            script->setCurrentIndex(s);
            for (int l = 0; l < language->count(); ++l, ++languages) {
                language->setCurrentIndex(l);
                EXPECT_FALSE(view.rowGlyphs(0).empty()) << script->currentText().toStdString() << " "
                                                        << language->currentText().toStdString();
            }
        }
        EXPECT_GT(languages, script->count()); // some script lists a language of its own
    }
}

// Text of both directions: the waterfall shows ICU's runs in visual order,
// left to right as a click along the line meets them, and the trace is of one
// run, shaped in its own direction as the row drew it.
TEST(TextView, MixedDirectionsAreDrawnAndTracedRunByRun)
{
    TextPreview view;
    const auto font = openFont(DejaVuSans);
    view.setFont(font, {});
    view.setText(QString::fromUtf8("AV \u0633\u0644\u0627\u0645"));
    const auto runs = ShapeRuns(font->FontBytes, font->Face, {}, "AV \u0633\u0644\u0627\u0645", {});
    ASSERT_TRUE(runs.has_value());
    ASSERT_EQ(runs->size(), 2u);
    std::vector<int> visual;
    for (const ShapedRun& run : *runs)
        for (const ShapedGlyph& g : run.glyphs)
            visual.push_back(g.glyph);
    EXPECT_EQ(glyphNumbers(view.rowGlyphs(0)), visual);

    auto* canvas = view.findChild<WaterfallCanvas*>();
    canvas->resize(canvas->minimumSize());
    const double baseline = canvas->height() - 8; // inside the 96 pixel line, the last
    std::vector<int> met;
    for (int x = 0; x < canvas->width(); ++x)
        if (const int glyph = canvas->glyphAt(QPointF(x, baseline)); glyph >= 0 && (met.empty() || met.back() != glyph))
            met.push_back(glyph);
    std::vector<int> distinct = visual;
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    EXPECT_EQ(met, distinct);

    view.showTrace();
    auto* run = view.findChild<QComboBox*>("traceRun");
    ASSERT_EQ(run->count(), 2);
    run->setCurrentIndex(1); // the Arabic word
    const ShapingTrace* trace = view.trace();
    ASSERT_GT(trace->stepCount(), 0);
    std::vector<int> traced = glyphNumbers(trace->step(trace->stepCount() - 1).glyphs);
    std::reverse(traced.begin(), traced.end()); // the trace keeps logical order
    EXPECT_EQ(traced, glyphNumbers((*runs)[1].glyphs));
}

// A glyph clicked in another font's row opens that font in the main window.
TEST(TextView, AGlyphOfAnotherFontsRowShowsInTheMainWindow)
{
    QuietToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    w.show();
    w.OpenFontFile(DejaVuSans);
    auto* text = w.findChild<TextPreview*>("textPreview");
    text->toggleViewAction()->trigger();
    ASSERT_TRUE(text->addFontRow(DejaVuSansBold));
    auto* canvas = text->findChild<WaterfallCanvas*>();
    QPointF at;
    for (int y = 0; y < canvas->height() && at.isNull(); ++y)
        if (canvas->rowAt(QPointF(60, y)) == 1 && canvas->glyphAt(QPointF(60, y)) > 0)
            at = QPointF(60, y);
    ASSERT_FALSE(at.isNull());
    const int glyph = canvas->glyphAt(at);
    QMouseEvent release(QEvent::MouseButtonRelease, at, canvas->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(canvas, &release);
    QApplication::processEvents();
    EXPECT_EQ(w.session().font()->FontFileName, DejaVuSansBold);
    EXPECT_EQ(w.session().CurrentGlyph(), glyph);
}

} // namespace
