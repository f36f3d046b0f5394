#include <functional>

#include <sys/resource.h>

#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include "tables/loader.h"
#include "support/font_file_loading.h"
#include "draw/view.h"
#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "support/recording_sink.h"
#include "support/recording_surface.h"
#include "support/crafted_fonts.h"
#include "support/font_loading.h"
#include "support/ttf_builder.h"
#include "ui/dialogs/frmAbout.h"
#include "ui/dialogs/frmAboutDialog.h"
#include "ui/dialogs/frmInfo.h"
#include "ui/dialogs/frmInfoDialog.h"

namespace {

// Runs `body` on the modal dialog once it is up; closes whatever modal window
// is still open after a while, so a test never blocks. Returns whether a
// modal dialog appeared at all.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> body) : body_(std::move(body))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            seen_ = true;
            poll_.stop();
            if (body_)
                body_(modal);
            if (QApplication::activeModalWidget() == modal) {
                closedByWatcher_ = true;
                modal->close();
            }
        });
        poll_.start(10);
        QObject::connect(&guard_, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        guard_.start(5000);
    }
    bool seen() const { return seen_; }
    bool closedByWatcher() const { return closedByWatcher_; }

private:
    std::function<void(QWidget*)> body_;
    QTimer poll_, guard_;
    bool seen_ = false, closedByWatcher_ = false;
};

void sendKey(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void moveOver(QWidget* w, QPoint local)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(w->mapToGlobal(local)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void moveOver(QWidget* w)
{
    moveOver(w, w->rect().center());
}

void click(QWidget* w)
{
    const QPointF at(w->rect().center());
    QMouseEvent press(QEvent::MouseButtonPress, at, QPointF(w->mapToGlobal(at)), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, QPointF(w->mapToGlobal(at)), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

bool underlined(const QLabel* l)
{
    return l->font().underline();
}

// A loaded font of five square glyphs and four name records.
struct NamedFont {
    NamedFont()
        : file(ttf::buildFont([] {
              ttf::FontSpec design = ttf::squaresFont(5);
              design.names = {
                  {3, 1, 1033, 0, ttf::utf16be(u"Copyright (c) the makers")},
                  {3, 1, 1033, 1, ttf::utf16be(u"Test Sans")},
                  {1, 0, 0, 2, ttf::latin1("Book")},
                  {3, 1, 1033, 4, ttf::utf16be(u"Test Sans \u0141ast")},
              };
              return design;
          }()))
    {
        RecordingSink sink;
        loaded = loadFontPath(font, sink, file.path()) == LoadResult::Loaded && sink.texts.empty();
    }
    ttf::TempFontFile file;
    FontState font;
    bool loaded = false;
};

} // namespace

namespace {

int rowCount(const frmInfo* d)
{
    return d->List1->model()->rowCount();
}

void selectRow(frmInfo* d, int row)
{
    d->List1->setCurrentIndex(d->List1->model()->index(row, 0));
}

} // namespace

TEST(FontInfoDialog, Layout)
{
    frmInfo dialog;
    EXPECT_EQ(dialog.windowTitle(), "TTF Info");
    EXPECT_EQ(dialog.size(), QSize(695, 570));
    EXPECT_EQ(dialog.Frame1->title(), " Records ");
    EXPECT_TRUE(dialog.Frame1->font().underline());
    EXPECT_EQ(dialog.Frame1->geometry(), QRect(16, 8, 657, 505));
    EXPECT_EQ(dialog.List1->geometry(), QRect(16, 24, 625, 144));
    EXPECT_EQ(dialog.List1->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(dialog.List1->font().pointSize(), 9);
    EXPECT_FALSE(dialog.List1->font().underline());
    EXPECT_FALSE(dialog.Text1->font().underline());
    EXPECT_EQ(dialog.Text1->geometry(), QRect(16, 200, 625, 281));
    EXPECT_TRUE(dialog.Text1->isReadOnly());
    EXPECT_EQ(dialog.Text1->toPlainText(), "");
    EXPECT_EQ(dialog.cmdOK->text(), "OK");
    EXPECT_EQ(dialog.cmdOK->geometry(), QRect(296, 528, 97, 25));
    EXPECT_EQ(dialog.ListIndex(), -1);
}

TEST(FontInfoDialog, ListsEachRecordOnceAndShowsTheSelectedText)
{
    NamedFont f;
    ASSERT_TRUE(f.loaded);
    const QStringList lines = {
        "1  Microsoft; English - United States; Copyright notice",
        "2  Microsoft; English - United States; Font Family name",
        "3  Macintosh; English; Font Subfamily name",
        "4  Microsoft; English - United States; Full font name",
    };

    // Each showing starts afresh; the three runs close with OK, Esc and Enter.
    for (int run = 0; run < 3; ++run) {
        RecordingSink sink;
        QStringList shown;
        QString first, last, afterDown, afterUp, none;
        ModalWatcher watcher([&](QWidget* modal) {
            auto* d = qobject_cast<frmInfo*>(modal);
            ASSERT_NE(d, nullptr);
            for (int k = 0; k < rowCount(d); ++k)
                shown << d->List1->model()->index(k, 0).data().toString();
            none = d->Text1->toPlainText();
            selectRow(d, 0);
            first = d->Text1->toPlainText();
            selectRow(d, rowCount(d) - 1);
            last = d->Text1->toPlainText();
            d->List1->setFocus();
            selectRow(d, 1);
            sendKey(d->List1, Qt::Key_Down);
            afterDown = d->Text1->toPlainText();
            sendKey(d->List1, Qt::Key_Up);
            sendKey(d->List1, Qt::Key_Up);
            afterUp = d->Text1->toPlainText();
            if (run == 0)
                d->cmdOK->click();
            else if (run == 1)
                sendKey(d, Qt::Key_Escape);
            else
                sendKey(d->List1, Qt::Key_Return);
        });
        sink.take(ShowFontInfo(nullptr, f.font));
        EXPECT_TRUE(watcher.seen());
        EXPECT_FALSE(watcher.closedByWatcher()) << "run " << run;
        EXPECT_TRUE(sink.texts.empty());
        EXPECT_EQ(shown, lines) << "run " << run;
        EXPECT_EQ(none, "");
        EXPECT_EQ(first, "Copyright (c) the makers");
        EXPECT_EQ(last, QString::fromUtf8("Test Sans \u0141ast"));
        EXPECT_EQ(afterDown, "Book");
        EXPECT_EQ(afterUp, "Copyright (c) the makers");
    }
}

TEST(FontInfoDialog, TheGlyphViewDrawsTheSameAfterwards)
{
    NamedFont f;
    ASSERT_TRUE(f.loaded);
    ViewState view;
    RecordingSink sink;
    RecordingSurface before, after;
    const GlyphReadout r1 = ShowGlyph(4, f.font, view, before, sink);

    ModalWatcher watcher([](QWidget* modal) { static_cast<frmInfo*>(modal)->cmdOK->click(); });
    sink.take(ShowFontInfo(nullptr, f.font));
    EXPECT_TRUE(watcher.seen());

    const GlyphReadout r2 = ShowGlyph(4, f.font, view, after, sink);
    EXPECT_TRUE(sink.texts.empty());
    EXPECT_FALSE(r2.abandoned);
    EXPECT_EQ(r2.listing, r1.listing);
    EXPECT_FALSE(r2.listing.empty());
    EXPECT_EQ(after.count(RecordingSurface::LineCall), before.count(RecordingSurface::LineCall));
    EXPECT_GT(after.count(RecordingSurface::LineCall), 0u);
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(FontInfoDialog, SharedStorageIsDecodedOnlyWhenSelected)
{
    // 65 535 records of 16 705 bytes each over one storage: over a gigabyte
    // of texts if they were all decoded when the dialog opens.
    FontState font;
    RecordingSink sink;
    ASSERT_EQ(loadFontBytes(font, sink, ttf::sharedNameStorageFont()), LoadResult::Loaded);
    const long before = peakKilobytes();
    int items = 0;
    QString text;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* d = static_cast<frmInfo*>(modal);
        items = rowCount(d);
        selectRow(d, items - 1);
        text = d->Text1->toPlainText();
        d->cmdOK->click();
    });
    sink.take(ShowFontInfo(nullptr, font));
    EXPECT_TRUE(watcher.seen());
    EXPECT_EQ(items, 65535);
    EXPECT_EQ(text, QString(16705, 'A'));
    EXPECT_LT(peakKilobytes() - before, 64 * 1024);
}

TEST(FontInfoDialog, NoFontOrNoNameTableShowsTheTwoBoxesAndNoDialog)
{
    ttf::FontSpec design = ttf::squaresFont(3); // no name table
    ttf::TempFontFile file(ttf::buildFont(design));
    FontState withoutNames;
    RecordingSink loadSink;
    ASSERT_EQ(loadFontPath(withoutNames, loadSink, file.path()), LoadResult::Loaded);

    FontState noFont;
    for (FontState* font : {&noFont, &withoutNames}) {
        RecordingSink sink;
        ModalWatcher watcher(nullptr);
        sink.take(ShowFontInfo(nullptr, *font));
        QApplication::processEvents();
        EXPECT_FALSE(watcher.seen());
        ASSERT_EQ(sink.texts.size(), 2u);
        EXPECT_EQ(sink.texts[0], "Not found: name");
        EXPECT_EQ(sink.texts[1].rfind("Error!\r\nCode = 14\r\n", 0), 0u);
    }
}

TEST(AboutDialog, Layout)
{
    RecordingShellOpener shell;
    frmAbout dialog(shell);
    EXPECT_EQ(dialog.windowTitle(), " About Lumaro");
    EXPECT_EQ(dialog.size(), QSize(274, 247));
    EXPECT_EQ(dialog.Frame1->geometry(), QRect(16, 8, 241, 177));
    EXPECT_EQ(dialog.Picture1->geometry(), QRect(32, 16, 32, 32));
    EXPECT_EQ(dialog.Picture1->pixmap().toImage(), QPixmap(":/lumaro.png").toImage()); // the program's icon
    EXPECT_FALSE(dialog.Picture1->pixmap().isNull());
    EXPECT_EQ(dialog.Label8->text(), "Lumaro");
    EXPECT_EQ(dialog.Label8->font().pointSize(), 24);
    EXPECT_EQ(dialog.Label3->text(), "0.14 Beta");
    EXPECT_FALSE(dialog.Label1->text().isEmpty());
    EXPECT_EQ(dialog.Label2->text(), "Website:");
    EXPECT_EQ(dialog.Label6->text(), "Email:");
    EXPECT_TRUE(dialog.Label6->alignment() & Qt::AlignRight);
    EXPECT_EQ(dialog.Label9->geometry(), QRect(64, 120, 161, 17));
    // A caption wider than its designed box grows to the right, inside the frame.
    EXPECT_EQ(dialog.Label10->geometry().topLeft(), QPoint(64, 136));
    EXPECT_GE(dialog.Label10->width(), 89);
    EXPECT_LE(dialog.Label10->geometry().right(), dialog.Frame1->width());
    for (QLabel* l : {dialog.Label8, dialog.Label3, dialog.Label1, dialog.Label2, dialog.Label6, dialog.Label9, dialog.Label10})
        EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
    EXPECT_EQ(dialog.Label6->geometry().right(), 24 + 33 - 1); // right-aligned: its right edge stays
    EXPECT_EQ(dialog.cmdOK->geometry(), QRect(88, 208, 97, 25));
    for (QLabel* link : {dialog.Label9, dialog.Label10}) {
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 192));
        EXPECT_FALSE(underlined(link));
    }
    EXPECT_TRUE(dialog.Label9->text().contains(".example"));
    EXPECT_TRUE(dialog.Label10->text().contains("@example."));
}

TEST(AboutDialog, HoverUnderlinesOnlyTheLinkUnderThePointer)
{
    RecordingShellOpener shell;
    frmAbout dialog(shell);
    dialog.show();

    moveOver(&dialog, {2, 2}); // the dialog's own surface
    EXPECT_FALSE(underlined(dialog.Label9));
    moveOver(dialog.Label9);
    EXPECT_TRUE(underlined(dialog.Label9));
    EXPECT_FALSE(underlined(dialog.Label10));
    moveOver(dialog.Label10);
    EXPECT_FALSE(underlined(dialog.Label9));
    EXPECT_TRUE(underlined(dialog.Label10));
    moveOver(dialog.Frame1, {4, 4}); // the frame's own surface
    EXPECT_FALSE(underlined(dialog.Label9));
    EXPECT_FALSE(underlined(dialog.Label10));

    // Other controls leave the links as they are.
    moveOver(dialog.Label9);
    for (QWidget* other : std::initializer_list<QWidget*>{dialog.Label2, dialog.Label6, dialog.Label8, dialog.Label3,
                                                          dialog.Label1, dialog.Picture1, dialog.cmdOK}) {
        moveOver(other);
        EXPECT_TRUE(underlined(dialog.Label9)) << other->objectName().toStdString();
        EXPECT_FALSE(underlined(dialog.Label10));
    }
    // The frame, reached at a point where one of its labels lies, is not its own surface.
    moveOver(dialog.Frame1, dialog.Label2->geometry().center());
    EXPECT_TRUE(underlined(dialog.Label9));

    moveOver(&dialog, {dialog.width() - 2, dialog.height() - 2});
    EXPECT_FALSE(underlined(dialog.Label9));
}

TEST(AboutDialog, ClickingALinkHandsItToTheShellAndRemovesTheUnderline)
{
    RecordingShellOpener shell;
    frmAbout dialog(shell);
    dialog.show();

    struct Case {
        QLabel* link;
        QString target;
    };
    const Case cases[] = {
        {dialog.Label9, dialog.Label9->text() + "/lumaro.html"},
        {dialog.Label10, "mailto:" + dialog.Label10->text()},
    };
    int calls = 0;
    for (const Case& c : cases) {
        moveOver(c.link);
        ASSERT_TRUE(underlined(c.link));
        click(c.link);
        ASSERT_EQ(shell.CallCount(), ++calls);
        const ShellCall& call = shell.LastCall();
        EXPECT_EQ(call.Owner, &dialog);
        EXPECT_EQ(call.Operation, "open");
        EXPECT_EQ(call.File, c.target);
        EXPECT_EQ(call.Parameters, "");
        EXPECT_EQ(call.Directory, QString::fromStdString(AppPath()));
        EXPECT_EQ(call.ShowCommand, 0);
        EXPECT_FALSE(underlined(c.link));
        // The next movement over it underlines it again.
        moveOver(c.link);
        EXPECT_TRUE(underlined(c.link));
    }
    EXPECT_EQ(cases[0].target, "http://lumaro.example/lumaro.html");
    EXPECT_EQ(cases[1].target, "mailto:lumaro@example.org");
}

TEST(AboutDialog, ShowAboutIsModalAndOkClosesIt)
{
    RecordingShellOpener shell;
    bool fresh = false;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* d = qobject_cast<frmAbout*>(modal);
        ASSERT_NE(d, nullptr);
        fresh = !underlined(d->Label9) && !underlined(d->Label10);
        moveOver(d->Label9);
        d->cmdOK->click();
    });
    ShowAbout(nullptr, shell);
    EXPECT_TRUE(watcher.seen());
    EXPECT_FALSE(watcher.closedByWatcher());
    EXPECT_TRUE(fresh);
    EXPECT_EQ(shell.CallCount(), 0);

    // Esc closes it too; a new showing starts without underlines.
    fresh = false;
    ModalWatcher again([&](QWidget* modal) {
        auto* d = qobject_cast<frmAbout*>(modal);
        ASSERT_NE(d, nullptr);
        fresh = !underlined(d->Label9);
        sendKey(d, Qt::Key_Escape);
    });
    ShowAbout(nullptr, shell);
    EXPECT_FALSE(again.closedByWatcher());
    EXPECT_TRUE(fresh);
}
