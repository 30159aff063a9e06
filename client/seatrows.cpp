#include "client/seatrows.h"

#include "client/picturewidget.h"
#include "net/table.h"

#include <QLabel>

namespace {
constexpr int nameLeft = 13;
constexpr int nameWidth = 108;
constexpr int scoreLeft = 124;
constexpr int bonusLeft = 161;
constexpr int rowHeight = 17;
constexpr int turnLeft = 8;
constexpr QSize turnSize{25, 25};
constexpr int eyesLeft = 4;
constexpr QSize eyesSize{23, 10};

QLabel* rowLabel(QWidget* parent, const QString& name, int left, int width, int pixelSize,
                 Qt::Alignment alignment)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFont(pictures::tableFont(pixelSize));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(left, 0, width, rowHeight);
    return label;
}
} // namespace

SeatRows::SeatRows(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("seatrows"));
    // Behind the names, so created first.
    m_turn = new PictureWidget(pictures::paintTurnMarker, this);
    m_turn->setObjectName(QStringLiteral("image_Turn"));
    m_turn->setGeometry(QRect(QPoint(turnLeft, rowTops[0] - 5), turnSize));
    m_turn->hide();
    m_turn->setAccessibleName(QStringLiteral("Turn"));

    for (int i = 0; i < rows; ++i) {
        const QString n = QString::number(i + 1);
        const int top = rowTops[std::size_t(i)];
        QLabel* name = rowLabel(this, QStringLiteral("label_playername") + n, nameLeft, nameWidth,
                                13, Qt::AlignHCenter);
        name->move(nameLeft, top);
        name->setText(table::waitingName);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, i, name](const QPoint& at) {
                    emit nameContextMenu(i + 1, name->mapToGlobal(at));
                });
        QLabel* score = rowLabel(this, QStringLiteral("label_score") + n, scoreLeft,
                                 bonusLeft - scoreLeft - 2, 13, Qt::AlignLeft);
        score->move(scoreLeft, top);
        score->setText(QStringLiteral("0"));
        QLabel* bonus =
            rowLabel(this, QStringLiteral("label_bonus") + n, bonusLeft, 31, 12, Qt::AlignLeft);
        bonus->move(bonusLeft, top);
        auto* eyes = new PictureWidget(pictures::paintEyes, this);
        eyes->setObjectName(QStringLiteral("image_eyes") + n);
        eyes->setGeometry(
            QRect(QPoint(eyesLeft, top + (rowHeight - eyesSize.height()) / 2), eyesSize));
        eyes->hide();
        m_names[std::size_t(i)] = name;
        m_scores[std::size_t(i)] = score;
        m_bonuses[std::size_t(i)] = bonus;
        m_eyes[std::size_t(i)] = eyes;
        describe(i + 1);
    }
}

QString SeatRows::name(int seat) const
{
    return isRow(seat) ? m_names[std::size_t(seat - 1)]->text() : QString();
}

void SeatRows::setName(int seat, const QString& text)
{
    if (isRow(seat))
        m_names[std::size_t(seat - 1)]->setText(text);
    describe(seat);
}

QString SeatRows::score(int seat) const
{
    return isRow(seat) ? m_scores[std::size_t(seat - 1)]->text() : QString();
}

void SeatRows::setScore(int seat, const QString& text)
{
    if (isRow(seat))
        m_scores[std::size_t(seat - 1)]->setText(text);
    describe(seat);
}

QString SeatRows::bonus(int seat) const
{
    return isRow(seat) ? m_bonuses[std::size_t(seat - 1)]->text() : QString();
}

void SeatRows::setBonus(int seat, const QString& text)
{
    if (isRow(seat))
        m_bonuses[std::size_t(seat - 1)]->setText(text);
}

bool SeatRows::eyesShown(int seat) const
{
    return isRow(seat) && !m_eyes[std::size_t(seat - 1)]->isHidden();
}

void SeatRows::setEyes(int seat, bool shown)
{
    if (isRow(seat))
        m_eyes[std::size_t(seat - 1)]->setVisible(shown);
    describe(seat);
}

void SeatRows::moveTurnMarker(int seat)
{
    if (!isRow(seat))
        return;
    m_turn->move(turnLeft, m_names[std::size_t(seat - 1)]->y() - 5);
    m_turn->show();
    m_turnSeat = seat;
    describe(seat);
}

void SeatRows::describe(int seat)
{
    if (!isRow(seat))
        return;
    const QString row =
        QStringLiteral("Seat %1, %2, %3 points").arg(seat).arg(name(seat), score(seat));
    nameLabel(seat)->setAccessibleName(
        row + (eyesShown(seat) ? QStringLiteral(", just watching") : QString()));
    if (seat == m_turnSeat)
        m_turn->setAccessibleName(QStringLiteral("Turn: seat %1, %2").arg(seat).arg(name(seat)));
}
