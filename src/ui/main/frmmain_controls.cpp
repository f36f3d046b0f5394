#include "ui/main/frmmain.h"

#include <utility>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include "ui/main/combo_box.h"
#include "ui/main/face_picker.h"
#include "ui/main/find_field.h"
#include "ui/main/form_layout.h"
#include "ui/main/glyph_canvas.h"
#include "ui/status_label.h"

namespace {

// A control of the form, named as designed and placed in twips.
template <class Control, class... Args>
Control* placed(const char* name, QWidget* parent, QRect where, Args&&... args)
{
    auto* c = new Control(std::forward<Args>(args)..., parent);
    c->setObjectName(name);
    c->setGeometry(where);
    return c;
}

QLabel* label(const char* name, const char* caption, QWidget* parent, QRect where, Qt::Alignment align = Qt::AlignRight)
{
    auto* l = placed<QLabel>(name, parent, where, caption);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

QGroupBox* frame(const char* name, const char* caption, QWidget* parent, QRect where)
{
    auto* f = placed<QGroupBox>(name, parent, where, caption);
    f->setFont(formFont(8.25, true)); // the caption is underlined, the controls inside are not
    return f;
}

ComboBox* combo(const char* name, QWidget* parent, QRect where)
{
    auto* c = placed<ComboBox>(name, parent, where);
    c->setFont(formFont(8.25));
    c->setMaxVisibleItems(20);
    return c;
}

QPushButton* button(const char* name, const char* caption, QWidget* parent, QRect where)
{
    auto* b = placed<QPushButton>(name, parent, where, caption);
    b->setFont(formFont(8.25));
    return b;
}

QSlider* slider(const char* name, QWidget* parent, QRect where, int minimum, int maximum, int position)
{
    auto* s = placed<QSlider>(name, parent, where, Qt::Horizontal);
    s->setRange(minimum, maximum);
    s->setValue(position);
    s->setPageStep(5);
    s->setSingleStep(1);
    s->setEnabled(false); // until a font is open: the sliders redraw whenever they move
    return s;
}

QLineEdit* readout(const char* name, QWidget* parent, QRect where)
{
    auto* t = placed<QLineEdit>(name, parent, where);
    t->setFont(formFont(8.25));
    t->setReadOnly(true);
    return t;
}

} // namespace

// The client area scrolls when the window is made smaller than the smallest
// that shows every control; the picture gives up some height before that.
void frmmain::createControls()
{
    auto* scroller = new QScrollArea(this);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidgetResizable(true);
    setCentralWidget(scroller);
    auto* client = new QWidget;
    constexpr int PictureShrink = 200; // pixels
    client->setMinimumSize(twips(0, 0, 10755, 9420).size() - QSize(0, PictureShrink));
    StatusBar1 = new QStatusBar(client);
    StatusBar1->setGeometry(twips(0, 9165, 10755, 255));
    StatusBar1->setSizeGripEnabled(false);

    createFontLine(client);

    Picture1 = new GlyphCanvas(client);
    // The picture fills the drawing area; its one-pixel border lies around it.
    Picture1->setGeometry(twips(240, 960, 5300, 5300).adjusted(-1, -1, 1, 1));
    Picture1->setPicture(&surface_);

    createViewFrame(client);
    createGlyphFrame(client);
    for (QLabel* l : Frame1->findChildren<QLabel*>())
        l->setFont(formFont(8.25));
    for (QLabel* l : Frame2->findChildren<QLabel*>())
        l->setFont(formFont(8.25));

    createToolbar(client);

    for (QLabel* l : client->findChildren<QLabel*>())
        fitCaption(l, l->text());
    fitCaption(Check1, Check1->text(), Check1->sizeHint().width() - Check1->fontMetrics().horizontalAdvance(Check1->text()));

    // Tab order: the lists, the buttons, the sliders, the read-out, "Info...", the check box.
    QWidget* order[] = {Combo2, Combo3, Combo1, Command3, Command2, Slider2, Slider1, Text4, Text3,
                        Text2, Text1, Text5, Text6, Text7, Command1, Check1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    zoomInfo_ = new QLabel(QStringLiteral("100%"), StatusBar1);
    StatusBar1->addPermanentWidget(zoomInfo_);
    scroller->setWidget(client);
}

// The line above the picture: the face name, the face picker, the glyph count and "Info...".
void frmmain::createFontLine(QWidget* client)
{
    Label1 = label("Label1", "Name:", client, twips(120, 480, 495, 255));
    Label2 = label("Label2", "", client, twips(720, 480, 7095, 255), Qt::AlignLeft);
    Label2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label2->setAutoFillBackground(true);
    QPalette yellow = Label2->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 192));
    Label2->setPalette(yellow);

    facePicker_ = new FacePicker(client);
    facePicker_->setObjectName("facePicker");
    facePicker_->setGeometry(twips(4680, 450, 3135, 315));

    Label8 = label("Label8", "Glyphs:", client, twips(7920, 480, 615, 255));
    Label9 = label("Label9", "", client, twips(8640, 480, 975, 255), Qt::AlignLeft);
    Label9->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label9->setBackgroundRole(QPalette::Base);
    Label9->setAutoFillBackground(true);

    Command1 = button("Command1", "Info...", client, twips(9840, 480, 615, 255));
}

// The toolbar's Open button and Find field, and the status bar's glyph description.
void frmmain::createToolbar(QWidget* client)
{
    Toolbar1 = new QToolBar(client);
    Toolbar1->setGeometry(twips(0, 0, 10755, 360));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1Open = Toolbar1->addAction(QIcon(":/open.png"), "Open");
    Toolbar1Open->setData(QStringLiteral("Open"));
    Toolbar1Open->setToolTip("Open...");
    findField_ = new FindField(Toolbar1);
    findField_->setObjectName("findField");
    findField_->setMaximumWidth(twips(0, 0, 3000, 0).width());
    Toolbar1->addWidget(findField_);
    glyphInfo_ = new StatusLabel(StatusBar1);
    glyphInfo_->setObjectName("glyphInfo");
}

// " View ": the three lists, Previous and Next, the sliders and the start-mark check box.
void frmmain::createViewFrame(QWidget* client)
{
    Frame1 = frame("Frame1", " View ", client, twips(240, 6360, 5295, 2535));
    Label7 = label("Label7", "Glyph:", Frame1, twips(240, 360, 495, 255));
    Combo1 = combo("Combo1", Frame1, twips(840, 360, 975, 315));
    Label12 = label("Label12", "Ascii:", Frame1, twips(240, 840, 495, 255));
    Combo2 = combo("Combo2", Frame1, twips(840, 840, 975, 315));
    Label13 = label("Label13", "Chars:", Frame1, twips(240, 1320, 495, 255));
    Combo3 = combo("Combo3", Frame1, twips(840, 1320, 975, 315));
    Command3 = button("Command3", "Previous", Frame1, twips(2760, 360, 975, 375));
    Command3->setEnabled(false);
    Command2 = button("Command2", "Next", Frame1, twips(3960, 360, 975, 375));
    Command2->setEnabled(false);
    Label10 = label("Label10", "Scale:", Frame1, twips(2160, 960, 495, 255), Qt::AlignLeft);
    Slider1 = slider("Slider1", Frame1, twips(2640, 960, 2415, 255), 1, 10, 2);
    Label11 = label("Label11", "Offset:", Frame1, twips(2160, 1440, 495, 255), Qt::AlignLeft);
    Slider2 = slider("Slider2", Frame1, twips(2640, 1440, 2415, 255), 0, 15, 9);
    Check1 = new QCheckBox("View starting points of contours", Frame1);
    Check1->setGeometry(twips(840, 1920, 2535, 255));
    Check1->setFont(formFont(8.25));

}

// " Glyph ": the read-out boxes and the listing.
void frmmain::createGlyphFrame(QWidget* client)
{
    Frame2 = frame("Frame2", " Glyph ", client, twips(5760, 840, 4695, 8055));
    // Each box's caption stands 720 twips to its left.
    const struct {
        const char *captionName, *caption;
        int x, y;
        QLineEdit* frmmain::*box;
        const char* boxName;
        int width;
    } readouts[] = {
        {"Label15", "Number:", 360, 360, &frmmain::Text6, "Text6", 975},
        {"Label16", "Name:", 2280, 360, &frmmain::Text7, "Text7", 1335},
        {"Label3", "minY:", 360, 840, &frmmain::Text1, "Text1", 975},
        {"Label5", "minX:", 2640, 840, &frmmain::Text3, "Text3", 975},
        {"Label4", "maxY:", 360, 1320, &frmmain::Text2, "Text2", 975},
        {"Label6", "maxX:", 2640, 1320, &frmmain::Text4, "Text4", 975},
    };
    for (const auto& r : readouts) {
        label(r.captionName, r.caption, Frame2, twips(r.x, r.y, 615, 255));
        this->*r.box = readout(r.boxName, Frame2, twips(r.x + 720, r.y, r.width, 285));
    }
    Label14 = label("Label14", "Lines:", Frame2, twips(360, 1800, 495, 255), Qt::AlignLeft);
    Text5 = new QPlainTextEdit(Frame2);
    Text5->setGeometry(twips(360, 2040, 3975, 5655));
    QFont listing(QStringLiteral("DejaVu Sans Mono"), 9);
    listing.setUnderline(false);
    Text5->setFont(listing);
    Text5->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text5->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    createPointsTab();
}

void frmmain::createMenus()
{
    mnuFile = menuBar()->addMenu("File");
    mnuOpen = mnuFile->addAction("Open...");
    mnuOpen->setShortcut(QKeySequence::Open);
    recentFonts_ = mnuFile->addMenu("Recent Fonts");
    recentFonts_->setObjectName("mnuRecentFonts");
    mnuReload = mnuFile->addAction("Reload");
    mnuReload->setObjectName("mnuReload");
    mnuReload->setShortcut(QKeySequence(Qt::Key_F5));
    mnuReload->setEnabled(false); // until a font is open
    compareMenu_ = mnuFile->addMenu("Compare With...");
    compareMenu_->setObjectName("mnuCompareWithMenu");
    mnuCompareWith = compareMenu_->menuAction();
    mnuCompareWith->setObjectName("mnuCompareWith");
    mnuCompareWith->setEnabled(false); // until a font is open
    // One command, in the File menu and in the picture's popup.
    mnuSavePictureAs = mnuFile->addAction("Save Picture As...");
    mnuSavePictureAs->setShortcut(QKeySequence::Save);
    mnuSavePictureAs->setEnabled(false); // until a font is open
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction("Exit");
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    createEditMenu();
    mnuView = menuBar()->addMenu("View");
    mnuOverview = mnuView->addAction("Overview");
    mnuOverview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    mnuView->addSeparator();
    mnuComposites = mnuView->addAction("Composite glyphs");
    mnuComposites->setObjectName("mnuComposites"); // remembered between runs
    mnuComposites->setCheckable(true);
    mnuMetrics = mnuView->addAction("Font metrics");
    mnuMetrics->setObjectName("mnuMetrics");
    mnuMetrics->setCheckable(true);
    mnuStretch = mnuView->addAction("Stretch to the picture");
    mnuStretch->setObjectName("mnuStretch");
    mnuStretch->setCheckable(true);
    createCanvasMenu();

    mnuHelp = menuBar()->addMenu("Help");
    mnuAbout = mnuHelp->addAction("About...");

    // Opened by a right click on the picture, never from the menu bar.
    mnuSetup = new QMenu("mnupopup", this);
    mnuSetup->addAction(mnuSavePictureAs);
}

// The controls made without a helper take their member names as object names too.
void frmmain::nameControls()
{
    const std::pair<QObject*, const char*> named[] = {
        {StatusBar1, "StatusBar1"}, {Picture1, "Picture1"}, {Toolbar1, "Toolbar1"},
        {Toolbar1Open, "Toolbar1Open"}, {Check1, "Check1"}, {Text5, "Text5"},
        {mnuFile, "mnuFile"}, {mnuOpen, "mnuOpen"}, {mnuSavePictureAs, "mnuSavePictureAs"},
        {mnuExit, "mnuExit"}, {mnuView, "mnuView"}, {mnuHelp, "mnuHelp"}, {mnuAbout, "mnuAbout"},
        {mnuSetup, "mnuSetup"}};
    for (const auto& [object, name] : named)
        object->setObjectName(name);
}
