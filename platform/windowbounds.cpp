#include "platform/windowbounds.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
// Wider than any desktop in use and well inside what a window system accepts.
constexpr int largestExtent = 16384;
constexpr int closeStep = 15;

bool plausibleExtent(int extent)
{
    return extent > 0 && extent <= largestExtent;
}
} // namespace

std::optional<QRect> boundsToSaveAtClose(const QRect& window, const QRect& saved,
                                         const QRect& workArea)
{
    if (window == saved)
        return std::nullopt;
    QRect bounds = window;
    if (bounds.width() > workArea.width())
        bounds.setWidth(bounds.width() - closeStep);
    if (bounds.height() > workArea.height())
        bounds.setHeight(bounds.height() - closeStep);
    return bounds;
}

QRect placeableBounds(const QRect& stored, const QList<QRect>& screens, const QRect& defaults)
{
    QRect bounds = stored;
    if (!plausibleExtent(stored.width()))
        bounds.setWidth(defaults.width());
    if (!plausibleExtent(stored.height()))
        bounds.setHeight(defaults.height());
    const bool seen = std::any_of(screens.begin(), screens.end(), [&bounds](const QRect& screen) {
        return screen.intersects(bounds);
    });
    if (!seen)
        bounds.moveTopLeft(defaults.topLeft());
    return bounds;
}

QRect windowBounds(const QWidget& window)
{
    return QRect(window.pos(), window.size());
}

QRect desktopWorkArea(const QWidget& window)
{
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens())
        areas.append(screen->geometry());
    return areas;
}
