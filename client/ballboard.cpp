#include "client/ballboard.h"

#include "client/gamepictures.h"

#include <QMouseEvent>
#include <QPainter>

BallBoard::BallBoard(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("paintbox_board"));
    setFixedSize(columns * cell, rows * cell);
}

int BallBoard::positionAt(QPoint point)
{
    if (point.x() < 0 || point.y() < 0 || point.x() >= columns * cell || point.y() >= rows * cell)
        return 0;
    return rows * (point.x() / cell) + point.y() / cell + 1;
}

QRect BallBoard::cellRect(int position)
{
    const int column = (position - 1) / rows;
    const int row = (position - 1) % rows;
    return QRect(column * cell, row * cell, cell, cell);
}

int BallBoard::value(int position) const
{
    return isPosition(position) ? m_positions[std::size_t(position - 1)].value : 0;
}

bool BallBoard::revealed(int position) const
{
    return isPosition(position) && m_positions[std::size_t(position - 1)].revealed;
}

void BallBoard::reveal(int position, int value)
{
    if (!isPosition(position))
        return;
    m_positions[std::size_t(position - 1)] = {value, true};
    update(cellRect(position));
}

void BallBoard::reset()
{
    m_positions.fill(Position{});
    update();
}

bool BallBoard::isDrawn(int value) const
{
    if (value == 0)
        return false;
    for (const Position& p : m_positions)
        if (p.revealed && p.value == value)
            return true;
    return false;
}

void BallBoard::paintEvent(QPaintEvent* event)
{
    QPainter p(this);
    p.fillRect(event->rect(), Qt::black);
    for (int position = 1; position <= positions; ++position) {
        const QRect r = cellRect(position);
        if (!event->rect().intersects(r))
            continue;
        const Position& at = m_positions[std::size_t(position - 1)];
        // Unrevealed positions show the hidden ball; only a cleared one shows empty.
        const int picture = at.revealed ? at.value : at.value == 0 ? 0 : pictures::hiddenBall;
        pictures::paintBall(p, QRectF(r), picture);
    }
}

void BallBoard::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->position().toPoint());
}
