#pragma once
#include <memory>
#include <optional>
#include <vector>

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

class QSettings;

// What the window remembers between runs, kept through QSettings. Every value
// read back is checked: a hand-edited or damaged settings file gives the
// defaults, never a slider out of its range.
class Settings {
public:
    static constexpr int MaxRecentFonts = 8;

    // The user's settings of this program: on Linux ~/.config/Lumaro/Lumaro.conf.
    Settings();
    // A settings file of its own, in INI format.
    explicit Settings(const QString& iniFile);
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The folder of the last font opened or picture saved; "" when none yet.
    QString lastFolder() const;
    void setLastFolder(const QString& folder);

    // Newest first, at most MaxRecentFonts, no duplicates.
    QStringList recentFonts() const;
    // Puts path first, dropping an older entry of it and the oldest beyond the
    // limit; face: the collection's face that was open (0 for a single font).
    void addRecentFont(const QString& path, int face = 0);
    // The face last open of a recent font; 0 when none was remembered.
    int recentFontFace(const QString& path) const;
    // Removes the entries whose files no longer exist and returns them.
    QStringList dropMissingFonts();

    // The scale and offset sliders and the start-mark check box.
    struct ViewControls {
        int scale = 2;  // 1..10
        int offset = 9; // 0..15
        bool startMarks = true;
        friend bool operator==(const ViewControls&, const ViewControls&) = default;
    };
    ViewControls viewControls() const;
    void setViewControls(const ViewControls& controls);

    // A checkable View option, by name; byDefault when it was never set.
    bool viewOption(const QString& name, bool byDefault) const;
    void setViewOption(const QString& name, bool on);

    // The variation location a font was last shown at, by its path: user
    // values per axis in the font's order; empty when none was kept.
    std::vector<double> fontLocation(const QString& path) const;
    void setFontLocation(const QString& path, const std::vector<double>& user);

    // The window's top-left corner (its frame's) when it was last closed.
    std::optional<QPoint> windowPosition() const;
    void setWindowPosition(QPoint position);

private:
    std::unique_ptr<QSettings> store_;
};

// Where a window frame goes so that all of it can be seen, or its top-left
// part: onto the screen (available area) that holds most of it, else the
// first screen, moved only as far as needed. Along an axis where the frame is
// larger than that screen, its top-left corner goes to the screen's edge, so
// the menu bar stays reachable. No screens: the frame's own position.
QPoint keptOnScreen(const QRect& frame, const QList<QRect>& screens);
