#include "client/picturewidget.h"

#include <QPainter>

PictureWidget::PictureWidget(pictures::PaintFunction paint, QWidget* parent)
    : QWidget(parent), m_paint(std::move(paint))
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void PictureWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    m_paint(p, QRectF(rect()));
}
