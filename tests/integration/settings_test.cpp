// What the window remembers between runs, through a settings file of its own,
// and where a window goes on the screens at hand.
#include <QFile>
#include <QSettings>
#include <QVariantMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/settings.h"

namespace {

class SettingsFile : public ::testing::Test {
protected:
    QString touch(const QString& name)
    {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return f.fileName();
    }

    QTemporaryDir dir;
    const QString file = dir.filePath("lumaro.ini");
};

TEST_F(SettingsFile, EverythingComesBackInTheNextRun)
{
    const Settings::ViewControls controls{7, 0, false};
    {
        Settings first(file);
        EXPECT_EQ(first.lastFolder(), "");
        EXPECT_EQ(first.viewControls(), Settings::ViewControls());
        EXPECT_FALSE(first.windowPosition().has_value());
        EXPECT_TRUE(first.viewOption("mnuMetrics", true));

        first.setLastFolder(dir.path());
        first.setViewControls(controls);
        first.setViewOption("mnuMetrics", false);
        first.setWindowPosition(QPoint(-20, 35));
        first.addRecentFont(touch("a.ttf"));
        first.addRecentFont(touch("b.ttf"));
    }
    const Settings next(file);
    EXPECT_EQ(next.lastFolder(), dir.path());
    EXPECT_EQ(next.viewControls(), controls);
    EXPECT_FALSE(next.viewOption("mnuMetrics", true));
    EXPECT_EQ(next.windowPosition(), QPoint(-20, 35));
    EXPECT_EQ(next.recentFonts(), QStringList({dir.filePath("b.ttf"), dir.filePath("a.ttf")}));
}

TEST_F(SettingsFile, RecentFontsKeepTheNewestEightOnceEach)
{
    Settings settings(file);
    for (int i = 0; i < 10; ++i)
        settings.addRecentFont(touch(QString("%1.ttf").arg(i)));
    settings.addRecentFont(dir.filePath("5.ttf")); // again: moves to the front
    const QStringList fonts = settings.recentFonts();
    ASSERT_EQ(fonts.size(), Settings::MaxRecentFonts);
    EXPECT_EQ(fonts.first(), dir.filePath("5.ttf"));
    EXPECT_EQ(fonts.count(dir.filePath("5.ttf")), 1);
    EXPECT_EQ(fonts.last(), dir.filePath("2.ttf")); // 0 and 1 fell out

    QFile::remove(dir.filePath("9.ttf"));
    QFile::remove(dir.filePath("4.ttf"));
    EXPECT_EQ(settings.dropMissingFonts(), QStringList({dir.filePath("9.ttf"), dir.filePath("4.ttf")}));
    EXPECT_EQ(settings.recentFonts().size(), 6);
    EXPECT_TRUE(settings.dropMissingFonts().isEmpty());
}

TEST_F(SettingsFile, RecentFontsRememberTheFaceOfACollection)
{
    const QString ttc = touch("two.ttc"), ttf = touch("one.ttf");
    {
        Settings first(file);
        first.addRecentFont(ttc, 1);
        first.addRecentFont(ttf);
        EXPECT_EQ(first.recentFontFace(ttc), 1);
    }
    Settings next(file);
    EXPECT_EQ(next.recentFontFace(ttc), 1);
    EXPECT_EQ(next.recentFontFace(ttf), 0);
    next.addRecentFont(ttc); // opened again at its first face
    EXPECT_EQ(next.recentFontFace(ttc), 0);
    next.addRecentFont(ttc, 2);
    for (int i = 0; i < Settings::MaxRecentFonts; ++i)
        next.addRecentFont(touch(QString("%1.ttf").arg(i)), i == 0 ? 5 : 0);
    EXPECT_FALSE(next.recentFonts().contains(ttc));
    EXPECT_EQ(next.recentFontFace(ttc), 0); // pushed out of the list: its face forgotten
    EXPECT_EQ(next.recentFontFace(dir.filePath("0.ttf")), 5);
    next.addRecentFont(ttc, 3);
    EXPECT_EQ(next.recentFontFace(ttc), 3);
    QSettings(file, QSettings::IniFormat).setValue("recentFontFaces", QVariantMap{{ttc, -4}}); // edited by hand
    EXPECT_EQ(Settings(file).recentFontFace(ttc), 0);
}

TEST(WindowPlacement, TheWindowStaysOnAScreenTopLeftFirst)
{
    const QRect left(0, 0, 1280, 1024), right(1280, 0, 1920, 1080);
    const struct {
        QRect frame;
        QList<QRect> screens;
        QPoint expected;
    } cases[] = {
        {{100, 100, 717, 660}, {left}, {100, 100}},      // wholly on the screen: stays
        {{900, 700, 717, 660}, {left}, {563, 364}},      // past the corner: moved back just enough
        {{-78, -134, 717, 660}, {{0, 0, 640, 512}}, {0, 0}}, // larger than the screen: top-left corner on it
        {{-300, 200, 717, 300}, {{0, 0, 640, 512}}, {0, 200}},
        {{1500, 50, 717, 660}, {left, right}, {1500, 50}}, // on the second screen
        {{5000, 5000, 717, 660}, {left, right}, {563, 364}}, // on no screen: the first one
        {{40, 40, 10, 10}, {}, {40, 40}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keptOnScreen(c.frame, c.screens), c.expected) << c.frame.x() << "," << c.frame.y();
}

} // namespace
