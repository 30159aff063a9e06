#include "client/tablebackground.h"

#include "client/pictures.h"

#include <QPaintEvent>
#include <QPainter>

TableBackground::TableBackground(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(false);
}

void TableBackground::paintEvent(QPaintEvent*)
{
    const qreal ratio = devicePixelRatioF();
    // Redrawn when the window moves to a screen of another pixel ratio.
    if (m_tile.isNull() || !qFuzzyCompare(m_tile.devicePixelRatio(), ratio))
        m_tile = pictures::render(QSize(pictures::tileSize, pictures::tileSize), ratio,
                                  pictures::paintBackgroundTile);
    QPainter p(this);
    pictures::paintTableBackground(p, rect(), m_tile);
}
