#include "platform/windowbounds.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <functional>
#include <optional>

namespace {
// Wider than any desktop in use and well inside what a window system accepts.
constexpr int largestExtent = 16384;
constexpr int closeStep = 15;

// Calls back once, at the window's first expose.
class ExposeFilter : public QObject {
public:
    ExposeFilter(QWindow* window, std::function<void()> exposed)
        : QObject(window), m_exposed(std::move(exposed))
    {
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_exposed();
                    deleteLater();
                },
                Qt::QueuedConnection);
            watched->removeEventFilter(this);
        }
        return false;
    }

private:
    std::function<void()> m_exposed;
};

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
    std::optional<int> top; // the highest top of the screens the window lies on
    for (const QRect& screen : screens)
        if (screen.intersects(bounds))
            top = std::min(top.value_or(screen.top()), screen.top());
    if (!top)
        bounds.moveTopLeft(defaults.topLeft());
    else if (bounds.top() < *top) // the title bar would be out of reach
        bounds.moveTop(*top);
    return bounds;
}

QRect windowBounds(const QWidget& window)
{
    return QRect(window.pos(), window.size());
}

void placeWindow(QWidget& window, const QRect& bounds)
{
    QWindow* handle = window.windowHandle();
    const auto place = [&window, handle, bounds] {
        window.resize(bounds.size());
        window.move(bounds.topLeft());
        // The frame's size may still be unknown, and move() then takes the client area for
        // the frame: the window system is told the frame's place as such too.
        if (handle)
            handle->setFramePosition(bounds.topLeft());
    };
    if (!handle || handle->isExposed())
        place();
    else // not on screen yet: a size or place given now can be lost to the first mapping
        handle->installEventFilter(new ExposeFilter(handle, place));
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
