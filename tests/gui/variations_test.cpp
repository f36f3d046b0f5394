// View > "Variations" on Inter: a slider moves the glyph drawn and its
// read-out box as FreeType varies it, the instance picker sets the sliders,
// "Default" goes back, and a font without axes hides the command.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>
#include <QSlider>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_MULTIPLE_MASTERS_H
#include FT_OUTLINE_H
#include <gtest/gtest.h>

#include "platform/shell.h"
#include "platform/widgets/toolkit.h"
#include "support/quiet_toolkit.h"
#include "support/freetype_face.h"
#include "ui/main/frmmain.h"
#include "ui/variations/variations_dialog.h"
#include "ui/session_signals.h"

namespace {

constexpr int GlyphH = 161; // "H" of Inter

struct Metrics {
    long width;   // of the box
    long advance;
};

// FreeType's metrics of glyph H at weight `wght`, in font units.
Metrics freeTypeMetrics(double wght)
{
    FreeTypeFace ft(INTER_VARIABLE_FONT);
    FT_Fixed coords[] = {FT_Fixed(wght * 65536), 0}; // upright
    EXPECT_EQ(FT_Set_Var_Design_Coordinates(ft.get(), 2, coords), 0);
    EXPECT_EQ(FT_Load_Glyph(ft.get(), GlyphH, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
    FT_BBox box;
    FT_Outline_Get_CBox(&ft.get()->glyph->outline, &box);
    return {box.xMax - box.xMin, ft.get()->glyph->advance.x};
}

long freeTypeWidth(double wght) { return freeTypeMetrics(wght).width; }

struct Readout {
    long width;
    std::string listing;
};

TEST(Variations, SliderInstancesAndDefaultMoveTheGlyphShown)
{
    QuietToolkit toolkit;
    RecordingShellOpener shell;
    frmmain w{toolkit, shell};
    w.OpenFontFile(INTER_VARIABLE_FONT);
    ASSERT_TRUE(w.session().font()->Loaded);
    VariationsDialog* d = w.findChild<VariationsDialog*>("variations");
    QAction* command = w.findChild<QAction*>("mnuVariations");
    ASSERT_TRUE(d && command);
    EXPECT_TRUE(command->isVisible());
    d->defaultButton()->click(); // whatever an earlier run left remembered
    w.findChild<SessionSignals*>()->session().showGlyph(GlyphH);
    const auto readout = [&] {
        const auto number = [&](const char* name) { return w.findChild<QLineEdit*>(name)->text().toLong(); };
        return Readout{number("Text4") - number("Text3"), w.findChild<QWidget*>("Text5")->property("plainText").toString().toStdString()};
    };
    const Readout regular = readout();
    EXPECT_EQ(regular.width, freeTypeWidth(400));

    d->slider(0)->setValue(90000); // wght 900
    EXPECT_DOUBLE_EQ(d->field(0)->value(), 900);
    const Readout black = readout();
    EXPECT_NEAR(black.width, freeTypeWidth(900), 1);
    const QString status = w.findChild<QLabel*>("glyphInfo")->text();
    EXPECT_TRUE(status.endsWith(QStringLiteral("advance %1").arg(freeTypeMetrics(900).advance))) << status.toStdString();
    EXPECT_NE(freeTypeMetrics(900).advance, freeTypeMetrics(400).advance);
    EXPECT_NE(black.width, regular.width);
    EXPECT_NE(black.listing, regular.listing);
    EXPECT_EQ(w.session().userLocation(), (std::vector<Fixed>{900 << 16, 0}));
    EXPECT_EQ(d->instancePicker()->currentText(), "Black"); // the slider came to an instance

    const int thin = d->instancePicker()->findText("Thin");
    ASSERT_GE(thin, 0);
    d->instancePicker()->setCurrentIndex(thin);
    emit d->instancePicker()->activated(thin);
    EXPECT_EQ(d->slider(0)->value(), 10000);
    EXPECT_NEAR(readout().width, freeTypeWidth(100), 1);

    // A value entered stays: Enter is not the "Default" button's.
    d->show();
    d->field(0)->setValue(700);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(d->field(0), &enter);
    EXPECT_EQ(w.session().userLocation(), (std::vector<Fixed>{700 << 16, 0}));
    d->hide();

    d->defaultButton()->click();
    EXPECT_EQ(d->slider(0)->value(), 40000);
    EXPECT_TRUE(w.session().location().normalized.empty());
    EXPECT_EQ(readout().listing, regular.listing);
    EXPECT_TRUE(toolkit.messages.empty());

    w.OpenFontFile(std::string(DEJAVU_DIR) + "/DejaVuSans.ttf");
    EXPECT_FALSE(command->isVisible());
}

} // namespace
