#include "client/tileddialog.h"

#include "client/pictures.h"

#include <QPainter>

void TiledDialog::setBackgroundTile(const QPixmap& tile)
{
    m_tile = tile;
    update();
}

void TiledDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    pictures::paintTableBackground(painter, rect(), m_tile);
}
