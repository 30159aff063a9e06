#include "client/gamepictures.h"

#include "client/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace pictures {
namespace {

const QColor hiddenPurple(48, 0, 64);

QFont boldArial(qreal pixelSize)
{
    return tableFont(qMax(1, qRound(pixelSize)));
}

void shadedDisc(QPainter& p, const QRectF& r, const QColor& colour)
{
    QRadialGradient shade(r.center() - QPointF(r.width() / 5, r.height() / 5), r.width() * 0.7);
    shade.setColorAt(0, colour.lighter(160));
    shade.setColorAt(1, colour);
    p.setPen(QPen(colour.darker(180), qMax(0.8, r.width() / 40)));
    p.setBrush(shade);
    p.drawEllipse(r);
}

// Zorer Aru's face: a round yellow face with glasses and a grin, filling r.
void paintFace(QPainter& p, const QRectF& r)
{
    shadedDisc(p, r, faceYellow);
    const qreal w = r.width(), h = r.height();
    p.setPen(QPen(Qt::black, qMax(0.8, w / 22)));
    p.setBrush(Qt::white);
    const QSizeF eye(w * 0.22, h * 0.18);
    p.drawEllipse(QRectF(r.topLeft() + QPointF(w * 0.22, h * 0.3), eye));
    p.drawEllipse(QRectF(r.topLeft() + QPointF(w * 0.56, h * 0.3), eye));
    p.drawLine(r.topLeft() + QPointF(w * 0.44, h * 0.38),
               r.topLeft() + QPointF(w * 0.56, h * 0.38));
    p.setBrush(Qt::black);
    const QSizeF pupil(w * 0.07, h * 0.07);
    p.drawEllipse(QRectF(r.topLeft() + QPointF(w * 0.3, h * 0.36), pupil));
    p.drawEllipse(QRectF(r.topLeft() + QPointF(w * 0.64, h * 0.36), pupil));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(r.topLeft() + QPointF(w * 0.28, h * 0.45), QSizeF(w * 0.44, h * 0.3)),
              200 * 16, 140 * 16);
}

} // namespace

QString ballLetter(int value)
{
    static const char* const letters[] = {"B", "I", "N", "G", "O"};
    if (value < 1 || value > 75)
        return QString();
    return QString::fromLatin1(letters[(value - 1) / 15]);
}

QString ballText(int value)
{
    const QString letter = ballLetter(value);
    return letter.isEmpty() ? QString() : letter + QString::number(value);
}

void paintBall(QPainter& p, const QRectF& r, int value)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (value <= emptyBall || value > zorerBall) {
        p.fillRect(r, purple);
    } else {
        const QRectF disc =
            r.adjusted(r.width() * 0.05, r.height() * 0.05, -r.width() * 0.05, -r.height() * 0.05);
        if (value == hiddenBall) {
            shadedDisc(p, disc, hiddenPurple);
        } else if (value == zorerBall) {
            paintFace(p, disc);
        } else {
            shadedDisc(p, disc, QColor(250, 250, 250));
            p.setPen(Qt::black);
            p.setFont(boldArial(r.height() * 0.28));
            p.drawText(QRectF(disc.left(), disc.top() + disc.height() * 0.12, disc.width(),
                              disc.height() * 0.38),
                       Qt::AlignCenter, ballLetter(value));
            p.setFont(boldArial(r.height() * 0.33));
            p.drawText(QRectF(disc.left(), disc.top() + disc.height() * 0.45, disc.width(),
                              disc.height() * 0.42),
                       Qt::AlignCenter, QString::number(value));
        }
    }
    p.restore();
}

void paintBobCounter(QPainter& p, const QRectF& r, int count)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(r, Qt::black);
    if (count <= 0 || count >= bobCounterPictures) {
        p.setPen(QColor(160, 96, 200));
        p.setFont(boldArial(r.height() * 0.8));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("B O B"));
    } else {
        const qreal size = r.height() * 0.85;
        const qreal gap = size * 0.3;
        const qreal total = count * size + (count - 1) * gap;
        qreal left = r.center().x() - total / 2;
        for (int i = 0; i < count; ++i, left += size + gap)
            paintFace(p, QRectF(left, r.center().y() - size / 2, size, size));
    }
    p.restore();
}

void paintBigBall(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(r.width(), r.height()) - 4;
    shadedDisc(p, QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side),
               QColor(250, 250, 250));
    p.restore();
}

void paintBobBall(QPainter& p, const QRectF& r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(r.width(), r.height()) - 4;
    paintFace(p, QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side));
    p.restore();
}

void paintWordButton(QPainter& p, const QRectF& r, const QString& words, const QColor& fill)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = r.adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(darkPurple, 1));
    p.setBrush(fill);
    p.drawRoundedRect(box, r.height() / 5, r.height() / 5);
    p.setPen(QColor(247, 242, 223));
    p.setFont(boldArial(r.height() * 0.45));
    p.drawText(r, Qt::AlignCenter, words);
    p.restore();
}

void paintArrow(QPainter& p, const QRectF& r, bool pointsRight)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    const qreal inset = qMin(r.width(), r.height()) * 0.15;
    const QRectF a = r.adjusted(inset, inset, -inset, -inset);
    if (pointsRight) {
        path.moveTo(a.topLeft());
        path.lineTo(a.right(), a.center().y());
        path.lineTo(a.bottomLeft());
    } else {
        path.moveTo(a.topRight());
        path.lineTo(a.left(), a.center().y());
        path.lineTo(a.bottomRight());
    }
    path.closeSubpath();
    p.fillPath(path, purple);
    p.restore();
}

void paintScoreTitle(QPainter& p, const QRectF& r)
{
    paintWordButton(p, r, QStringLiteral("ROUND SCORES"));
}

void paintScoreLegend(QPainter& p, const QRectF& r)
{
    static const char* const lines[] = {"Covered: 1 each", "Line: 10 each", "Corners: 15",
                                        "Cross: 25",       "X: 20",         "Square: 25",
                                        "Blackout: 100"};
    p.save();
    p.setPen(darkPurple);
    p.setFont(boldArial(11));
    const qreal step = r.height() / 7;
    for (int i = 0; i < 7; ++i)
        p.drawText(QRectF(r.left(), r.top() + i * step, r.width(), step),
                   Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(lines[i]));
    p.restore();
}

} // namespace pictures
