#include <cstdio>
#include <functional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QUrl>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include "platform/face_name.h"
#include "platform/picture_export.h"
#include "platform/settings.h"
#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "ui/main/combo_box.h"
#include "support/container_builder.h"
#include "support/freetype_face.h"
#include "support/ttf_builder.h"
#include "draw/metrics_view.h"
#include "ui/main/find_field.h"
#include "ui/main/frmmain.h"
#include "tables/cmap.h"
#include "ui/main/glyph_canvas.h"

namespace {

const std::string DejaVuSans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";

// Answers for the user: the file dialogs return the prepared paths, the
// Yes/No question the prepared answer; everything asked is recorded.
class ScriptedToolkit : public Toolkit {
public:
    void MsgBox(const std::string& text) override { messages.push_back(text); }
    bool MsgBoxYesNo(const std::string& text, const std::string& title) override
    {
        questions.push_back({text, title});
        return answerYes;
    }
    std::string ShowOpen(const CommonDialog& dialog) override
    {
        opens.push_back(dialog);
        return openAnswer;
    }
    std::string ShowSave(CommonDialog& dialog) override
    {
        saves.push_back(dialog);
        if (saveFilter > 0)
            dialog.FilterIndex = saveFilter;
        return saveAnswer;
    }
    void PopupMenu(QMenu* menu) override { popups.push_back(menu); }

    std::string openAnswer, saveAnswer;
    int saveFilter = 0; // the filter the user picks; 0 keeps the one shown first
    bool answerYes = false;
    std::vector<std::string> messages;
    std::vector<std::pair<std::string, std::string>> questions;
    std::vector<CommonDialog> opens, saves;
    std::vector<QMenu*> popups;
};

// Glyph numbers and boxes as FreeType reads them, for the expected values.
class FreeTypeFont {
public:
    explicit FreeTypeFont(const std::string& path) : face_(path) {}
    int glyphOf(unsigned code) const { return int(FT_Get_Char_Index(face_.get(), code)); }
    // xMin, yMin, xMax, yMax of the glyph's points in font units.
    std::array<long, 4> box(int glyph) const
    {
        FT_Load_Glyph(face_.get(), FT_UInt(glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING);
        FT_BBox b;
        FT_Outline_Get_CBox(&face_.get()->glyph->outline, &b);
        return {b.xMin, b.yMin, b.xMax, b.yMax};
    }

private:
    FreeTypeFace face_;
};

// The window's controls, found by their object names.
struct Controls {
    explicit Controls(const frmmain& w) : window(w) {}
    template <class T>
    T* control(const char* name) const
    {
        T* found = window.findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    const frmmain& window;
    QStatusBar* StatusBar1 = control<QStatusBar>("StatusBar1");
    QAction* Toolbar1Open = control<QAction>("Toolbar1Open");
    QToolBar* Toolbar1 = control<QToolBar>("Toolbar1");
    QLabel* Label2 = control<QLabel>("Label2");
    QLabel* Label7 = control<QLabel>("Label7");
    QLabel* Label9 = control<QLabel>("Label9");
    GlyphCanvas* Picture1 = control<GlyphCanvas>("Picture1");
    QPushButton* Command1 = control<QPushButton>("Command1");
    QPushButton* Command2 = control<QPushButton>("Command2");
    QPushButton* Command3 = control<QPushButton>("Command3");
    QGroupBox* Frame1 = control<QGroupBox>("Frame1");
    QGroupBox* Frame2 = control<QGroupBox>("Frame2");
    ComboBox* Combo1 = control<ComboBox>("Combo1");
    ComboBox* Combo2 = control<ComboBox>("Combo2");
    ComboBox* Combo3 = control<ComboBox>("Combo3");
    QSlider* Slider1 = control<QSlider>("Slider1");
    QSlider* Slider2 = control<QSlider>("Slider2");
    QCheckBox* Check1 = control<QCheckBox>("Check1");
    QLineEdit* Text1 = control<QLineEdit>("Text1");
    QLineEdit* Text2 = control<QLineEdit>("Text2");
    QLineEdit* Text3 = control<QLineEdit>("Text3");
    QLineEdit* Text4 = control<QLineEdit>("Text4");
    QPlainTextEdit* Text5 = control<QPlainTextEdit>("Text5");
    QLineEdit* Text6 = control<QLineEdit>("Text6");
    QLineEdit* Text7 = control<QLineEdit>("Text7");
    QAction* mnuAbout = control<QAction>("mnuAbout");
    QAction* mnuComposites = control<QAction>("mnuComposites");
    QMenu* mnuFile = control<QMenu>("mnuFile");
    QAction* mnuMetrics = control<QAction>("mnuMetrics");
    QAction* mnuSavePictureAs = control<QAction>("mnuSavePictureAs");
    QMenu* mnuSetup = control<QMenu>("mnuSetup");
    QWidget* facePicker = control<QWidget>("facePicker");
    QComboBox* faceList = control<QComboBox>("facePickerList");
    FindField* findField = control<FindField>("findField");
    QLabel* glyphInfo = control<QLabel>("glyphInfo");
    QAction* mnuReload = control<QAction>("mnuReload");
};

int countPixels(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

int countDrawnPixels(const frmmain& w)
{
    const QImage& image = w.picture().image();
    return image.width() * image.height() - countPixels(image, w.picture().backColor());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class MainWindow : public ::testing::Test {
protected:
    const FontState& font() const { return *w.session().font(); }
    void openFont(const std::string& path)
    {
        toolkit.openAnswer = path;
        w.mnuOpen_Click();
    }
    // Nothing shown of any font: as the window starts.
    void expectNoGlyphShown()
    {
        EXPECT_EQ(ui.Combo1->count(), 0);
        EXPECT_EQ(ui.Combo2->count(), 0);
        EXPECT_EQ(ui.Combo3->count(), 0);
        for (QLineEdit* t : {ui.Text1, ui.Text2, ui.Text3, ui.Text4, ui.Text6, ui.Text7})
            EXPECT_TRUE(t->text().isEmpty());
        EXPECT_TRUE(ui.Text5->toPlainText().isEmpty());
        EXPECT_EQ(countDrawnPixels(w), 0);
        EXPECT_FALSE(ui.Command2->isEnabled());
        EXPECT_FALSE(ui.Command3->isEnabled());
        EXPECT_FALSE(ui.Slider1->isEnabled());
        EXPECT_FALSE(ui.Slider2->isEnabled());
        EXPECT_EQ(w.session().EventsEnabled(), 0);
        EXPECT_EQ(w.session().CurrentGlyph(), 0);
    }

    // Each test starts as a first run: nothing remembered.
    struct ForgetSettings {
        ForgetSettings() { QSettings(QSettings::UserScope, "Lumaro", "Lumaro").clear(); }
    } forgotten;
    ScriptedToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    const Controls ui{w};
};

TEST(Toolkit, FiltersBecomeQtNameFilters)
{
    const std::pair<const char*, const char*> cases[] = {
        {"TTF files (*.ttf)|*.ttf|All files (*.*)|*.*", "TTF files (*.ttf);;All files (*)"},
        {"JPEG file (*.jpg)|*.jpg", "JPEG file (*.jpg)"},
        {"Pictures|*.jpg;*.jpeg", "Pictures (*.jpg *.jpeg)"},
        {"", ""},
    };
    for (const auto& [filter, expected] : cases)
        EXPECT_EQ(QtFilter(filter), QString(expected)) << filter;
}

TEST_F(MainWindow, CompositeGlyphsAreListedDrawnAndSteppedToWhenChosen)
{
    const std::string sans = std::string(DEJAVU_DIR) + "/DejaVuSans.ttf";
    openFont(sans);
    const int simpleEntries = ui.Combo1->count();
    const int eacute = CharToGlyph(font(), 0xE9);
    ASSERT_EQ(font().GlyphKinds[std::size_t(eacute)], GlyphKind::Composite);
    EXPECT_EQ(ui.Combo1->findText(QString::number(eacute)), -1);

    ui.mnuComposites->trigger();
    EXPECT_EQ(ui.Combo1->count(), font().NumGlyphs);
    EXPECT_GT(ui.Combo1->count(), simpleEntries);
    EXPECT_NE(ui.Combo2->findText("233"), -1);
    ui.Combo1->SetListIndex(eacute - 1);
    w.Command2_Click(); // Next reaches the composite
    EXPECT_EQ(w.session().CurrentGlyph(), eacute);
    const QString listing = ui.Text5->toPlainText();
    EXPECT_TRUE(listing.contains("Component: ")) << listing.toStdString();
    EXPECT_TRUE(listing.startsWith("Number of Contours: 3"));
    EXPECT_GT(countDrawnPixels(w), 0);
    EXPECT_TRUE(toolkit.messages.empty());

    // Off again: today's lists, and a composite is left out of them.
    ui.mnuComposites->trigger();
    EXPECT_EQ(ui.Combo1->count(), simpleEntries);
}

TEST_F(MainWindow, FontMetricsDrawsTheFontsLinesAndKeepsTheListing)
{
    openFont(DejaVuSans);
    const QString listing = ui.Text5->toPlainText();
    const QColor baseline(BaselineColour.r, BaselineColour.g, BaselineColour.b);
    EXPECT_EQ(countPixels(w.picture().image(), baseline), 0);
    ui.mnuMetrics->trigger();
    // The baseline runs across the picture, but where the glyph and the other lines cross it.
    EXPECT_GT(countPixels(w.picture().image(), baseline), PictureSurface::PictureSize * 3 / 4);
    EXPECT_EQ(ui.Text5->toPlainText(), listing);
    ui.mnuMetrics->trigger();
    EXPECT_EQ(countPixels(w.picture().image(), baseline), 0);
}

TEST_F(MainWindow, LayoutAtStartUp)
{
    EXPECT_EQ(w.windowTitle(), "Lumaro 0.14a");
    EXPECT_EQ(w.centralWidget()->size(), QSize(717, 628)); // 10755 x 9420 twips
    EXPECT_LT(w.minimumSizeHint().height(), w.height()) << "it can be resized";
    // The picture area is 5300 twips square at (240, 960), inside a one-pixel border.
    EXPECT_EQ(ui.Picture1->contentsRect().translated(ui.Picture1->pos()), QRect(16, 64, 353, 353));
    EXPECT_EQ(ui.Frame1->title(), " View ");
    EXPECT_TRUE(ui.Frame1->font().underline());
    EXPECT_EQ(ui.Frame2->title(), " Glyph ");
    EXPECT_FALSE(ui.Label7->font().underline());
    EXPECT_EQ(ui.Frame2->geometry(), QRect(384, 56, 313, 537));
    EXPECT_EQ(ui.Command2->text(), "Next");
    EXPECT_EQ(ui.Command3->text(), "Previous");
    EXPECT_EQ(ui.Command1->text(), "Info...");
    EXPECT_EQ(ui.Check1->text(), "View starting points of contours");
    EXPECT_TRUE(ui.Check1->isChecked());
    EXPECT_EQ(ui.Label2->text(), "");
    EXPECT_EQ(ui.Label9->text(), "");
    EXPECT_EQ(ui.Slider1->minimum(), 1);
    EXPECT_EQ(ui.Slider1->maximum(), 10);
    EXPECT_EQ(ui.Slider1->value(), 2);
    EXPECT_EQ(ui.Slider2->minimum(), 0);
    EXPECT_EQ(ui.Slider2->maximum(), 15);
    EXPECT_EQ(ui.Slider2->value(), 9);
    EXPECT_EQ(ui.Text5->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(ui.Text5->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(ui.Text5->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(ui.Text5->isReadOnly());
    EXPECT_TRUE(ui.Text1->isReadOnly());

    const QList<QAction*> menus = w.menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), "File");
    EXPECT_EQ(menus[1]->text(), "Edit");
    EXPECT_EQ(menus[2]->text(), "View");
    EXPECT_EQ(menus[3]->text(), "Help");
    EXPECT_EQ(ui.mnuComposites->text(), "Composite glyphs");
    EXPECT_TRUE(ui.mnuComposites->isCheckable());
    EXPECT_FALSE(ui.mnuComposites->isChecked());
    const QList<QAction*> file = ui.mnuFile->actions();
    ASSERT_EQ(file.size(), 7);
    EXPECT_EQ(file[0]->text(), "Open...");
    EXPECT_EQ(file[1]->text(), "Recent Fonts");
    EXPECT_FALSE(file[1]->isEnabled()) << "nothing opened yet";
    EXPECT_EQ(file[2], ui.mnuReload);
    EXPECT_EQ(ui.mnuReload->shortcut(), QKeySequence(Qt::Key_F5));
    EXPECT_FALSE(ui.mnuReload->isEnabled()) << "nothing opened yet";
    EXPECT_EQ(file[3]->text(), "Compare With...");
    EXPECT_FALSE(file[3]->isEnabled()) << "nothing opened yet";
    EXPECT_EQ(file[4], ui.mnuSavePictureAs);
    EXPECT_TRUE(file[5]->isSeparator());
    EXPECT_EQ(file[6]->text(), "Exit");
    EXPECT_EQ(ui.mnuAbout->text(), "About...");
    EXPECT_EQ(ui.mnuSavePictureAs->text(), "Save Picture As...");
    EXPECT_EQ(ui.mnuSavePictureAs->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(ui.mnuSetup->actions(), QList<QAction*>{ui.mnuSavePictureAs});
    EXPECT_EQ(ui.Toolbar1->actions().size(), 2); // Open and the Find field
    EXPECT_EQ(ui.Toolbar1Open->toolTip(), "Open...");
    EXPECT_FALSE(ui.Toolbar1Open->icon().isNull());

    const ViewState& v = w.session().view();
    EXPECT_EQ(v.ViewScale, 2);
    EXPECT_EQ(v.ViewMargin, 900);
    EXPECT_EQ(v.ShowStartPoints, 1);
    expectNoGlyphShown();
}

TEST_F(MainWindow, TabOrderFollowsTheDesign)
{
    const std::vector<QWidget*> expected = {ui.Combo2, ui.Combo3, ui.Combo1, ui.Command3, ui.Command2, ui.Slider2, ui.Slider1,
                                            ui.Text4, ui.Text3, ui.Text2, ui.Text1, ui.Text5, ui.Text6, ui.Text7, ui.Command1,
                                            ui.Check1};
    std::vector<QWidget*> seen;
    QWidget* at = ui.Combo2;
    do {
        if (std::find(expected.begin(), expected.end(), at) != expected.end())
            seen.push_back(at);
        at = at->nextInFocusChain();
    } while (at != ui.Combo2 && seen.size() < expected.size());
    EXPECT_EQ(seen, expected);
}

TEST_F(MainWindow, OpenShowsTheFaceTheCountAndGlyphFour)
{
    openFont(DejaVuSans);

    ASSERT_EQ(toolkit.opens.size(), 1u);
    EXPECT_EQ(toolkit.opens[0].DialogTitle, "Load TTF file");
    EXPECT_EQ(QtFilter(toolkit.opens[0].Filter).split(";;"),
              QStringList({"Font files (*.ttf *.otf *.ttc *.otc *.woff *.woff2)", "TTF files (*.ttf)", "All files (*)"}));
    EXPECT_EQ(toolkit.opens[0].InitDir, QDir::currentPath().toStdString());
    EXPECT_TRUE(toolkit.messages.empty());

    EXPECT_EQ(ui.Label2->text(), "DejaVu Sans ");
    EXPECT_EQ(ui.Label9->text(), " 6253");
    EXPECT_EQ(w.session().CurrentGlyph(), 4);
    EXPECT_EQ(ui.Combo1->currentIndex(), 4);
    EXPECT_EQ(ui.Combo1->itemText(0), "0");
    EXPECT_EQ(ui.Combo2->currentIndex(), 1);
    EXPECT_EQ(ui.Combo3->currentIndex(), 1);
    EXPECT_EQ(ui.Combo3->itemText(0), " ");
    EXPECT_EQ(ui.Combo3->itemText(1), "!");
    EXPECT_EQ(w.session().EventsEnabled(), 1);
    for (QWidget* c : std::initializer_list<QWidget*>{ui.Command2, ui.Command3, ui.Slider1, ui.Slider2})
        EXPECT_TRUE(c->isEnabled());

    const std::array<long, 4> box = FreeTypeFont(DejaVuSans).box(4);
    EXPECT_EQ(ui.Text6->text(), "4");
    EXPECT_EQ(ui.Text3->text(), QString::number(box[0])); // minX
    EXPECT_EQ(ui.Text1->text(), QString::number(box[1])); // minY
    EXPECT_EQ(ui.Text4->text(), QString::number(box[2])); // maxX
    EXPECT_EQ(ui.Text2->text(), QString::number(box[3])); // maxY
    EXPECT_TRUE(ui.Text5->toPlainText().startsWith("Number of Contours:"));
    EXPECT_GT(countDrawnPixels(w), 0);
}

// The status bar and the face name's tooltip say which file and which style
// is open: its full name as FreeType reads it, a web font's too.
TEST_F(MainWindow, OpenNamesTheFileAndTheFullName)
{
    const std::string bold = std::string(DEJAVU_DIR) + "/DejaVuSans-Bold.ttf";
    const QByteArray boldBytes = fileBytes(QString::fromStdString(bold));
    const ttf::TempFontFile boldWoff(ttf::woff(ttf::ByteVector(boldBytes.begin(), boldBytes.end())), ".woff");
    const struct {
        std::string path, original;
    } cases[] = {{DejaVuSans, DejaVuSans}, {boldWoff.path(), bold}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        openFont(c.path);
        const QString fullName = QString::fromStdString(GetFaceFullNames(c.original, 1).at(0));
        ASSERT_FALSE(fullName.isEmpty());
        const QString file = QFileInfo(QString::fromStdString(c.path)).fileName();
        EXPECT_EQ(ui.StatusBar1->currentMessage(), file + QString::fromUtf8(" \u00b7 ") + fullName);
        EXPECT_TRUE(ui.Label2->toolTip().contains(fullName)) << ui.Label2->toolTip().toStdString();
        EXPECT_TRUE(ui.Label2->toolTip().contains(QString::fromStdString(c.path))) << ui.Label2->toolTip().toStdString();
    }
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(MainWindow, TheToolbarButtonOpensToo)
{
    toolkit.openAnswer = DejaVuSans;
    ui.Toolbar1Open->trigger();
    EXPECT_EQ(toolkit.opens.size(), 1u);
    EXPECT_EQ(ui.Label9->text(), " 6253");
}

TEST_F(MainWindow, CancelChangesNothing)
{
    w.mnuOpen_Click(); // cancelled before any font
    expectNoGlyphShown();
    EXPECT_EQ(ui.Label2->text(), "");

    openFont(DejaVuSans);
    w.Command2_Click();
    const QImage before = w.picture().image();
    openFont("");
    EXPECT_EQ(toolkit.opens.size(), 3u);
    EXPECT_EQ(ui.Label2->text(), "DejaVu Sans ");
    EXPECT_EQ(ui.Combo1->currentIndex(), 5);
    EXPECT_EQ(ui.Combo1->count(), int(w.session().lists().GlyphList.size()));
    EXPECT_TRUE(font().Loaded);
    EXPECT_EQ(w.picture().image(), before);
}

TEST_F(MainWindow, NextAndPreviousWrapAround)
{
    openFont(DejaVuSans);
    const int last = ui.Combo1->count() - 1;

    w.Command2_Click(); // entry 4 -> 5
    EXPECT_EQ(ui.Combo1->currentIndex(), 5);
    EXPECT_EQ(w.session().CurrentGlyph(), ui.Combo1->itemText(5).toInt());

    ui.Combo1->setCurrentIndex(last); // a user's choice: shows that glyph
    EXPECT_EQ(w.session().CurrentGlyph(), ui.Combo1->itemText(last).toInt());
    w.Command2_Click();
    EXPECT_EQ(ui.Combo1->currentIndex(), 0);
    EXPECT_EQ(w.session().CurrentGlyph(), 0);
    EXPECT_EQ(ui.Text6->text(), "0");
    EXPECT_TRUE(ui.Command2->isEnabled());
    EXPECT_EQ(w.focusWidget(), ui.Command2);
    EXPECT_EQ(w.session().EventsEnabled(), 1);

    w.Command3_Click();
    EXPECT_EQ(ui.Combo1->currentIndex(), last);
    EXPECT_EQ(w.session().CurrentGlyph(), ui.Combo1->itemText(last).toInt());
    EXPECT_EQ(ui.Text6->text(), ui.Combo1->itemText(last));
    EXPECT_TRUE(ui.Command3->isEnabled());
    EXPECT_EQ(w.focusWidget(), ui.Command3);
    EXPECT_EQ(w.session().EventsEnabled(), 1);
}

// From a glyph the list leaves out, shown by Find, Next and Previous go on
// from its place in the list, round from either end.
TEST_F(MainWindow, NextAndPreviousGoOnFromAnUnlistedGlyph)
{
    ttf::FontSpec design = ttf::squaresFont(7);
    design.glyphs[2] = ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 101, 201});
    design.glyphs[6] = ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 101, 201});
    const ttf::TempFontFile file(ttf::buildFont(design));
    openFont(file.path());
    ASSERT_EQ(w.session().lists().GlyphList, (std::vector<int>{0, 1, 3, 4, 5}));
    const struct {
        const char* found;
        bool next;
        int entry;
    } cases[] = {{"2", true, 2}, {"2", false, 1}, {"6", true, 0}, {"6", false, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.found) + (c.next ? " Next" : " Previous"));
        ui.findField->setText(c.found);
        emit ui.findField->returnPressed();
        ASSERT_EQ(ui.Combo1->currentIndex(), -1);
        c.next ? w.Command2_Click() : w.Command3_Click();
        EXPECT_EQ(ui.Combo1->currentIndex(), c.entry);
        EXPECT_EQ(w.session().CurrentGlyph(), w.session().lists().GlyphList[std::size_t(c.entry)]);
    }
}

TEST_F(MainWindow, CharacterListsPickGlyphsButNotByTheirFirstEntry)
{
    openFont(DejaVuSans);
    FreeTypeFont face(DejaVuSans);

    ui.Combo2->setCurrentIndex(0);
    EXPECT_EQ(w.session().CurrentGlyph(), 4);
    ui.Combo3->setCurrentIndex(0);
    EXPECT_EQ(w.session().CurrentGlyph(), 4);

    ui.Combo3->setCurrentIndex(ui.Combo3->findText("A"));
    EXPECT_EQ(w.session().CurrentGlyph(), face.glyphOf('A'));
    EXPECT_EQ(ui.Text6->text(), QString::number(face.glyphOf('A')));
    const int sharpS = ui.Combo2->findText("223"); // a simple glyph in DejaVu Sans
    ASSERT_GT(sharpS, 1);
    ui.Combo2->setCurrentIndex(sharpS);
    EXPECT_EQ(w.session().CurrentGlyph(), face.glyphOf(223));

    // The glyph list keeps its entry; choosing it again shows its glyph.
    EXPECT_EQ(ui.Combo1->currentIndex(), 4);
    ui.Combo1->showPopup();
    emit ui.Combo1->activated(4);
    ui.Combo1->hidePopup();
    EXPECT_EQ(w.session().CurrentGlyph(), 4);

    // "Next" steps from the glyph list's entry, not from the glyph on display.
    ui.Combo3->setCurrentIndex(ui.Combo3->findText("A"));
    w.Command2_Click();
    EXPECT_EQ(ui.Combo1->currentIndex(), 5);
    EXPECT_EQ(w.session().CurrentGlyph(), ui.Combo1->itemText(5).toInt());
}

TEST_F(MainWindow, ClicksDoNothingBeforeTheFirstOpen)
{
    ui.Check1->setChecked(false);
    w.Combo1_Click();
    w.Combo2_Click();
    w.Combo3_Click();
    w.Command2_Click();
    w.Command3_Click();
    EXPECT_EQ(w.session().view().ShowStartPoints, 1);
    expectNoGlyphShown();

    // The unticked box does not reach the view: the first font has start marks.
    openFont(DejaVuSans);
    EXPECT_FALSE(ui.Check1->isChecked());
    EXPECT_GT(countPixels(w.picture().image(), QColor(255, 0, 0)), 0);
}

TEST_F(MainWindow, SlidersSetScaleAndMargin)
{
    openFont(DejaVuSans);
    const int atScale2 = countDrawnPixels(w);
    ui.Slider1->setValue(10);
    EXPECT_EQ(w.session().view().ViewScale, 10);
    EXPECT_LT(countDrawnPixels(w), atScale2);
    ui.Slider1->setValue(1);
    EXPECT_EQ(w.session().view().ViewScale, 1);

    const std::pair<int, int> margins[] = {{0, 0}, {15, 1500}, {9, 900}, {3, 300}};
    for (const auto& [position, margin] : margins) {
        ui.Slider2->setValue(position);
        EXPECT_EQ(w.session().view().ViewMargin, margin) << position;
    }
}

TEST_F(MainWindow, CheckBoxTogglesStartMarks)
{
    openFont(DejaVuSans);
    const QColor red(255, 0, 0);
    const QString listing = ui.Text5->toPlainText();
    EXPECT_GT(countPixels(w.picture().image(), red), 0);

    ui.Check1->setChecked(false);
    EXPECT_EQ(w.session().view().ShowStartPoints, 0);
    EXPECT_EQ(countPixels(w.picture().image(), red), 0);
    EXPECT_EQ(ui.Text5->toPlainText(), listing);

    ui.Check1->setChecked(true);
    EXPECT_EQ(w.session().view().ShowStartPoints, 1);
    EXPECT_GT(countPixels(w.picture().image(), red), 0);
}

TEST_F(MainWindow, RightClickOpensThePopup)
{
    auto release = [&](Qt::MouseButton button) {
        QMouseEvent e(QEvent::MouseButtonRelease, QPointF(10, 10), ui.Picture1->mapToGlobal(QPointF(10, 10)), button,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(ui.Picture1, &e);
    };
    release(Qt::LeftButton);
    EXPECT_TRUE(toolkit.popups.empty());
    release(Qt::RightButton);
    ASSERT_EQ(toolkit.popups.size(), 1u);
    EXPECT_EQ(toolkit.popups[0], ui.mnuSetup);
    EXPECT_EQ(ui.mnuSetup->actions().size(), 1);
}

// Damaged fonts written to a temporary file.
struct DamagedFont {
    const char* what;
    ttf::ByteVector bytes;
    const char* message; // a line of the messages shown
};

std::vector<DamagedFont> damagedFonts()
{
    std::vector<DamagedFont> cases;
    ttf::Bytes tooManyTables;
    tooManyTables.u32(0x00010000).u16(40).u16(0).u16(0).u16(0).zeros(16 * 40);
    cases.push_back({"more than 32 tables", tooManyTables.data, "Code = 10"});

    std::vector<ttf::Table> tables = ttf::fontTables(ttf::squaresFont(6));
    ttf::removeTable(tables, "glyf");
    cases.push_back({"no glyf", ttf::assemble(tables), "Not found: glyf"});

    ttf::ByteVector truncated = ttf::buildFont(ttf::squaresFont(6));
    truncated.resize(truncated.size() / 2);
    cases.push_back({"cut in half", truncated, "Code = 15"});
    return cases;
}

// A file that fails to open shows its boxes and leaves the open font, its
// lists, glyph and view on display; the status bar says which file and why.
TEST_F(MainWindow, AFailedOpenKeepsWhatWasOpen)
{
    const std::string missing = QDir::temp().filePath("lumaro-no-such-font.ttf").toStdString();
    std::vector<DamagedFont> cases = damagedFonts();
    cases.push_back({"missing", {}, missing.c_str()});
    for (const DamagedFont& damaged : cases) {
        SCOPED_TRACE(damaged.what);
        openFont(DejaVuSans);
        ASSERT_EQ(w.session().EventsEnabled(), 1);
        w.Command2_Click();
        const int shown = w.session().CurrentGlyph();
        const QString face = ui.Label2->text(), listing = ui.Text5->toPlainText();
        const int entries = ui.Combo1->count();
        toolkit.messages.clear();

        std::unique_ptr<ttf::TempFontFile> file;
        std::string path = missing;
        if (!damaged.bytes.empty()) {
            file = std::make_unique<ttf::TempFontFile>(damaged.bytes);
            path = file->path();
        }
        openFont(path);

        ASSERT_FALSE(toolkit.messages.empty());
        bool named = false;
        for (const std::string& m : toolkit.messages)
            named = named || m.find(damaged.message) != std::string::npos;
        EXPECT_TRUE(named) << toolkit.messages.front();
        EXPECT_TRUE(font().Loaded);
        EXPECT_EQ(ui.Label2->text(), face);
        EXPECT_EQ(ui.Combo1->count(), entries);
        EXPECT_EQ(w.session().CurrentGlyph(), shown);
        EXPECT_EQ(ui.Text5->toPlainText(), listing);
        EXPECT_EQ(w.session().EventsEnabled(), 1);
        const QString status = ui.StatusBar1->currentMessage();
        EXPECT_TRUE(status.startsWith(QFileInfo(QString::fromStdString(path)).fileName() + " could not be opened: "))
            << status.toStdString();
    }
}

// A font whose list is empty replaces the one on display: none of the last
// glyph's points is left on the canvas to hover or select.
TEST_F(MainWindow, AFontWithNothingListedLeavesNoPointsBehind)
{
    openFont(DejaVuSans);
    ASSERT_FALSE(ui.Picture1->glyph().points.empty());
    ttf::FontSpec design;
    design.glyphs = {ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 100, 100}),
                     ttf::compositeGlyph({{0, 0, 0}}, {0, 0, 100, 100})};
    const ttf::TempFontFile composites(ttf::buildFont(design));
    openFont(composites.path());
    EXPECT_TRUE(font().Loaded);
    expectNoGlyphShown();
    EXPECT_TRUE(ui.Picture1->glyph().points.empty());
    EXPECT_EQ(ui.Picture1->pointAt(QPointF(ui.Picture1->width() / 2.0, ui.Picture1->height() / 2.0)), -1);
}

TEST_F(MainWindow, CtrlGFindsByCodeAndNameAndTheStatusBarNamesTheGlyph)
{
    openFont(DejaVuSans);
    const int zhe = CharToGlyph(font(), 0x416);
    for (const char* query : {"U+0416", "uni0416", "\u0416", "cyrillic capital letter zhe"}) {
        ui.findField->setText(QString::fromUtf8(query));
        emit ui.findField->returnPressed();
        EXPECT_EQ(w.session().CurrentGlyph(), zhe) << query;
    }
    EXPECT_EQ(ui.Text6->text(), QString::number(zhe));
    EXPECT_EQ(ui.glyphInfo->text(), QString::fromUtf8("Glyph %1 \u00b7 U+0416 \u0416 CYRILLIC CAPITAL LETTER ZHE \u00b7 uni0416 \u00b7 advance %2")
                                        .arg(zhe)
                                        .arg(font().HMetrics[std::size_t(zhe)].AdvanceWidth));
    ui.findField->setText("eacute");
    emit ui.findField->returnPressed();
    EXPECT_EQ(ui.Text7->text(), "eacute"); // a composite, shown though the list leaves it out
    EXPECT_EQ(w.session().CurrentGlyph(), CharToGlyph(font(), 0xE9));

    ui.findField->setText("nosuchglyph");
    emit ui.findField->returnPressed();
    EXPECT_EQ(w.session().CurrentGlyph(), CharToGlyph(font(), 0xE9));
    EXPECT_TRUE(ui.StatusBar1->currentMessage().contains("nosuchglyph"));
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(MainWindow, ShortGlyphListsSelectTheirLastEntry)
{
    struct Case {
        int glyphs;
        int combo1, shown, combo2, combo3;
    };
    // squaresFont(n): n simple glyphs, codes 'A'.. mapped to glyphs 1..n-1.
    const Case cases[] = {
        {1, 0, 0, -1, -1},
        {2, 1, 1, 0, 0},
        {3, 2, 2, 1, 1},
        {5, 4, 4, 1, 1},
        {7, 4, 4, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.glyphs);
        ttf::TempFontFile file(ttf::buildFont(ttf::squaresFont(c.glyphs)));
        openFont(file.path());
        EXPECT_TRUE(toolkit.messages.empty());
        EXPECT_EQ(ui.Combo1->count(), c.glyphs);
        EXPECT_EQ(ui.Combo1->currentIndex(), c.combo1);
        EXPECT_EQ(w.session().CurrentGlyph(), c.shown);
        EXPECT_EQ(ui.Text6->text(), QString::number(c.shown));
        EXPECT_EQ(ui.Combo2->currentIndex(), c.combo2);
        EXPECT_EQ(ui.Combo3->currentIndex(), c.combo3);
        EXPECT_TRUE(ui.Command2->isEnabled());
        EXPECT_EQ(w.session().EventsEnabled(), 1);
        w.Command2_Click(); // wraps to the first entry
        EXPECT_EQ(ui.Combo1->currentIndex(), c.combo1 == c.glyphs - 1 ? 0 : c.combo1 + 1);
    }
}

TEST_F(MainWindow, GlyphFourIsShownWhileTheFifthEntryIsSelected)
{
    ttf::FontSpec design = ttf::squaresFont(7);
    design.glyphs[2] = ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 101, 201});
    ttf::TempFontFile file(ttf::buildFont(design));
    openFont(file.path());
    EXPECT_EQ(ui.Combo1->count(), 6); // the composite glyph is not listed
    EXPECT_EQ(ui.Combo1->currentIndex(), 4);
    EXPECT_EQ(ui.Combo1->currentText(), "5");
    EXPECT_EQ(w.session().CurrentGlyph(), 4);
    EXPECT_EQ(ui.Text6->text(), "4");
}

TEST_F(MainWindow, AFontWithoutSimpleGlyphsShowsNothing)
{
    ttf::FontSpec design;
    design.glyphs = {ttf::compositeGlyph({{1, 0, 0}}, {0, 0, 10, 10}), ttf::compositeGlyph({{0, 0, 0}}, {0, 0, 10, 10})};
    ttf::TempFontFile file(ttf::buildFont(design));
    openFont(DejaVuSans);
    openFont(file.path());
    EXPECT_TRUE(toolkit.messages.empty());
    EXPECT_EQ(ui.Label9->text(), " 2");
    expectNoGlyphShown();
}

class SaveAs : public MainWindow {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        appFolderBefore = QDir(QString::fromStdString(AppPath())).entryList(QDir::AllEntries | QDir::Hidden);
        openFont(DejaVuSans);
    }
    void TearDown() override
    {
        EXPECT_EQ(QDir(QString::fromStdString(AppPath())).entryList(QDir::AllEntries | QDir::Hidden),
                  appFolderBefore);
    }
    void saveAs(const QString& path)
    {
        toolkit.saveAnswer = path.toStdString();
        w.mnuSavePictureAs_Click();
    }
    static bool isJpeg(const QByteArray& bytes) { return bytes.startsWith("\xFF\xD8\xFF"); }

    QTemporaryDir folder;
    QStringList appFolderBefore;
};

TEST_F(SaveAs, SuggestsFontAndGlyphInTheLastFolderAndWritesWithoutAQuestion)
{
    const QString path = folder.filePath("glyph.jpg");
    saveAs(path);
    ASSERT_EQ(toolkit.saves.size(), 1u);
    EXPECT_EQ(toolkit.saves[0].DialogTitle, "Save Picture");
    EXPECT_EQ(toolkit.saves[0].Filter, PictureFilter);
    EXPECT_EQ(toolkit.saves[0].InitDir, DEJAVU_DIR) << "where the font was opened from";
    EXPECT_EQ(toolkit.saves[0].FileName, "DejaVuSans-4.jpg");
    EXPECT_EQ(toolkit.saves[0].FilterIndex, 1);
    EXPECT_TRUE(toolkit.questions.empty());
    EXPECT_TRUE(toolkit.messages.empty());
    const QImage saved(path, "JPG");
    EXPECT_EQ(saved.size(), QSize(353, 353));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"glyph.jpg"});

    w.Command2_Click();
    saveAs("");
    EXPECT_EQ(toolkit.saves[1].InitDir, folder.path().toStdString());
    EXPECT_EQ(toolkit.saves[1].FileName, "DejaVuSans-5.jpg");
}

TEST_F(SaveAs, TheFormatFollowsTheExtensionElseTheChosenFilter)
{
    toolkit.saveFilter = 2; // PNG
    saveAs(folder.filePath("glyph"));
    EXPECT_TRUE(fileBytes(folder.filePath("glyph.png")).startsWith("\x89PNG"));
    toolkit.saveFilter = 1; // JPEG, but the name says otherwise
    saveAs(folder.filePath("picture.svg"));
    EXPECT_TRUE(fileBytes(folder.filePath("picture.svg")).startsWith("<?xml"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"glyph.png", "picture.svg"}));
}

TEST_F(SaveAs, AnExistingFileIsReplacedOnlyAfterYes)
{
    const QString path = folder.filePath("old.jpg");
    writeFile(path, "old picture");

    toolkit.answerYes = false;
    saveAs(path);
    ASSERT_EQ(toolkit.questions.size(), 1u);
    EXPECT_EQ(toolkit.questions[0].first, "old.jpg already exists, overwrite?");
    EXPECT_EQ(toolkit.questions[0].second, "Confirmation");
    EXPECT_EQ(fileBytes(path), "old picture");

    toolkit.answerYes = true;
    saveAs(path);
    EXPECT_EQ(toolkit.questions.size(), 2u);
    EXPECT_TRUE(isJpeg(fileBytes(path)));
    EXPECT_TRUE(toolkit.messages.empty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"old.jpg"});
}

TEST_F(SaveAs, CancelWritesNothing)
{
    saveAs("");
    EXPECT_EQ(toolkit.saves.size(), 1u);
    EXPECT_TRUE(toolkit.questions.empty());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(SaveAs, AFailureIsReportedAndLeavesNothingBehind)
{
    saveAs(folder.filePath("missing/glyph.jpg"));
    EXPECT_EQ(toolkit.messages.size(), 1u);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(MainWindow, ARestartRemembersFontsFolderAndViewControls)
{
    std::string goneName;
    {
        ttf::TempFontFile gone(ttf::buildFont(ttf::squaresFont(6)));
        goneName = QFileInfo(QString::fromStdString(gone.path())).fileName().toStdString();
        openFont(gone.path());
        openFont(DejaVuSans);
    }
    ui.Slider1->setValue(5);
    ui.Slider2->setValue(3);
    ui.Check1->setChecked(false);
    w.close();

    frmmain again{toolkit, shell};
    const Controls againUi{again};
    const QMenu* recent = againUi.mnuFile->actions()[1]->menu();
    ASSERT_NE(recent, nullptr);
    ASSERT_EQ(recent->actions().size(), 1) << "the font whose file has gone is dropped";
    EXPECT_EQ(recent->actions()[0]->text(), "&1 " + QString::fromStdString(DejaVuSans));
    EXPECT_NE(againUi.StatusBar1->currentMessage().toStdString().find(goneName), std::string::npos)
        << againUi.StatusBar1->currentMessage().toStdString();
    EXPECT_EQ(againUi.Slider1->value(), 5);
    EXPECT_EQ(againUi.Slider2->value(), 3);
    EXPECT_FALSE(againUi.Check1->isChecked());
    EXPECT_EQ(again.session().view().ViewScale, 5);
    EXPECT_EQ(again.session().view().ViewMargin, 300);
    EXPECT_EQ(again.session().view().ShowStartPoints, 0);

    recent->actions()[0]->trigger();
    EXPECT_EQ(againUi.Label9->text(), " 6253");
    EXPECT_EQ(countPixels(again.picture().image(), QColor(255, 0, 0)), 0) << "no start marks";
    again.mnuOpen_Click();
    EXPECT_EQ(toolkit.opens.back().InitDir, DEJAVU_DIR);
}

// Drags one file onto the window and drops it there when the window takes it.
bool dropFile(QWidget& w, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    if (enter.isAccepted()) {
        QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &dropped);
    }
    QCoreApplication::processEvents();
    return enter.isAccepted();
}

TEST_F(MainWindow, DroppingATtfFileOpensIt)
{
    auto drop = [&](const QString& path) {
        return dropFile(w, path);
    };
    EXPECT_FALSE(drop(QDir::temp().filePath("notes.txt")));
    EXPECT_EQ(ui.Label9->text(), "");
    EXPECT_TRUE(drop(QString::fromStdString(DejaVuSans)));
    EXPECT_EQ(ui.Label9->text(), " 6253");
    EXPECT_EQ(w.session().CurrentGlyph(), 4);
    EXPECT_TRUE(toolkit.opens.empty());
}

// ---- collections and web fonts ---------------------------------------------

TEST_F(MainWindow, ACollectionOffersItsFacesAndRemembersTheOneOpen)
{
    openFont(DejaVuSans);
    EXPECT_FALSE(ui.facePicker->isVisibleTo(&w)); // a single font has no picker
    openFont(WQY_MICROHEI_TTC);
    ASSERT_TRUE(ui.facePicker->isVisibleTo(&w));
    ASSERT_EQ(ui.faceList->count(), 2);
    EXPECT_EQ(ui.faceList->itemText(0), "WenQuanYi Micro Hei");
    EXPECT_EQ(ui.faceList->itemText(1), "WenQuanYi Micro Hei Mono");
    EXPECT_EQ(ui.faceList->currentIndex(), 0);
    EXPECT_EQ(ui.Label2->text().toStdString(), GetFaceName(WQY_MICROHEI_TTC, 0) + " ");
    EXPECT_LE(ui.Label2->geometry().right(), ui.facePicker->geometry().left()); // room for the picker
    w.show();
    w.resize(w.size() + QSize(400, 0));
    QApplication::processEvents();
    EXPECT_LE(ui.Label2->geometry().right(), ui.facePicker->geometry().left()) << "in a wider window too";
    EXPECT_GT(ui.Label2->width(), 300) << "the face name takes the extra width";
    w.hide();

    ui.faceList->activated(1); // the user picks the second face
    EXPECT_EQ(ui.faceList->currentIndex(), 1);
    EXPECT_EQ(ui.Label2->text().toStdString(), GetFaceName(WQY_MICROHEI_TTC, 1) + " ");
    FreeTypeFace mono(WQY_MICROHEI_TTC, 1);
    EXPECT_EQ(ui.Label9->text().toStdString(), " " + std::to_string(mono.get()->num_glyphs));
    EXPECT_EQ(font().Face, 1);
    EXPECT_EQ(w.session().CurrentGlyph(), 4);
    EXPECT_EQ(Settings().recentFontFace(QFileInfo(WQY_MICROHEI_TTC).absoluteFilePath()), 1);

    openFont(DejaVuSans);
    EXPECT_FALSE(ui.facePicker->isVisibleTo(&w));
    const QList<QAction*> recent = ui.mnuFile->actions()[1]->menu()->actions();
    ASSERT_EQ(recent.size(), 2);
    recent[1]->trigger(); // the collection again, at the face it was left at
    EXPECT_EQ(ui.faceList->currentIndex(), 1);
    EXPECT_EQ(font().Face, 1);
}

TEST_F(MainWindow, AFaceThatFailsLeavesTheFaceShown)
{
    std::vector<ttf::Table> broken = ttf::fontTables(ttf::squaresFont(4));
    ttf::removeTable(broken, "loca");
    ttf::TempFontFile file(ttf::collection({ttf::buildFont(ttf::squaresFont(6)), ttf::assemble(broken)}), ".ttc");
    openFont(file.path());
    ASSERT_EQ(font().NumGlyphs, 6);
    ASSERT_EQ(ui.faceList->count(), 2);
    ui.faceList->activated(1);
    EXPECT_EQ(font().NumGlyphs, 6);
    EXPECT_EQ(ui.faceList->currentIndex(), 0);
    EXPECT_EQ(ui.Label9->text(), " 6");
    ASSERT_FALSE(toolkit.messages.empty());
    EXPECT_EQ(toolkit.messages.front(), "Not found: loca");
    EXPECT_TRUE(ui.StatusBar1->currentMessage().endsWith("could not be opened: it has no loca table"))
        << ui.StatusBar1->currentMessage().toStdString();
}

TEST_F(MainWindow, CollectionsAndWebFontsCanBeDropped)
{
    const ttf::ByteVector six = ttf::buildFont(ttf::squaresFont(6));
    ttf::TempFontFile ttc(ttf::collection({ttf::buildFont(ttf::squaresFont(3)), six}), ".ttc");
    ttf::TempFontFile woff(ttf::woff(six), ".woff");
    EXPECT_TRUE(dropFile(w, QString::fromStdString(ttc.path())));
    EXPECT_EQ(ui.Label9->text(), " 3");
    EXPECT_TRUE(ui.facePicker->isVisibleTo(&w));
    EXPECT_TRUE(dropFile(w, QString::fromStdString(woff.path())));
    EXPECT_EQ(ui.Label9->text(), " 6");
    EXPECT_FALSE(ui.facePicker->isVisibleTo(&w));
    EXPECT_TRUE(toolkit.opens.empty());
}

// Waits for the file watcher's reload until `done` holds; false after a few seconds.
bool waitUntil(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

QByteArray squares(int glyphs)
{
    const ttf::ByteVector bytes = ttf::buildFont(ttf::squaresFont(glyphs));
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// A font rebuilt while open is read again at the glyph and zoom shown,
// however the file is written; a half-written file leaves the font shown
// and the status bar says why, without a message box.
TEST_F(MainWindow, AFontRewrittenOnDiskIsReloadedAtTheGlyphShown)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("built.ttf");
    writeFile(path, squares(6));
    openFont(path.toStdString());
    ui.Combo1->setCurrentIndex(3);
    ui.Picture1->zoomIn();
    const double zoom = ui.Picture1->zoom();
    ASSERT_GT(zoom, 1);

    const auto renameOver = [&](const QByteArray& bytes) {
        const QString fresh = folder.filePath("built.ttf.new");
        writeFile(fresh, bytes);
        ASSERT_EQ(std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()), 0);
    };
    const struct {
        const char* how;
        std::function<void()> write;
        const char* count; // Label9 once done
        const char* status;
    } steps[] = {
        {"rewritten in place", [&] { writeFile(path, squares(8)); }, " 8", "Reloaded built.ttf"},
        {"renamed over", [&] { renameOver(squares(9)); }, " 9", "Reloaded built.ttf"},
        {"cut short", [&] { writeFile(path, squares(10).left(40)); }, " 9", "built.ttf could not be reloaded: "},
        {"rewritten, then F5", [&] { writeFile(path, squares(7)); ui.mnuReload->trigger(); }, " 7", "Reloaded built.ttf"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.how);
        step.write();
        EXPECT_TRUE(waitUntil([&] { return ui.StatusBar1->currentMessage().startsWith(step.status); }))
            << ui.StatusBar1->currentMessage().toStdString();
        EXPECT_EQ(ui.Label9->text(), step.count);
        EXPECT_EQ(w.session().CurrentGlyph(), 3);
        EXPECT_EQ(ui.Text6->text(), "3");
        EXPECT_EQ(ui.Picture1->zoom(), zoom);
        ui.StatusBar1->clearMessage();
    }
    EXPECT_TRUE(toolkit.messages.empty());
}

TEST_F(MainWindow, TheStatusBarSaysWhatAFileThatIsNoFontIs)
{
    const std::string notes = "Glyphs are drawn\nfrom their outlines.\n";
    ttf::TempFontFile file(ttf::ByteVector(notes.begin(), notes.end()), ".ttf");
    openFont(file.path());
    EXPECT_TRUE(ui.StatusBar1->currentMessage().endsWith("could not be opened: it is a text file"))
        << ui.StatusBar1->currentMessage().toStdString();
    EXPECT_FALSE(toolkit.messages.empty()); // the loader's own boxes as before
}

} // namespace
