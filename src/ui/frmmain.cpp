#include "ui/frmmain.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
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
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include "font/cmap.h"
#include "font/loader.h"
#include "platform/face_name.h"
#include "platform/jpeg_export.h"
#include "platform/shell.h"
#include "platform/toolkit.h"
#include "ui/frmAbout.h"
#include "ui/frmInfo.h"
#include "ui/font_glyph_source.h"
#include "ui/form_layout.h"
#include "ui/overview.h"
#include "ui/picture_box.h"

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

} // namespace

frmmain::frmmain(Toolkit& toolkit, ShellOpener& shell, QWidget* parent)
    : QMainWindow(parent), toolkit_(toolkit), shell_(shell), surface_(qApp->devicePixelRatio())
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
    if (const QScreen* where = screen())
        move(where->availableGeometry().center() - rect().center());

    Form_Load();
}

frmmain::~frmmain()
{
    detachOverview(); // the overview outlives font_ by a moment
}

void frmmain::createControls()
{
    auto* client = new QWidget(this);
    setCentralWidget(client);

    auto label = [](const char* caption, QWidget* parent, QRect where, Qt::Alignment align = Qt::AlignRight) {
        auto* l = new QLabel(caption, parent);
        l->setGeometry(where);
        l->setTextFormat(Qt::PlainText);
        l->setAlignment(align | Qt::AlignVCenter);
        return l;
    };
    auto frame = [](const char* caption, QWidget* parent, QRect where) {
        auto* f = new QGroupBox(caption, parent);
        f->setGeometry(where);
        f->setFont(formFont(8.25, true)); // the caption is underlined, the controls inside are not
        return f;
    };
    auto combo = [](QWidget* parent, QRect where) {
        auto* c = new ComboBox(parent);
        c->setGeometry(where);
        c->setFont(formFont(8.25));
        c->setMaxVisibleItems(20);
        return c;
    };
    auto button = [](const char* caption, QWidget* parent, QRect where) {
        auto* b = new QPushButton(caption, parent);
        b->setGeometry(where);
        b->setFont(formFont(8.25));
        return b;
    };
    auto slider = [](QWidget* parent, QRect where, int minimum, int maximum, int position) {
        auto* s = new QSlider(Qt::Horizontal, parent);
        s->setGeometry(where);
        s->setRange(minimum, maximum);
        s->setValue(position);
        s->setPageStep(5);
        s->setSingleStep(1);
        s->setEnabled(false); // until a font is open: the sliders redraw whenever they move
        return s;
    };
    auto readout = [](QWidget* parent, QRect where) {
        auto* t = new QLineEdit(parent);
        t->setGeometry(where);
        t->setFont(formFont(8.25));
        t->setReadOnly(true);
        return t;
    };

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

    Picture1 = new PictureBox(client);
    // The picture fills the drawing area; its one-pixel border lies around it.
    Picture1->setGeometry(twips(240, 960, 5300, 5300).adjusted(-1, -1, 1, 1));
    Picture1->setPicture(&surface_.image());

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

    Command1 = button("Info...", client, twips(9840, 480, 615, 255));

    for (QLabel* l : client->findChildren<QLabel*>())
        fitCaption(l, l->text());
    fitCaption(Check1, Check1->text(), Check1->sizeHint().width() - Check1->fontMetrics().horizontalAdvance(Check1->text()));

    // Tab order: the lists, the buttons, the sliders, the read-out, "Info...", the check box.
    QWidget* order[] = {Combo2, Combo3, Combo1, Command3, Command2, Slider2, Slider1, Text4, Text3,
                        Text2, Text1, Text5, Text6, Text7, Command1, Check1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    Picture1->setFocusPolicy(Qt::NoFocus);
}

void frmmain::createMenus()
{
    mnuFile = menuBar()->addMenu("File");
    mnuOpen = mnuFile->addAction("Open...");
    mnuOpen->setShortcut(QKeySequence::Open);
    mnuFile->addSeparator();
    mnuExit = mnuFile->addAction("Exit");
    mnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    mnuView = menuBar()->addMenu("View");
    mnuOverview = mnuView->addAction("Overview");
    mnuOverview->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));

    mnuHelp = menuBar()->addMenu("Help");
    mnuAbout = mnuHelp->addAction("About...");

    // Opened by a right click on the picture, never from the menu bar.
    mnuSetup = new QMenu("mnupopup", this);
    mnuSavePictureAs = mnuSetup->addAction("Save As...");
}

void frmmain::connectEvents()
{
    connect(mnuOpen, &QAction::triggered, this, &frmmain::mnuOpen_Click);
    connect(mnuExit, &QAction::triggered, this, &frmmain::mnuExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmmain::mnuAbout_Click);
    connect(mnuOverview, &QAction::triggered, this, &frmmain::showOverview);
    connect(mnuSavePictureAs, &QAction::triggered, this, &frmmain::mnuSavePictureAs_Click);
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
    connect(Picture1, &PictureBox::MouseUp, this, &frmmain::Picture1_MouseUp);

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
    detachOverview();
    font_ = FontState();
}

void frmmain::closeEvent(QCloseEvent* event)
{
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
    const CommonDialog CD1{"Load TTF file", "TTF files (*.ttf)|*.ttf|All files (*.*)|*.*", CurDir()};
    const std::string FontFileName = toolkit_.ShowOpen(CD1);
    if (FontFileName.empty())
        return; // cancelled: the font on display stays
    OpenFontFile(FontFileName);
}

void frmmain::OpenFontFile(const std::string& FontFileName)
{
    // The overview reads the font in place: it lets go while the font
    // changes and, however the open ends, shows what is open then.
    detachOverview();
    const auto overviewFollows = qScopeGuard([this] { refreshOverview(); });
    Label2->setText(QString::fromStdString(GetFaceName(FontFileName)) + QLatin1Char(' '));

    // The previous font is closed and its lists emptied before the load begins.
    EventsEnabled = 0;
    font_ = FontState();
    font_.FontFileName = FontFileName;
    Combo1->Clear();
    Combo2->Clear();
    Combo3->Clear();
    Label9->clear();

    const LoadResult result = LoadFont(font_, toolkit_);
    if (result == LoadResult::Unreadable)
        toolkit_.MsgBox("The file " + FontFileName + " could not be read.");
    if (result != LoadResult::Loaded) {
        // Nothing of an abandoned load is shown: the window is as at start-up.
        font_ = FontState();
        showNoGlyph();
        return;
    }

    Label9->setText(QString::fromStdString(GlyphCountText(font_)));
    fillLists();
    if (Combo1->ListCount() == 0) {
        showNoGlyph(); // no simple glyph to show; the font stays open for "Info..."
        return;
    }

    // Glyph 4 and the fifth entry, or the last entry of a shorter list.
    const int entry = std::min(4, Combo1->ListCount() - 1);
    CurrentGlyph = entry == 4 ? 4 : font_.GlyphList[std::size_t(entry)];
    ShowGlyph(CurrentGlyph);

    EventsEnabled = 0;
    Combo1->SetListIndex(entry);
    Combo2->SetListIndex(std::min(1, Combo2->ListCount() - 1));
    Combo3->SetListIndex(std::min(1, Combo3->ListCount() - 1));
    Command2->setEnabled(true);
    Command3->setEnabled(true);
    Slider1->setEnabled(true);
    Slider2->setEnabled(true);
    EventsEnabled = 1;
}

void frmmain::fillLists()
{
    QStringList glyphs, codes, chars;
    for (int g : font_.GlyphList)
        glyphs << QString::number(g);
    for (int c : font_.CharList)
        codes << QString::number(c);
    for (int c : font_.AsciiList)
        chars << QString(QChar(c));
    Combo1->AddItems(glyphs);
    Combo2->AddItems(codes);
    Combo3->AddItems(chars);
}

// The window as before the first open, but for the face name, the glyph count and the view settings.
void frmmain::showNoGlyph()
{
    EventsEnabled = 0;
    CurrentGlyph = 0;
    if (!font_.Loaded)
        Label9->clear();
    Combo1->Clear();
    Combo2->Clear();
    Combo3->Clear();
    surface_.Cls();
    Picture1->update();
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text6, Text7})
        t->clear();
    Text5->clear();
    Command2->setEnabled(false);
    Command3->setEnabled(false);
    Slider1->setEnabled(false);
    Slider2->setEnabled(false);
}

void frmmain::ShowGlyph(int n)
{
    const GlyphReadout readout = ::ShowGlyph(n, font_, view_, surface_, toolkit_);
    Picture1->update();
    Text1->setText(QString::fromStdString(readout.Text1));
    Text2->setText(QString::fromStdString(readout.Text2));
    Text3->setText(QString::fromStdString(readout.Text3));
    Text4->setText(QString::fromStdString(readout.Text4));
    Text5->setPlainText(QString::fromStdString(readout.Text5));
    Text6->setText(QString::fromStdString(readout.Text6));
    Text7->setText(QString::fromStdString(readout.Text7));
    emit glyphShown(n);
}

void frmmain::showGlyphNumber(int glyph)
{
    if (!font_.Loaded || glyph < 0 || glyph >= font_.NumGlyphs)
        return;
    const auto entry = std::lower_bound(font_.GlyphList.begin(), font_.GlyphList.end(), glyph);
    const bool listed = entry != font_.GlyphList.end() && *entry == glyph;
    {
        const QSignalBlocker quiet(Combo1);
        Combo1->SetListIndex(listed ? int(entry - font_.GlyphList.begin()) : -1);
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

void frmmain::detachOverview()
{
    if (overview_)
        overview_->setSource(nullptr);
}

void frmmain::refreshOverview()
{
    detachOverview();
    if (!overview_ || !font_.Loaded)
        return;
    const QString face = Label2->text().trimmed();
    const std::string name = face.isEmpty() ? QFileInfo(fromPath(font_.FontFileName)).fileName().toStdString() : face.toStdString();
    overview_->setSource(std::make_shared<FontGlyphSource>(font_, name));
    overview_->showGlyph(CurrentGlyph);
}

void frmmain::Combo1_Click()
{
    if (EventsEnabled != 1)
        return;
    const int i = Combo1->ListIndex();
    if (i < 0 || std::size_t(i) >= font_.GlyphList.size())
        return;
    CurrentGlyph = font_.GlyphList[std::size_t(i)];
    ShowGlyph(CurrentGlyph);
}

void frmmain::Combo2_Click()
{
    const int i = Combo2->ListIndex();
    if (EventsEnabled != 1 || i == 0)
        return; // the first entry never changes the glyph
    if (i < 0 || std::size_t(i) >= font_.CharList.size())
        return;
    CurrentGlyph = CharToGlyph(font_, font_.CharList[std::size_t(i)]);
    ShowGlyph(CurrentGlyph);
}

void frmmain::Combo3_Click()
{
    const int i = Combo3->ListIndex();
    if (EventsEnabled != 1 || i == 0)
        return; // the first entry (the blank) never changes the glyph
    if (i < 0 || std::size_t(i) >= font_.AsciiList.size())
        return;
    CurrentGlyph = CharToGlyph(font_, font_.AsciiList[std::size_t(i)]);
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
    CurrentGlyph = font_.GlyphList[std::size_t(Combo1->ListIndex())];
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
    CurrentGlyph = font_.GlyphList[std::size_t(Combo1->ListIndex())];
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
    const CommonDialog CD1{"Save Picture", "JPEG file (*.jpg)|*.jpg", CurDir()};
    const std::string FileName = toolkit_.ShowSave(CD1);
    if (FileName.empty())
        return;
    const QFileInfo chosen(fromPath(FileName));
    if (chosen.exists() || chosen.isSymLink()) {
        const std::string question = chosen.fileName().toStdString() + " already exists, overwrite?";
        if (!toolkit_.MsgBoxYesNo(question, "Confirmation"))
            return;
    }
    const std::string error = saveJpeg(surface_.image(), FileName);
    if (!error.empty())
        toolkit_.MsgBox(error);
}

void frmmain::Command1_Click()
{
    ShowFontInfo(this, font_, toolkit_);
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
