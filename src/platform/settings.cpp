#include "platform/settings.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QSettings>
#include <QVariantMap>
#include <QUrl>

namespace {

const QString LastFolderKey = QStringLiteral("lastFolder");
const QString RecentFontsKey = QStringLiteral("recentFonts");
const QString RecentFacesKey = QStringLiteral("recentFontFaces");
const QString ScaleKey = QStringLiteral("view/scale");
const QString OffsetKey = QStringLiteral("view/offset");
const QString StartMarksKey = QStringLiteral("view/startMarks");
const QString ViewOptionGroup = QStringLiteral("viewOptions/");
const QString WindowPositionKey = QStringLiteral("window/position");

// A whole number in [low, high] stored under key, else fallback.
int storedNumber(const QSettings& store, const QString& key, int low, int high, int fallback)
{
    bool ok = false;
    const int value = store.value(key).toInt(&ok);
    return ok && value >= low && value <= high ? value : fallback;
}

// true / false as QSettings writes them in INI files; anything else gives fallback.
bool storedFlag(const QSettings& store, const QString& key, bool fallback)
{
    const QVariant value = store.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString();
    if (text == QLatin1String("true"))
        return true;
    if (text == QLatin1String("false"))
        return false;
    return fallback;
}

int area(const QRect& r)
{
    return r.isEmpty() ? 0 : r.width() * r.height();
}

// The start along one axis: clamped into the screen, or at its start when too long.
int keptInside(int start, int length, int screenStart, int screenLength)
{
    if (length >= screenLength)
        return screenStart;
    return std::clamp(start, screenStart, screenStart + screenLength - length);
}

} // namespace

Settings::Settings() : store_(std::make_unique<QSettings>(QSettings::UserScope, QStringLiteral("Lumaro"), QStringLiteral("Lumaro"))) {}

Settings::Settings(const QString& iniFile) : store_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

Settings::~Settings() = default;

QString Settings::lastFolder() const
{
    return store_->value(LastFolderKey).toString();
}

void Settings::setLastFolder(const QString& folder)
{
    store_->setValue(LastFolderKey, folder);
}

QStringList Settings::recentFonts() const
{
    QStringList fonts;
    for (const QString& path : store_->value(RecentFontsKey).toStringList())
        if (!path.isEmpty() && !fonts.contains(path) && fonts.size() < MaxRecentFonts)
            fonts << path;
    return fonts;
}

void Settings::addRecentFont(const QString& path, int face)
{
    QStringList fonts = recentFonts();
    fonts.removeAll(path);
    fonts.prepend(path);
    fonts = fonts.mid(0, MaxRecentFonts);
    store_->setValue(RecentFontsKey, fonts);

    // Only collections' faces other than the first are kept, and only for fonts still listed.
    QVariantMap faces;
    const QVariantMap stored = store_->value(RecentFacesKey).toMap();
    for (auto at = stored.begin(); at != stored.end(); ++at)
        if (fonts.contains(at.key()) && at.key() != path)
            faces.insert(at.key(), at.value());
    if (face > 0)
        faces.insert(path, face);
    store_->setValue(RecentFacesKey, faces);
}

int Settings::recentFontFace(const QString& path) const
{
    bool ok = false;
    const int face = store_->value(RecentFacesKey).toMap().value(path).toInt(&ok);
    return ok && face >= 0 && face <= 0xFFFF ? face : 0;
}

QStringList Settings::dropMissingFonts()
{
    QStringList kept, missing;
    for (const QString& path : recentFonts())
        (QFileInfo(path).isFile() ? kept : missing) << path;
    if (!missing.isEmpty())
        store_->setValue(RecentFontsKey, kept);
    return missing;
}

Settings::ViewControls Settings::viewControls() const
{
    const ViewControls defaults;
    return {storedNumber(*store_, ScaleKey, 1, 10, defaults.scale),
            storedNumber(*store_, OffsetKey, 0, 15, defaults.offset),
            storedFlag(*store_, StartMarksKey, defaults.startMarks)};
}

void Settings::setViewControls(const ViewControls& controls)
{
    store_->setValue(ScaleKey, controls.scale);
    store_->setValue(OffsetKey, controls.offset);
    store_->setValue(StartMarksKey, controls.startMarks);
}

bool Settings::viewOption(const QString& name, bool byDefault) const
{
    return storedFlag(*store_, ViewOptionGroup + name, byDefault);
}

void Settings::setViewOption(const QString& name, bool on)
{
    store_->setValue(ViewOptionGroup + name, on);
}

// A path holds the group separator: the key is the path percent-encoded.
static QString fontLocationKey(const QString& path)
{
    return QStringLiteral("fontLocations/") + QString::fromLatin1(QUrl::toPercentEncoding(path));
}

std::vector<double> Settings::fontLocation(const QString& path) const
{
    std::vector<double> user;
    for (const QString& item : store_->value(fontLocationKey(path)).toString().split(' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const double v = item.toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return {};
        user.push_back(v);
    }
    return user;
}

void Settings::setFontLocation(const QString& path, const std::vector<double>& user)
{
    QStringList items;
    for (double v : user)
        items << QString::number(v, 'g', 10);
    store_->setValue(fontLocationKey(path), items.join(' '));
}

std::optional<QPoint> Settings::windowPosition() const
{
    const QVariant value = store_->value(WindowPositionKey);
    if (value.typeId() != QMetaType::QPoint)
        return std::nullopt;
    return value.toPoint();
}

void Settings::setWindowPosition(QPoint position)
{
    store_->setValue(WindowPositionKey, position);
}

QPoint keptOnScreen(const QRect& frame, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return frame.topLeft();
    const auto overlap = [&frame](const QRect& a, const QRect& b) {
        return area(a.intersected(frame)) < area(b.intersected(frame));
    };
    // The first of the screens that hold most of it: the first screen when none holds any.
    const QRect screen = *std::max_element(screens.begin(), screens.end(), overlap);
    return {keptInside(frame.x(), frame.width(), screen.x(), screen.width()),
            keptInside(frame.y(), frame.height(), screen.y(), screen.height())};
}
