#include "client/picturebutton.h"

#include <QPainter>

PictureButton::PictureButton(pictures::PaintFunction paint, QWidget* parent)
    : QAbstractButton(parent), m_paint(std::move(paint))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::PointingHandCursor);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_paint(p, QRectF(rect()));
    if (isDown())
        p.fillRect(rect(), QColor(0, 0, 0, 60));
}
