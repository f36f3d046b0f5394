#include "ui/main/frmmain.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTableWidget>
#include <QStatusBar>
#include <QToolBar>

#include "tables/find.h"
#include "tables/loader.h"
#include "tables/names.h"
#include "platform/face_name.h"
#include "platform/font_file.h"
#include "platform/paths.h"
#include "platform/picture_export.h"
#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/dialogs/frmInfo.h"
#include "ui/main/combo_box.h"
#include "ui/main/face_picker.h"
#include "ui/variations/variations_view.h"
#include "platform/char_names.h"
#include "ui/main/find_field.h"
#include "ui/colour/colour_view.h"
#include "ui/instructions/instructions_view.h"
#include "ui/main/library_views.h"
#include "ui/main/form_layout.h"
#include "ui/main/glyph_canvas.h"
#include "ui/compare/comparison_view.h"
#include "ui/font_sources.h"
#include "ui/status_label.h"
#include "ui/overview/overview_view.h"
#include "ui/problems/problems_view.h"
#include "ui/session_signals.h"

namespace {

constexpr int FullNameId = 4;

// Every font the window opens first, then the single fonts of old, then anything.
const std::string FontFileFilter = "Font files (*.ttf *.otf *.ttc *.otc *.woff *.woff2)|"
                                   "*.ttf;*.otf;*.ttc;*.otc;*.woff;*.woff2|"
                                   "TTF files (*.ttf)|*.ttf|All files (*.*)|*.*";

// A dropped file the window opens: one local font file, a collection or a web font.
QString droppedFont(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1)
        return {};
    const QString path = data->urls().first().toLocalFile();
    for (const char* suffix : {".ttf", ".otf", ".ttc", ".otc", ".woff", ".woff2"})
        if (path.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return path;
    return {};
}

} // namespace

frmmain::frmmain(Toolkit& toolkit, ShellOpener& shell, QWidget* parent)
    : QMainWindow(parent), toolkit_(toolkit), shell_(shell), surface_(qApp->devicePixelRatio()),
      session_(*this, surface_, OpenFontPath)
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
    nameControls();
    connectEvents();
    createReload();
    // The windows beside this one follow the session itself.
    sessionSignals_ = new SessionSignals(session_, this);
    sessionSignals_->setObjectName("sessionSignals");
    libraryViews_ = new LibraryViews(this, Picture1, *sessionSignals_, mnuView, mnuHelp, mnuSavePictureAs);
    new VariationsView(this, Picture1, *sessionSignals_, mnuView, settings_);
    new ColourView(this, Picture1, *sessionSignals_, mnuView);
    new InstructionsView(this, Picture1, *sessionSignals_, mnuView);
    overview_ = new OverviewView(this, Picture1, *sessionSignals_, toolkit_);
    problems_ = new ProblemsView(this, Picture1, *sessionSignals_, mnuView, Frame2, StatusBar1);
    problems_->table()->setGeometry(pointsTable->property("designed").toRect());
    problems_->table()->setProperty("designed", problems_->table()->geometry());
    connect(problems_, &ProblemsView::tableWanted, this, [this] { listingTabs->setCurrentIndex(2); });
    connect(problems_, &ProblemsView::fontChecked, overview_, &OverviewView::setProblems);
    comparison_ = new ComparisonView(this, Picture1, *sessionSignals_, mnuView, StatusBar1);
    connect(comparison_, &ComparisonView::changesFound, overview_, &OverviewView::setChanges);

    // The window opens at its designed size, a client area of 10755 x 9420
    // twips below the menu bar, and can grow or shrink.
    const QSize client = twips(0, 0, 10755, 9420).size();
    centralWidget()->resize(client);
    static_cast<QScrollArea*>(centralWidget())->widget()->resize(client);
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    placeWindow();

    Form_Load();
    restoreSettings();
}

// The session's observer goes before the session does.
frmmain::~frmmain()
{
    delete sessionSignals_;
}

void frmmain::connectEvents()
{
    connectSelection();
    connect(mnuOpen, &QAction::triggered, this, &frmmain::mnuOpen_Click);
    connect(facePicker_, &FacePicker::faceChosen, this, [this](int face) {
        const std::string path = font().FontFileName; // a copy: the open replaces the font that holds it
        OpenFontFile(path, face);
    });
    connect(mnuExit, &QAction::triggered, this, &frmmain::mnuExit_Click);
    connect(mnuAbout, &QAction::triggered, this, &frmmain::mnuAbout_Click);
    connect(mnuOverview, &QAction::triggered, this, &frmmain::showOverview);
    connect(mnuSavePictureAs, &QAction::triggered, this, &frmmain::mnuSavePictureAs_Click);
    connect(mnuComposites, &QAction::toggled, this, [this](bool on) { session_.setComposites(on); });
    connect(findField_, &QLineEdit::returnPressed, this, &frmmain::findGlyph);
    connect(findField_, &FindField::leave, this, [this] { Picture1->setFocus(); });
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this), &QShortcut::activated, this, [this] {
        findField_->setFocus();
        findField_->selectAll();
    });
    connect(mnuMetrics, &QAction::toggled, this, [this](bool on) { session_.setMetrics(on); });
    connect(mnuStretch, &QAction::toggled, this, [this](bool on) { session_.setStretch(on); });
    connect(Toolbar1, &QToolBar::actionTriggered, this, &frmmain::Toolbar1_ButtonClick);

    // Like the user's choices, changes made from code raise these; the session tells them apart.
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
    Check1->setChecked(true); // its Click runs now and does nothing
}

void frmmain::Form_Unload()
{
    session_.unload();
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
    const CommonDialog CD1{"Load TTF file", FontFileFilter, startFolder()};
    const std::string FontFileName = toolkit_.ShowOpen(CD1);
    if (FontFileName.empty())
        return; // cancelled: the font on display stays
    settings_.setLastFolder(QFileInfo(fromPath(FontFileName)).absolutePath());
    OpenFontFile(FontFileName);
}

void frmmain::OpenFontFile(const std::string& FontFileName, int face)
{
    session_.open(FontFileName, face);
}

void frmmain::fontOpened(const FontState& font)
{
    mnuSavePictureAs->setEnabled(true);
    mnuReload->setEnabled(true);
    mnuCompareWith->setEnabled(true);
    // Filled before it shows: a menu filled as it opens is placed for its old size.
    FillFontSourceMenu(compareMenu_, &font, session_.faceCount(),
                       {[this] { mnuCompareWith_Click(); },
                        [this](int face) { compareWith(this->font().FontFileName, face); },
                        [this] { comparison_->chooseLocation(); }});
    watchFontFile();
    Label2->setText(QString::fromStdString(GetFaceName(font.FontFileName, font.Face)) + QLatin1Char(' '));
    showFaces(font);
    // Which file and which style: the face name alone is the family's, whatever the weight.
    StatusBar1->showMessage(openedText());
    const QString fullName = QString::fromStdString(FontNameText(font, FullNameId));
    const QString path = QDir::toNativeSeparators(fromPath(font.FontFileName));
    Label2->setToolTip(fullName.isEmpty() ? path : fullName + QLatin1Char('\n') + path);
    rememberFont(font.FontFileName);
    findField_->useNames(font);
    Label9->setText(QString::fromStdString(GlyphCountText(font)));
}

// "DejaVuSans-Bold.woff2 · DejaVu Sans Bold": the file's name and the font's full name.
QString frmmain::openedText() const
{
    const QString fullName = QString::fromStdString(FontNameText(font(), FullNameId));
    const QString file = QFileInfo(fromPath(font().FontFileName)).fileName();
    return fullName.isEmpty() ? file : file + QString::fromUtf8(" \u00b7 ") + fullName;
}

// The face picker, for collections only: the face name makes room for it.
void frmmain::showFaces(const FontState& font)
{
    QStringList names;
    if (session_.faceCount() > 1)
        for (const std::string& name : GetFaceFullNames(font.FontFileName, session_.faceCount()))
            names << (name.empty() ? QStringLiteral("Face %1").arg(names.size()) : QString::fromStdString(name));
    facePicker_->showFaces(names, font.Face);
    Label2->setProperty("designed", twips(720, 480, facePicker_->isVisibleTo(this) ? 3855 : 7095, 255));
    layoutControls(static_cast<QScrollArea*>(centralWidget())->widget()->size());
}

void frmmain::fontNotOpened(const std::string& fileName, const std::string& why)
{
    const char* what = reloading_ == Reloading::No ? " could not be opened: " : " could not be reloaded: ";
    StatusBar1->showMessage(QFileInfo(fromPath(fileName)).fileName() + what + QString::fromStdString(why));
}

// The lists filled again; the code and character lists show their second entry.
void frmmain::listsChanged(const PickLists& lists)
{
    const QSignalBlocker block1(Combo1), block2(Combo2), block3(Combo3);
    QStringList glyphs, codes, chars;
    for (int g : lists.GlyphList)
        glyphs << QString::number(g);
    for (int c : lists.CharList)
        codes << QString::number(c);
    for (int c : lists.AsciiList)
        chars << QString(QChar(c));
    for (auto [combo, items] : {std::pair{Combo1, &glyphs}, {Combo2, &codes}, {Combo3, &chars}}) {
        combo->Clear();
        combo->AddItems(*items);
    }
    Combo2->SetListIndex(std::min(1, Combo2->ListCount() - 1));
    Combo3->SetListIndex(std::min(1, Combo3->ListCount() - 1));
}

void frmmain::glyphShown(int glyph, int entry, const GlyphReadout& readout)
{
    if (Combo1->ListIndex() != entry) {
        const QSignalBlocker quiet(Combo1);
        Combo1->SetListIndex(entry);
    }
    Picture1->setGlyph(readout.drawn, fontToPicture(surface_, readout.work, view()), view());
    Picture1->update();
    Text1->setText(QString::fromStdString(readout.minY));
    Text2->setText(QString::fromStdString(readout.maxY));
    Text3->setText(QString::fromStdString(readout.minX));
    Text4->setText(QString::fromStdString(readout.maxX));
    {
        const QSignalBlocker quiet(Text5); // a new listing selects no line
        Text5->setPlainText(QString::fromStdString(readout.listing));
    }
    Text6->setText(QString::fromStdString(readout.number));
    Text7->setText(QString::fromStdString(readout.name));
    glyphInfo_->setText(GlyphDescription(font(), glyph, session_.advanceShown()));
    fillPoints();
    enableCopying(true);
    enableStepping(!lists().GlyphList.empty());
}

void frmmain::noGlyphShown()
{
    Picture1->setGlyph({}, {}, view()); // no points left to hover, number or select
    Picture1->update();
    for (QLineEdit* t : {Text1, Text2, Text3, Text4, Text6, Text7})
        t->clear();
    glyphInfo_->clear();
    Text5->clear();
    fillPoints();
    enableCopying(false);
    enableStepping(false);
}

void frmmain::enableStepping(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{Command2, Command3, Slider1, Slider2})
        w->setEnabled(on);
}

void frmmain::showMessages(const std::vector<std::string>& texts)
{
    if (reloading_ == Reloading::OnChange)
        return; // a build writing the file would raise box after box; the status bar says why
    for (const std::string& text : texts)
        toolkit_.MsgBox(text);
}

void frmmain::showStatus(const std::string& text)
{
    StatusBar1->showMessage(QString::fromStdString(text));
}

// Find: the glyph the field names is shown, listed or not; a query that
// matches nothing is said in the status bar.
void frmmain::findGlyph()
{
    const QString query = findField_->text().trimmed();
    if (query.isEmpty() || !font().Loaded)
        return;
    const std::optional<int> glyph = FindGlyphOrCharacter(font(), font().Unicode, query.toStdString());
    if (!glyph) {
        StatusBar1->showMessage(QString::fromUtf8("Nothing in this font matches “") + query + QString::fromUtf8("”"));
        return;
    }
    StatusBar1->clearMessage();
    session_.showGlyph(*glyph);
}

void frmmain::showOverview()
{
    overview_->show();
}

void frmmain::Combo1_Click()
{
    session_.pickGlyphEntry(Combo1->ListIndex());
}

void frmmain::Combo2_Click()
{
    session_.pickCodeEntry(Combo2->ListIndex());
}

void frmmain::Combo3_Click()
{
    session_.pickCharEntry(Combo3->ListIndex());
}

void frmmain::Command2_Click()
{
    if (comparison_->stepChanged(+1))
        return;
    stepBy(Command2, &FontSession::next);
}

void frmmain::Command3_Click()
{
    if (comparison_->stepChanged(-1))
        return;
    stepBy(Command3, &FontSession::previous);
}

// The button stays off while its glyph is drawn, so a message box cannot take a second click.
void frmmain::stepBy(QPushButton* button, void (FontSession::*step)())
{
    if (lists().GlyphList.empty())
        return;
    button->setEnabled(false);
    (session_.*step)();
    button->setEnabled(true);
    button->setFocus();
}

void frmmain::Slider1_Change()
{
    session_.setScale(Slider1->value());
}

void frmmain::Slider2_Change()
{
    session_.setOffset(Slider2->value());
}

void frmmain::Check1_Click()
{
    session_.setStartMarks(Check1->isChecked());
}

void frmmain::Picture1_MouseUp(Qt::MouseButton Button)
{
    if (Button == Qt::RightButton)
        toolkit_.PopupMenu(mnuSetup);
}

void frmmain::mnuSavePictureAs_Click()
{
    const bool savePixels = libraryViews_->pixelViewActive(); // before the dialog takes the focus
    CommonDialog CD1{"Save Picture", PictureFilter, startFolder(), suggestedPictureName()};
    const std::string typed = toolkit_.ShowSave(CD1);
    if (typed.empty())
        return;
    const PictureTarget target = chooseTarget(typed, CD1.FilterIndex);
    settings_.setLastFolder(QFileInfo(fromPath(target.fileName)).absolutePath());
    if (!toolkit_.ConfirmOverwrite(target.fileName))
        return;
    const std::string error = savePixels
                                  ? saveImage(libraryViews_->pixelPicture(), target.format, target.fileName)
                              : target.shown > 0 && target.format == PictureFormat::Svg
                                  ? saveViewSvg(Picture1->shownView(), target.fileName)
                              : target.shown > 0
                                  ? saveImage(Picture1->shownImage(target.shown), target.format, target.fileName)
                                  : savePicture(surface_, target.format, target.fileName,
                                                {target.size, &Picture1->glyph(), Picture1->fontToPicture()});
    if (!error.empty())
        toolkit_.MsgBox(error);
}

// "<font file base name>-<glyph number>.jpg"; "picture.jpg" while no font is open.
std::string frmmain::suggestedPictureName() const
{
    if (!font().Loaded)
        return "picture.jpg";
    const QString base = QFileInfo(fromPath(font().FontFileName)).completeBaseName();
    return toPath(base + QLatin1Char('-') + QString::number(session_.CurrentGlyph()) + QLatin1String(".jpg"));
}

void frmmain::mnuCompareWith_Click()
{
    const CommonDialog CD1{"Compare With", FontFileFilter, startFolder()};
    const std::string FontFileName = toolkit_.ShowOpen(CD1);
    if (!FontFileName.empty())
        compareWith(FontFileName);
}

void frmmain::compareWith(const std::string& FontFileName, int face)
{
    const QString file = QFileInfo(fromPath(FontFileName)).fileName();
    const std::string why = comparison_->compareWith(FontFileName, face);
    if (!why.empty()) {
        StatusBar1->showMessage(file + QStringLiteral(" could not be compared: ") + QString::fromStdString(why));
        return;
    }
    // Two builds of a font share its name: the file tells them apart.
    const QString label = comparison_->otherLabel();
    StatusBar1->showMessage(QStringLiteral("Compared with ") + file
                            + (label == file ? QString() : QString::fromUtf8(" \u00b7 ") + label));
}

void frmmain::Command1_Click()
{
    toolkit_.ShowReports(ShowFontInfo(this, font()));
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
