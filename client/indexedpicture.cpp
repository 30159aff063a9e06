#include "client/indexedpicture.h"

#include <QPainter>

IndexedPicture::IndexedPicture(PaintFunction paint, QWidget* parent)
    : QWidget(parent), m_paint(std::move(paint))
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void IndexedPicture::setIndex(int index)
{
    if (index == m_index)
        return;
    m_index = index;
    update();
}

void IndexedPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_paint(p, QRectF(rect()), m_index);
}
