#include "ui/main/frmmain.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include "tables/cmap.h"
#include "tables/find.h"
#include "tables/loader.h"
#include "platform/face_name.h"
#include "platform/font_file.h"
#include "platform/picture_export.h"
#include "platform/shell.h"
#include "platform/toolkit.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/dialogs/frmInfo.h"
#include "ui/overview/font_glyph_source.h"
#include "ui/main/find_field.h"
#include "ui/main/form_layout.h"
#include "ui/overview/overview.h"
#include "ui/main/glyph_canvas.h"

namespace {

QString fromPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }
std::string toPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// A dropped file the window opens: one local .ttf file.
QString droppedFont(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QString path = data->urls().first().toLocalFile();
    return path.endsWith(QLatin1String(".ttf"), Qt::CaseInsensitive) ? path : QString();
}

// The form's controls, each placed in twips as designed.
QLabel* label(const char* caption, QWidget* parent, QRect where, Qt::Alignment align = Qt::AlignRight)
{
    auto* l = new QLabel(caption, parent);
    l->setGeometry(where);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(align | Qt::AlignVCenter);
    return l;
}

QGroupBox* frame(const char* caption, QWidget* parent, QRect where)
{
    auto* f = new QGroupBox(caption, parent);
    f->setGeometry(where);
    f->setFont(formFont(8.25, true)); // the caption is underlined, the controls inside are not
    return f;
}

ComboBox* combo(QWidget* parent, QRect where)
{
    auto* c = new ComboBox(parent);
    c->setGeometry(where);
    c->setFont(formFont(8.25));
    c->setMaxVisibleItems(20);
    return c;
}

QPushButton* button(const char* caption, QWidget* parent, QRect where)
{
    auto* b = new QPushButton(caption, parent);
    b->setGeometry(where);
    b->setFont(formFont(8.25));
    return b;
}

QSlider* slider(QWidget* parent, QRect where, int minimum, int maximum, int position)
{
    auto* s = new QSlider(Qt::Horizontal, parent);
    s->setGeometry(where);
    s->setRange(minimum, maximum);
    s->setValue(position);
    s->setPageStep(5);
    s->setSingleStep(1);
    s->setEnabled(false); // until a font is open: the sliders redraw whenever they move
    return s;
}

QLineEdit* readout(QWidget* parent, QRect where)
{
    auto* t = new QLineEdit(parent);
    t->setGeometry(where);
    t->setFont(formFont(8.25));
    t->setReadOnly(true);
    return t;
}


} // namespace

frmmain::frmmain(Toolkit& toolkit, ShellOpener& shell, QWidget* parent)
    : QMainWindow(parent), toolkit_(toolkit), shell_(shell), font_(std::make_shared<FontState>()),
      surface_(qApp->devicePixelRatio())
{
    static const bool resourcesLoaded = [] {
        Q_INIT_RESOURCE(lumaro);
        return true;
    }();
    (void)resourcesLoaded;

    setWindowTitle("Lumaro 0.14a");
    setWindowIcon(QIcon(":/lumaro.png"));
    setFont(formFont(8.25));
    setAcceptDrops(true);

    createControls();
    createMenus();
    connectEvents();

    // The window keeps its designed size: a client area of 10755 x 9420 twips below the menu bar.
    const QSize client = twips(0, 0, 10755, 9420).size();
    centralWidget()->setFixedSize(client);
    setFixedSize(client.width(), client.height() + menuBar()->sizeHint().height());
    placeWindow();

    Form_Load();
    restoreSettings();
}

frmmain::~frmmain() = default;

void frmmain::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);
    StatusBar1 = new QStatusBar(client);
    StatusBar1->setGeometry(twips(0, 9165, 10755, 255));
    StatusBar1->setSizeGripEnabled(false);

    Label1 = label("Name:", client, twips(120, 480, 495, 255));
    Label2 = label("", client, twips(720, 480, 7095, 255), Qt::AlignLeft);
    Label2->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label2->setAutoFillBackground(true);
    QPalette yellow = Label2->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 192));
    Label2->setPalette(yellow);

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

    Label8 = label("Glyphs:", client, twips(7920, 480, 615, 255));
    Label9 = label("", client, twips(8640, 480, 975, 255), Qt::AlignLeft);
    Label9->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Label9->setBackgroundRole(QPalette::Base);
    Label9->setAutoFillBackground(true);

    Toolbar1 = new QToolBar(client);
    Toolbar1->setGeometry(twips(0, 0, 10755, 360));
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(16, 16));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
    Toolbar1Open = Toolbar1->addAction(QIcon(":/open.png"), "Open");
    Toolbar1Open->setData(QStringLiteral("Open"));
    Toolbar1Open->setToolTip("Open...");
    findField_ = new FindField(Toolbar1);
    findField_->setMaximumWidth(twips(0, 0, 3000, 0).width());
    Toolbar1->addWidget(findField_);
    glyphInfo_ = new QLabel(StatusBar1);
    StatusBar1->addPermanentWidget(glyphInfo_);

    Command1 = button("Info...", client, twips(9840, 480, 615, 255));

    for (QLabel* l : client->findChildren<QLabel*>())
        fitCaption(l, l->text());
    fitCaption(Check1, Check1->text(), Check1->sizeHint().width() - Check1->fontMetrics().horizontalAdvance(Check1->text()));

    // Tab order: the lists, the buttons, the sliders, the read-out, "Info...", the check box.
    QWidget* order[] = {Combo2, Combo3, Combo1, Command3, Command2, Slider2, Slider1, Text4, Text3,
                        Text2, Text1, Text5, Text6, Text7, Command1, Check1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// " View ": the three lists, Previous and Next, the sliders and the start-mark check box.
void frmmain::createViewFrame(QWidget* client)
{
    Frame1 = frame(" View ", client, twips(240, 6360, 5295, 2535));
    Label7 = label("Glyph:", Frame1, twips(240, 360, 495, 255));
    Combo1 = combo(Frame1, twips(840, 360, 975, 315));
    Label12 = label("Ascii:", Frame1, twips(240, 840, 495, 255));
    Combo2 = combo(Frame1, twips(840, 840, 975, 315));
    Label13 = label("Chars:", Frame1, twips(240, 1320, 495, 255));
    Combo3 = combo(Frame1, twips(840, 1320, 975, 315));
    Command3 = button("Previous", Frame1, twips(2760, 360, 975, 375));
    Command3->setEnabled(false);
    Command2 = button("Next", Frame1, twips(3960, 360, 975, 375));
    Command2->setEnabled(false);
    Label10 = label("Scale:", Frame1, twips(2160, 960, 495, 255), Qt::AlignLeft);
    Slider1 = slider(Frame1, twips(2640, 960, 2415, 255), 1, 10, 2);
    Label11 = label("Offset:", Frame1, twips(2160, 1440, 495, 255), Qt::AlignLeft);
    Slider2 = slider(Frame1, twips(2640, 1440, 2415, 255), 0, 15, 9);
    Check1 = new QCheckBox("View starting points of contours", Frame1);
    Check1->setGeometry(twips(840, 1920, 2535, 255));
    Check1->setFont(formFont(8.25));

}

// " Glyph ": the read-out boxes and the listing.
void frmmain::createGlyphFrame(QWidget* client)
{
    Frame2 = frame(" Glyph ", client, twips(5760, 840, 4695, 8055));
    Label15 = label("Number:", Frame2, twips(360, 360, 615, 255));
    Text6 = readout(Frame2, twips(1080, 360, 975, 285));
    Label16 = label("Name:", Frame2, twips(2280, 360, 615, 255));
    Text7 = readout(Frame2, twips(3000, 360, 1335, 285));
    Label3 = label("minY:", Frame2, twips(360, 840, 615, 255));
    Text1 = readout(Frame2, twips(1080, 840, 975, 285));
    Label5 = label("minX:", Frame2, twips(2640, 840, 615, 255));
    Text3 = readout(Frame2, twips(3360, 840, 975, 285));
    Label4 = label("maxY:", Frame2, twips(360, 1320, 615, 255));
    Text2 = readout(Frame2, twips(1080, 1320, 975, 285));
    Label6 = label("maxX:", Frame2, twips(2640, 1320, 615, 255));
    Text4 = readout(Frame2, twips(3360, 1320, 975, 285));
    Label14 = label("Lines:", Frame2, twips(360, 1800, 495, 255), Qt::AlignLeft);
    Text5 = new QPlainTextEdit(Frame2);
    Text5->setGeometry(twips(360, 2040, 3975, 5655));
    QFont listing(QStringLiteral("DejaVu Sans Mono"), 9);
    listing.setUnderline(false);
    Text5->setFont(listing);
    Text5->setLineWrapMode(QPlainTextEdit::NoWrap);
    Text5->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

}

void frmmain::createMenus()
{
    mnuFile = menuBar()->addMenu("File");
    mnuOpen = mnuFile->addAction("Open...");
    mnuOpen->setShortcut(QKeySequence::Open);
    recentFonts_ = mnuFile->addMenu("Recent Fonts");
    recentFonts_->setObjectName("mnuRecentFonts");
    // One command, in the File menu and in the picture's popup.
    mnuSavePictureAs = mnuFile->addAction("Save Picture As...");
    mnuSavePictureAs->setShortcut(QKeySequence::Save);
    mnuSavePictureAs->setEnabled(false); // until a font is open
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction("Exit");
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

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

    mnuHelp = menuBar()->addMenu("Help");
    mnuAbout = mnuHelp->addAction("About...");

    // Opened by a right click on the picture, never from the menu bar.
    mnuSetup = new QMenu("mnupopup", this);
    mnuSetup->addAction(mnuSavePictureAs);
}

void frmmain::connectEvents()
{
    connect(mnuOpen, &QAction::triggered, this, &frmmain::mnuOpen_Click);
    connect(mnuExit, &QAction::triggered, this, &frmmain::mnuExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmmain::mnuAbout_Click);
    connect(mnuOverview, &QAction::triggered, this, &frmmain::showOverview);
    connect(mnuSavePictureAs, &QAction::triggered, this, &frmmain::mnuSavePictureAs_Click);
    connect(mnuComposites, &QAction::toggled, this, &frmmain::setComposites);
    connect(findField_, &QLineEdit::returnPressed, this, &frmmain::findGlyph);
    connect(findField_, &FindField::leave, this, [this] { Picture1->setFocus(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this), &QShortcut::activated, this, [this] {
        findField_->setFocus();
        findField_->selectAll();
    });
    connect(mnuMetrics, &QAction::toggled, this, [this](bool on) {
        view_.Metrics = on;
        if (font_->Loaded && Combo1->ListCount() > 0)
            ShowGlyph(CurrentGlyph);
    });
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmmain::Toolbar1_ButtonClick);

    // Like the user's choices, changes made from code raise these; EventsEnabled tells them apart.
    connect(Combo1, &ComboBox::Click, this, &frmmain::Combo1_Click);
    connect(Combo2, &ComboBox::Click, this, &frmmain::Combo2_Click);
    connect(Combo3, &ComboBox::Click, this, &frmmain::Combo3_Click);
    connect(Check1, &QCheckBox::stateChanged, this, &frmmain::Check1_Click);
    connect(Slider1, &QSlider::valueChanged, this, &frmmain::Slider1_Change);
    connect(Slider2, &QSlider::valueChanged, this, &frmmain::Slider2_Change);

    connect(Command1, &QPushButton::clicked, this, &frmmain::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &frmmain::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &frmmain::Command3_Click);
    connect(Picture1, &GlyphCanvas::MouseUp, this, &frmmain::Picture1_MouseUp);

    // Page Down and Page Up step like "Next" and "Previous", wherever the focus is.
    connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, this, [this] {
        if (Command2->isEnabled())
            Command2_Click();
    });
    connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, this, [this] {
        if (Command3->isEnabled())
            Command3_Click();
    });
}

void frmmain::Form_Load()
{
    view_.ShowStartPoints = 1;
    EventsEnabled = 0;
    view_.ViewScale = 2;
    view_.ViewMargin = 900;
    Check1->setChecked(true); // its Click runs now and does nothing
}

void frmmain::Form_Unload()
{
    font_ = std::make_shared<FontState>();
    lists_ = {};
}

void frmmain::closeEvent(QCloseEvent* event)
{
    saveSettings();
    Form_Unload();
    event->accept();
}

void frmmain::mnuExit_Click()
{
    close();
}

void frmmain::mnuOpen_Click()
{
    OpenFont();
}

void frmmain::Toolbar1_ButtonClick(QAction* Button)
{
    if (Button && Button->data().toString() == QLatin1String("Open"))
        OpenFont();
}

void frmmain::OpenFont()
{
    const CommonDialog CD1{"Load TTF file", "TTF files (*.ttf)|*.ttf|All files (*.*)|*.*", startFolder()};
    const std::string FontFileName = toolkit_.ShowOpen(CD1);
    if (FontFileName.empty())
        return; // cancelled: the font on display stays
    settings_.setLastFolder(QFileInfo(fromPath(FontFileName)).absolutePath());
    OpenFontFile(FontFileName);
}

namespace {

// Passes the boxes on and keeps their texts, to say in the status bar why an open failed.
class KeptMessages : public MessageSink {
public:
    explicit KeptMessages(MessageSink& shown) : shown_(shown) {}
    void MsgBox(const std::string& text) override
    {
        shown_.MsgBox(text);
        texts.push_back(text);
    }
    std::vector<std::string> texts;

private:
    MessageSink& shown_;
};

// Why a load was abandoned, in plain words, from the boxes it showed.
QString whyNotOpened(const std::vector<std::string>& boxes)
{
    for (const std::string& box : boxes) {
        const QString text = QString::fromStdString(box);
        if (text.startsWith(QLatin1String("Not found: ")))
            return "it has no " + text.mid(11) + " table";
        if (text == QLatin1String("wrong cmapFormat!!"))
            return QStringLiteral("its character map is of a format other than 0 and 4");
        if (const qsizetype at = text.indexOf(QLatin1String("Reading: ")); at >= 0)
            return "the file ends inside its " + text.mid(at + 9);
        if (text.contains(QLatin1String("Code = 10")))
            return QStringLiteral("it lists more than 32 tables");
        if (text.contains(QLatin1String("Code = 16")))
            return QStringLiteral("its glyph locations are in an unknown format");
    }
    return QStringLiteral("the file cannot be read");
}

} // namespace

void frmmain::OpenFontFile(const std::string& FontFileName)
{
    // The font is loaded on its own and replaces the open one only once it
    // has loaded: a file that fails leaves what was on display.
    KeptMessages boxes(toolkit_);
    OpenedFont opened = OpenFontPath(FontFileName, view_.Composites, boxes);
    if (opened.result == LoadResult::Unreadable)
        toolkit_.MsgBox("The file " + FontFileName + " could not be read.");
    if (opened.result != LoadResult::Loaded) {
        StatusBar1->showMessage(QFileInfo(fromPath(FontFileName)).fileName() + " could not be opened: "
                                + whyNotOpened(boxes.texts));
        return;
    }
    StatusBar1->clearMessage();
    mnuSavePictureAs->setEnabled(true);
    Label2->setText(QString::fromStdString(GetFaceName(FontFileName)) + QLatin1Char(' '));
    EventsEnabled = 0;
    Combo1->Clear();
    Combo2->Clear();
    Combo3->Clear();
    font_ = std::make_shared<const FontState>(std::move(opened.font));
    lists_ = std::move(opened.lists);
    rememberFont(FontFileName);
    refreshOverview();
    findField_->useNames(*font_);
    Label9->setText(QString::fromStdString(GlyphCountText(*font_)));
    fillLists();
    if (opened.firstEntry < 0) {
        showNoGlyph(); // no glyph to show; the font stays open for "Info..."
        return;
    }
    CurrentGlyph = opened.firstGlyph;
    ShowGlyph(CurrentGlyph);

    EventsEnabled = 0;
    Combo1->SetListIndex(opened.firstEntry);
    Combo2->SetListIndex(std::min(1, Combo2->ListCount() - 1));
    Combo3->SetListIndex(std::min(1, Combo3->ListCount() - 1));
    for (QWidget* w : std::initializer_list<QWidget*>{Command2, Command3, Slider1, Slider2})
        w->setEnabled(true);
    EventsEnabled = 1;
}

void frmmain::fillLists()
{
    QStringList glyphs, codes, chars;
    for (int g : lists_.GlyphList)
        glyphs << QString::number(g);
    for (int c : lists_.CharList)
        codes << QString::number(c);
    for (int c : lists_.AsciiList)
        chars << QString(QChar(c));
    Combo1->AddItems(glyphs);
    Combo2->AddItems(codes);
    Combo3->AddItems(chars);
}

// The window as before the first open, but for the face name, the glyph count and the view settings.
// The lists are made again with composite glyphs or without; the glyph on
// display stays when the new list has it, else the first entry is shown.
void frmmain::setComposites(bool on)
{
    view_.Composites = on;
    if (!font_->Loaded)
        return;
    lists_ = MakePickLists(*font_, on);
    const QSignalBlocker block1(Combo1), block2(Combo2), block3(Combo3);
    EventsEnabled = 0;
    Combo1->Clear();
    Combo2->Clear();
    Combo3->Clear();
    fillLists();
    if (lists_.GlyphList.empty()) {
        showNoGlyph();
        return;
    }
    const auto shown = std::find(lists_.GlyphList.begin(), lists_.GlyphList.end(), CurrentGlyph);
    const int entry = shown == lists_.GlyphList.end() ? 0 : int(shown - lists_.GlyphList.begin());
    CurrentGlyph = lists_.GlyphList[std::size_t(entry)];
    Combo1->SetListIndex(entry);
    Combo2->SetListIndex(std::min(1, Combo2->ListCount() - 1));
    Combo3->SetListIndex(std::min(1, Combo3->ListCount() - 1));
    for (QWidget* w : std::initializer_list<QWidget*>{Command2, Command3, Slider1, Slider2})
        w->setEnabled(true);
    ShowGlyph(CurrentGlyph);
    EventsEnabled = 1;
}

void frmmain::showNoGlyph()
{
    EventsEnabled = 0;
    CurrentGlyph = 0;
    if (!font_->Loaded)
        Label9->clear();
    Combo1->Clear();
    Combo2->Clear();
    Combo3->Clear();
    surface_.Cls();
    Picture1->update();
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text6, Text7})
        t->clear();
    glyphInfo_->clear();
    Text5->clear();
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Slider1->setEnabled(false);
    Slider2->setEnabled(false);
}

void frmmain::ShowGlyph(int n)
{
    const GlyphReadout readout = ::ShowGlyph(n, *font_, view_, surface_, toolkit_);
    Picture1->setGlyph(readout.drawn, fontToPicture(surface_, readout.work, view_));
    Picture1->update();
    Text1->setText(QString::fromStdString(readout.minY));
    Text2->setText(QString::fromStdString(readout.maxY));
    Text3->setText(QString::fromStdString(readout.minX));
    Text4->setText(QString::fromStdString(readout.maxX));
    Text5->setPlainText(QString::fromStdString(readout.listing));
    Text6->setText(QString::fromStdString(readout.number));
    Text7->setText(QString::fromStdString(readout.name));
    glyphInfo_->setText(GlyphDescription(*font_, n));
    emit glyphShown(n);
}

QString frmmain::glyphDescription() const
{
    return glyphInfo_->text();
}

// Find: the glyph the field names is shown, listed or not; a query that
// matches nothing is said in the status bar.
void frmmain::findGlyph()
{
    const QString query = findField_->text().trimmed();
    if (query.isEmpty() || !font_->Loaded)
        return;
    const std::optional<int> glyph = FindGlyph(*font_, font_->Unicode, query.toStdString());
    if (!glyph) {
        StatusBar1->showMessage(QString::fromUtf8("Nothing in this font matches “") + query + QString::fromUtf8("”"));
        return;
    }
    StatusBar1->clearMessage();
    showGlyphNumber(*glyph);
}

void frmmain::showGlyphNumber(int glyph)
{
    if (!font_->Loaded || glyph < 0 || glyph >= font_->NumGlyphs)
        return;
    const auto entry = std::lower_bound(lists_.GlyphList.begin(), lists_.GlyphList.end(), glyph);
    const bool listed = entry != lists_.GlyphList.end() && *entry == glyph;
    {
        const QSignalBlocker quiet(Combo1);
        Combo1->SetListIndex(listed ? int(entry - lists_.GlyphList.begin()) : -1);
    }
    CurrentGlyph = glyph;
    ShowGlyph(CurrentGlyph);
}

void frmmain::showOverview()
{
    if (!overview_) {
        overview_ = new OverviewWindow(toolkit_, this);
        connect(overview_, &OverviewWindow::glyphActivated, this, &frmmain::showGlyphNumber);
        connect(this, &frmmain::glyphShown, overview_, &OverviewWindow::showGlyph);
        refreshOverview();
    }
    overview_->show();
    overview_->raise();
    overview_->activateWindow();
}

void frmmain::refreshOverview()
{
    if (!overview_)
        return;
    if (!font_->Loaded) {
        overview_->setSource(nullptr);
        return;
    }
    const QString face = Label2->text().trimmed();
    const std::string name = face.isEmpty() ? QFileInfo(fromPath(font_->FontFileName)).fileName().toStdString() : face.toStdString();
    overview_->setSource(std::make_shared<FontGlyphSource>(font_, name));
    overview_->showGlyph(CurrentGlyph);
}

void frmmain::Combo1_Click()
{
    if (EventsEnabled != 1)
        return;
    const int i = Combo1->ListIndex();
    if (i < 0 || std::size_t(i) >= lists_.GlyphList.size())
        return;
    CurrentGlyph = lists_.GlyphList[std::size_t(i)];
    ShowGlyph(CurrentGlyph);
}

void frmmain::Combo2_Click()
{
    const int i = Combo2->ListIndex();
    if (EventsEnabled != 1 || i == 0)
        return; // the first entry never changes the glyph
    if (i < 0 || std::size_t(i) >= lists_.CharList.size())
        return;
    CurrentGlyph = CharToGlyph(*font_, lists_.CharList[std::size_t(i)]);
    ShowGlyph(CurrentGlyph);
}

void frmmain::Combo3_Click()
{
    const int i = Combo3->ListIndex();
    if (EventsEnabled != 1 || i == 0)
        return; // the first entry (the blank) never changes the glyph
    if (i < 0 || std::size_t(i) >= lists_.AsciiList.size())
        return;
    CurrentGlyph = CharToGlyph(*font_, lists_.AsciiList[std::size_t(i)]);
    ShowGlyph(CurrentGlyph);
}

void frmmain::Command2_Click()
{
    if (Combo1->ListCount() == 0)
        return;
    EventsEnabled = 0;
    Command2->setEnabled(false);
    const int i = Combo1->ListIndex();
    Combo1->SetListIndex(i + 1 > Combo1->ListCount() - 1 ? 0 : i + 1);
    CurrentGlyph = lists_.GlyphList[std::size_t(Combo1->ListIndex())];
    ShowGlyph(CurrentGlyph);
    Command2->setEnabled(true);
    Command2->setFocus();
    EventsEnabled = 1;
}

void frmmain::Command3_Click()
{
    if (Combo1->ListCount() == 0)
        return;
    EventsEnabled = 0;
    Command3->setEnabled(false);
    const int i = Combo1->ListIndex();
    Combo1->SetListIndex(i - 1 < 0 ? Combo1->ListCount() - 1 : i - 1);
    CurrentGlyph = lists_.GlyphList[std::size_t(Combo1->ListIndex())];
    ShowGlyph(CurrentGlyph);
    Command3->setEnabled(true);
    Command3->setFocus();
    EventsEnabled = 1;
}

void frmmain::Slider1_Change()
{
    view_.ViewScale = Slider1->value();
    ShowGlyph(CurrentGlyph);
}

void frmmain::Slider2_Change()
{
    view_.ViewMargin = Slider2->value() * 100;
    ShowGlyph(CurrentGlyph);
}

void frmmain::Check1_Click()
{
    if (EventsEnabled != 1)
        return;
    view_.ShowStartPoints = Check1->isChecked() ? 1 : 0;
    ShowGlyph(CurrentGlyph);
}

void frmmain::Picture1_MouseUp(Qt::MouseButton Button)
{
    if (Button == Qt::RightButton)
        toolkit_.PopupMenu(mnuSetup);
}

void frmmain::mnuSavePictureAs_Click()
{
    CommonDialog CD1{"Save Picture", PictureFilter, startFolder(), suggestedPictureName()};
    const std::string typed = toolkit_.ShowSave(CD1);
    if (typed.empty())
        return;
    const PictureTarget target = chooseTarget(typed, CD1.FilterIndex);
    const QFileInfo chosen(fromPath(target.fileName));
    settings_.setLastFolder(chosen.absolutePath());
    if (chosen.exists() || chosen.isSymLink()) {
        const std::string question = chosen.fileName().toStdString() + " already exists, overwrite?";
        if (!toolkit_.MsgBoxYesNo(question, "Confirmation"))
            return;
    }
    const std::string error = target.size == AsShown && target.format != PictureFormat::Svg
                                  ? saveImage(Picture1->shownImage(), target.format, target.fileName)
                                  : savePicture(surface_, target.format, target.fileName,
                                                {target.size, &Picture1->glyph(), Picture1->fontToPicture()});
    if (!error.empty())
        toolkit_.MsgBox(error);
}

// "<font file base name>-<glyph number>.jpg"; "picture.jpg" while no font is open.
std::string frmmain::suggestedPictureName() const
{
    if (!font_->Loaded)
        return "picture.jpg";
    const QString base = QFileInfo(fromPath(font_->FontFileName)).completeBaseName();
    return toPath(base + QLatin1Char('-') + QString::number(CurrentGlyph) + QLatin1String(".jpg"));
}

void frmmain::Command1_Click()
{
    ShowFontInfo(this, *font_, toolkit_);
}

void frmmain::mnuAbout_Click()
{
    ShowAbout(this, shell_);
}

void frmmain::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedFont(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmmain::dropEvent(QDropEvent* event)
{
    const QString path = droppedFont(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop has finished: the load may show message boxes.
    QMetaObject::invokeMethod(this, [this, file = toPath(path)] { OpenFontFile(file); }, Qt::QueuedConnection);
}

// ---- remembered between runs ----------------------------------------------------

// Where the window was last, or centred on its screen the first time; kept on
// a screen either way, its top-left corner first when the screen is too small.
void frmmain::placeWindow()
{
    QList<QRect> screens;
    for (const QScreen* s : QGuiApplication::screens())
        screens << s->availableGeometry();
    QRect frame = frameGeometry();
    if (const std::optional<QPoint> saved = settings_.windowPosition())
        frame.moveTopLeft(*saved);
    else if (const QScreen* where = screen())
        frame.moveCenter(where->availableGeometry().center());
    move(keptOnScreen(frame, screens));
}

void frmmain::restoreSettings()
{
    const Settings::ViewControls controls = settings_.viewControls();
    {
        const QSignalBlocker scale(Slider1), offset(Slider2), marks(Check1);
        Slider1->setValue(controls.scale);
        Slider2->setValue(controls.offset);
        Check1->setChecked(controls.startMarks);
    }
    view_.ViewScale = controls.scale;
    view_.ViewMargin = controls.offset * 100;
    view_.ShowStartPoints = controls.startMarks ? 1 : 0;
    rememberViewOptions();
    fillRecentFonts();
}

void frmmain::saveSettings()
{
    settings_.setViewControls({Slider1->value(), Slider2->value(), Check1->isChecked()});
    settings_.setWindowPosition(pos());
}

// Every checkable menu command with an object name keeps its state between runs.
void frmmain::rememberViewOptions()
{
    QList<QAction*> pending = menuBar()->actions();
    while (!pending.isEmpty()) {
        QAction* action = pending.takeFirst();
        if (const QMenu* menu = action->menu()) {
            pending += menu->actions();
            continue;
        }
        if (!action->isCheckable() || action->objectName().isEmpty())
            continue;
        action->setChecked(settings_.viewOption(action->objectName(), action->isChecked()));
        connect(action, &QAction::toggled, this, [this, action](bool on) {
            settings_.setViewOption(action->objectName(), on);
        });
    }
}

void frmmain::rememberFont(const std::string& FontFileName)
{
    settings_.addRecentFont(QFileInfo(fromPath(FontFileName)).absoluteFilePath());
    fillRecentFonts();
}

// File > Recent Fonts, newest first; fonts whose files have gone are dropped
// and named in the status bar.
void frmmain::fillRecentFonts()
{
    if (const QStringList missing = settings_.dropMissingFonts(); !missing.isEmpty()) {
        QStringList names;
        for (const QString& path : missing)
            names << QFileInfo(path).fileName();
        StatusBar1->showMessage("Removed from Recent Fonts, no longer found: " + names.join(QLatin1String(", ")));
    }
    recentFonts_->clear();
    const QStringList fonts = settings_.recentFonts();
    for (qsizetype i = 0; i < fonts.size(); ++i) {
        QString caption = QDir::toNativeSeparators(fonts[i]);
        caption.replace(QLatin1Char('&'), QLatin1String("&&"));
        QAction* entry = recentFonts_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(caption));
        connect(entry, &QAction::triggered, this, [this, path = fonts[i]] { openRecentFont(path); });
    }
    recentFonts_->setEnabled(!fonts.isEmpty());
}

void frmmain::openRecentFont(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        fillRecentFonts(); // drops it and says so
        return;
    }
    OpenFontFile(toPath(path));
}

// The folder the file dialogs start in: the last one used while it exists.
std::string frmmain::startFolder() const
{
    const QString folder = settings_.lastFolder();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? toPath(folder) : CurDir();
}
