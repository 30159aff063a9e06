#include "client/cardgrid.h"

#include "client/gamepictures.h"
#include "client/picturewidget.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {
// Cell places on a card picture.
const pictures::CardLayout cellLayout{{7, 48, 87, 128, 168}, {47, 86, 125, 164, 203}, {34, 29}};
const QColor coveredRed(255, 0, 0);

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}
} // namespace

CardGrid::CardGrid(QWidget* parent) : QWidget(parent)
{
    // Before anything makes the grid's interface.
    tableaccess::install();
    setObjectName(QStringLiteral("cards"));
    setFixedSize(cards * cardSize.width() + cardGap, cardSize.height());
    const QFont font = pictures::tableFont(25);
    for (int c = 1; c <= cards; ++c) {
        auto* image = new PictureWidget(
            [](QPainter& p, const QRectF& r) { pictures::paintCardFrame(p, r, cellLayout); }, this);
        image->setObjectName(QStringLiteral("Image%1").arg(c));
        image->setGeometry(QRect(QPoint((c - 1) * (cardSize.width() + cardGap), 0), cardSize));
        m_images[std::size_t(c - 1)] = image;
        for (int x = 1; x <= size; ++x) {
            for (int y = 1; y <= size; ++y) {
                auto* label = new QLabel(image);
                label->setObjectName(QStringLiteral("label_card%1").arg(tag(c, x, y)));
                label->setProperty("tag", tag(c, x, y));
                label->setFont(font);
                label->setAlignment(Qt::AlignCenter);
                label->setTextFormat(Qt::PlainText);
                label->setGeometry(QRect(QPoint(cellLayout.columnLefts[std::size_t(x - 1)],
                                                cellLayout.rowTops[std::size_t(y - 1)]),
                                         cellLayout.box));
                label->installEventFilter(this);
                m_cells[std::size_t(c - 1)][std::size_t(x - 1)][std::size_t(y - 1)] = label;
            }
        }
    }
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Cards"));
    m_mark = tableaccess::makeFocusMark(this);
    reset();
}

QLabel* CardGrid::cell(int card, int column, int row) const
{
    if (!isCell(card, column, row))
        return nullptr;
    return m_cells[std::size_t(card - 1)][std::size_t(column - 1)][std::size_t(row - 1)];
}

int CardGrid::cellNumber(int card, int column, int row) const
{
    if (!isCell(card, column, row))
        return 0;
    return m_numbers[std::size_t(card - 1)][std::size_t(column - 1)][std::size_t(row - 1)];
}

void CardGrid::showCovered(QLabel* label)
{
    label->setText(QStringLiteral("X"));
    setTextColour(label, coveredRed);
}

void CardGrid::setCell(int card, int column, int row, int value)
{
    QLabel* label = cell(card, column, row);
    if (!label)
        return;
    m_numbers[std::size_t(card - 1)][std::size_t(column - 1)][std::size_t(row - 1)] = value;
    if (value != 0)
        m_dealt[std::size_t(card - 1)][std::size_t(column - 1)][std::size_t(row - 1)] = value;
    tableaccess::cellChanged(this, (card - 1) * size * size + (column - 1) * size + row);
    if (value == 0)
        showCovered(label);
    else
        label->setText(QString::number(value));
}

void CardGrid::reset()
{
    for (int c = 1; c <= cards; ++c)
        for (int x = 1; x <= size; ++x)
            for (int y = 1; y <= size; ++y) {
                QLabel* label = cell(c, x, y);
                m_numbers[std::size_t(c - 1)][std::size_t(x - 1)][std::size_t(y - 1)] = 0;
                m_dealt[std::size_t(c - 1)][std::size_t(x - 1)][std::size_t(y - 1)] = 0;
                label->clear();
                setTextColour(label, Qt::black);
            }
    markCentres();
}

void CardGrid::markCentres()
{
    for (int c = 1; c <= cards; ++c)
        setCell(c, centre, centre, 0);
}

bool CardGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* label = qobject_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // Only the left button is a cell's click.
        if (label && mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            const int t = label->property("tag").toInt();
            emit cellClicked(t / 100, t / 10 % 10, t % 10);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

CardGrid::Place CardGrid::placeOf(int cell)
{
    const int i = cell - 1;
    return {i / (size * size) + 1, i / size % size + 1, i % size + 1};
}

QString CardGrid::cellName(int cell) const
{
    const auto [card, column, row] = placeOf(cell);
    const int dealt = m_dealt[std::size_t(card - 1)][std::size_t(column - 1)][std::size_t(row - 1)];
    // The free centre may have been dealt a number, which nobody sees.
    const bool centreCell = column == centre && row == centre;
    if (dealt == 0 && !centreCell)
        return QStringLiteral("card %1, column %2, row %3, empty").arg(card).arg(column).arg(row);
    const QString what =
        centreCell ? QStringLiteral("free centre")
                   : pictures::ballLetter(dealt) + QLatin1Char(' ') + QString::number(dealt);
    const bool covered = cellNumber(card, column, row) == 0;
    return QStringLiteral("card %1, %2").arg(card).arg(what) +
           (covered ? QStringLiteral(", covered") : QString());
}

QRect CardGrid::cellArea(int cell) const
{
    const auto [card, column, row] = placeOf(cell);
    const QLabel* label = this->cell(card, column, row);
    return QRect(label->mapTo(this, QPoint(0, 0)), label->size());
}

int CardGrid::currentCell() const
{
    const int card = m_keyboard.x() / size;
    return card * size * size + m_keyboard.x() % size * size + m_keyboard.y() + 1;
}

void CardGrid::pressCell(int cell)
{
    const auto [card, column, row] = placeOf(cell);
    if (isCell(card, column, row))
        emit cellClicked(card, column, row);
}

void CardGrid::markMoved()
{
    tableaccess::placeFocusMark(m_mark, cellArea(currentCell()));
    tableaccess::cellFocused(this, currentCell());
}

void CardGrid::keyPressEvent(QKeyEvent* event)
{
    if (tableaccess::arrowMove(event->key(), m_keyboard, QSize(cards * size, size)))
        markMoved();
    else if (tableaccess::isPressKey(event->key()))
        pressCell(currentCell());
    else
        QWidget::keyPressEvent(event);
}

void CardGrid::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    markMoved();
}

void CardGrid::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_mark->hide();
}
