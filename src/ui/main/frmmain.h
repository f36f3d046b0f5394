#pragma once
#include <memory>
#include <string>

#include <QMainWindow>

#include "platform/picture_surface.h"
#include "platform/settings.h"
#include "session/font_session.h"

class ComboBox;
class ComparisonView;
class FacePicker;
class FindField;
class LibraryViews;
class GlyphCanvas;
class QAction;
class QCheckBox;
class QFileSystemWatcher;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QStatusBar;
class QTabBar;
class QTableWidget;
class QTimer;
class QToolBar;
class OverviewView;
class ProblemsView;
class SessionSignals;
class ShellOpener;
class StatusLabel;
class Toolkit;

// The main window: the glyph drawing, its read-out and the view controls.
// Its event procedures hand each choice to the font session and show what it reports.
class frmmain : public QMainWindow, private SessionListener {
    Q_OBJECT
public:
    // Message boxes and file dialogs go through toolkit, the About box's links through shell.
    frmmain(Toolkit& toolkit, ShellOpener& shell, QWidget* parent = nullptr);
    ~frmmain() override;

    // The open flow after the dialog: the session opens face `face` of the
    // file and shows the first glyph; a file that cannot be read, is refused
    // or abandoned leaves the open font on display.
    void OpenFontFile(const std::string& FontFileName, int face = 0);

    // What is open and shown, read-only: every change goes through a control.
    const FontSession& session() const { return session_; }
    const PictureSurface& picture() const { return surface_; }
    const ProblemsView& problems() const { return *problems_; }

    // What a user does, one event procedure each; tests call them directly.
    void mnuOpen_Click();
    void mnuSavePictureAs_Click();
    void mnuAbout_Click();
    // File > Compare With > Font File...: the file chosen, its first face.
    void mnuCompareWith_Click();
    // Compares with face `face` of a font file; the status bar says with what, or why not.
    void compareWith(const std::string& FontFileName, int face = 0);
    const ComparisonView& comparison() const { return *comparison_; }
    void mnuExit_Click();
    // View > "Overview": opens the overview of the open font, or brings it to the front.
    void showOverview();
    void Combo1_Click();
    void Combo2_Click();
    void Combo3_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Form_Load();
    void Form_Unload();
    void Toolbar1_ButtonClick(QAction* Button);
    void OpenFont();
    void Slider1_Change();
    void Slider2_Change();
    void Check1_Click();
    void Picture1_MouseUp(Qt::MouseButton Button);
    const FontState& font() const { return *session_.font(); }
    const PickLists& lists() const { return session_.lists(); }
    const ViewState& view() const { return session_.view(); }

    // What the session reports.
    void fontOpened(const FontState& font) override;
    void fontNotOpened(const std::string& fileName, const std::string& why) override;
    void listsChanged(const PickLists& lists) override;
    void glyphShown(int glyph, int entry, const GlyphReadout& readout) override;
    void noGlyphShown() override;
    void showMessages(const std::vector<std::string>& texts) override;
    void selectionChanged(const Selection& selection) override;
    void showFaces(const FontState& font);
    void showStatus(const std::string& text) override;
    void enableStepping(bool on);
    void stepBy(QPushButton* button, void (FontSession::*step)());

    void createControls();
    void createFontLine(QWidget* client);
    void createToolbar(QWidget* client);
    void createViewFrame(QWidget* client);
    void createGlyphFrame(QWidget* client);
    void createMenus();
    void nameControls();
    void connectEvents();

    // The picture for examining points: the canvas's menus, the points table, the
    // shared selection, copying, and the layout that grows with the window.
    void createEditMenu();
    void createCanvasMenu();
    void createPointsTab();
    void connectSelection();
    void enableCopying(bool on);
    void layoutControls(QSize client);
    void fillPoints();
    void showListingLine(int line);
    void copyCharacter(bool asCodePoint);

    // Remembered between runs.
    void placeWindow();
    void restoreSettings();
    void saveSettings();
    void rememberViewOptions();
    void rememberFont(const std::string& FontFileName);
    void fillRecentFonts();
    void openRecentFont(const QString& path);
    std::string startFolder() const;

    // File > Reload and the reload when the file changes on disk.
    enum class Reloading { No, Asked, OnChange };
    void createReload();
    void reloadFont(Reloading how);
    void watchFontFile();
    QString watchedFile() const;
    QString openedText() const; // the file and the font's full name
    std::string suggestedPictureName() const;
    void findGlyph();

    Toolkit& toolkit_;
    ShellOpener& shell_;
    PictureSurface surface_;
    FontSession session_;
    Settings settings_;
    QMenu* recentFonts_ = nullptr; // File > Recent Fonts
    QMenu* compareMenu_ = nullptr; // File > Compare With: a file, a face or a location
    QAction* mnuOverview = nullptr;
    SessionSignals* sessionSignals_ = nullptr; // what the windows beside this one follow
    OverviewView* overview_ = nullptr;
    ProblemsView* problems_ = nullptr; // the Problems tab, the badges and the font's check
    ComparisonView* comparison_ = nullptr; // File > Compare With, the overlay and the changed glyphs
    FindField* findField_ = nullptr;     // in the toolbar
    StatusLabel* glyphInfo_ = nullptr;   // the status bar's description of the glyph shown
    QLabel* zoomInfo_ = nullptr;         // the status bar's zoom percentage
    FacePicker* facePicker_ = nullptr;   // beside the face name, for collections

    // The controls, named as their object names.
    QStatusBar* StatusBar1;
    QToolBar* Toolbar1;
    QAction* Toolbar1Open; // the toolbar's one button, Description "Open"
    QLabel* Label1;
    QLabel* Label2;
    GlyphCanvas* Picture1;
    QLabel* Label8;
    QLabel* Label9;
    QPushButton* Command1;

    QGroupBox* Frame1;
    QLabel* Label7;
    ComboBox* Combo1;
    QLabel* Label12;
    ComboBox* Combo2;
    QLabel* Label13;
    ComboBox* Combo3;
    QPushButton* Command3;
    QPushButton* Command2;
    QLabel* Label10;
    QSlider* Slider1;
    QLabel* Label11;
    QSlider* Slider2;
    QCheckBox* Check1;

    QGroupBox* Frame2;
    QLineEdit* Text6;
    QLineEdit* Text7;
    QLineEdit* Text1;
    QLineEdit* Text3;
    QLineEdit* Text2;
    QLineEdit* Text4;
    QLabel* Label14;
    QPlainTextEdit* Text5;

    QMenu* mnuFile;
    QAction* mnuOpen;
    QAction* mnuReload;
    QAction* mnuCompareWith;
    QAction* mnuExit;
    QMenu* mnuHelp;
    QAction* mnuAbout;
    QMenu* mnuSetup;
    QAction* mnuSavePictureAs;
    QMenu* mnuView;
    QAction* mnuComposites;
    QAction* mnuMetrics;
    QAction* mnuStretch;
    QAction* mnuPointNumbers;
    QAction* mnuSmooth;
    QAction* mnuZoomIn;
    QAction* mnuZoomOut;
    QAction* mnuFit;
    QMenu* mnuEdit;
    QAction* mnuCopyCharacter;
    QAction* mnuCopyCodePoint;
    QAction* mnuCopyPoints;
    QAction* mnuCopyPicture;
    QTabBar* listingTabs;      // "Lines", "Points" and "Problems" above the listing
    QTableWidget* pointsTable; // the glyph's points in font units
    LibraryViews* libraryViews_ = nullptr; // Pixels, Text and Font Details
    QFileSystemWatcher* watcher_ = nullptr; // the open font's file and folder
    QTimer* reloadLater_ = nullptr;         // the reload once the file's changes pause
    Reloading reloading_ = Reloading::No;
};
