#include "client/ballboard.h"

#include "client/gamepictures.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

BallBoard::BallBoard(QWidget* parent) : QWidget(parent)
{
    // Before anything makes the grid's interface.
    tableaccess::install();
    setObjectName(QStringLiteral("paintbox_board"));
    setFixedSize(columns * cell, rows * cell);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Ball board"));
    m_mark = tableaccess::makeFocusMark(this);
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
    tableaccess::cellChanged(this, position);
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

QString BallBoard::cellName(int position) const
{
    const Position& at = m_positions[std::size_t(position - 1)];
    if (at.revealed && at.value == pictures::zorerBall)
        return QStringLiteral("Zorer Aru");
    if (at.revealed)
        return pictures::ballLetter(at.value) + QLatin1Char(' ') + QString::number(at.value);
    return QStringLiteral("%1, column %2, row %3")
        .arg(at.value == 0 ? QStringLiteral("empty") : QStringLiteral("hidden ball"))
        .arg((position - 1) / rows + 1)
        .arg((position - 1) % rows + 1);
}

void BallBoard::pressCell(int position)
{
    if (isPosition(position))
        emit released(cellRect(position).center());
}

void BallBoard::keyPressEvent(QKeyEvent* event)
{
    QPoint place((m_current - 1) / rows, (m_current - 1) % rows);
    if (tableaccess::arrowMove(event->key(), place, QSize(columns, rows))) {
        m_current = place.x() * rows + place.y() + 1;
        tableaccess::placeFocusMark(m_mark, cellRect(m_current));
        tableaccess::cellFocused(this, m_current);
    } else if (tableaccess::isPressKey(event->key())) {
        pressCell(m_current);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void BallBoard::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    tableaccess::placeFocusMark(m_mark, cellRect(m_current));
    tableaccess::cellFocused(this, m_current);
}

void BallBoard::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_mark->hide();
}
