#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>

namespace {

// Whether any part of rect lies on the available area of a screen.
bool isOnAScreen(const QRect &rect)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    if (screens.isEmpty())
        return true;
    for (const QScreen *screen : screens) {
        if (screen->availableGeometry().intersects(rect))
            return true;
    }
    return false;
}

} // namespace

WindowPlacement WindowPlacement::read(const QString &group, const QSize &defaultSize)
{
    QSettings settings;
    settings.beginGroup(group);
    settings.beginGroup(QStringLiteral("widget"));

    WindowPlacement placement;
    placement.size = settings.value(QStringLiteral("size"), defaultSize).toSize();
    if (placement.size.isEmpty())
        placement.size = defaultSize;

    QRect centred(QPoint(0, 0), placement.size);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        centred.moveCenter(screen->availableGeometry().center());
    placement.pos = settings.value(QStringLiteral("pos"), centred.topLeft()).toPoint();
    if (!isOnAScreen(QRect(placement.pos, placement.size)))
        placement.pos = centred.topLeft();
    return placement;
}

void WindowPlacement::write(const QString &group) const
{
    QSettings settings;
    settings.beginGroup(group);
    settings.beginGroup(QStringLiteral("widget"));
    settings.setValue(QStringLiteral("size"), size);
    settings.setValue(QStringLiteral("pos"), pos);
}
