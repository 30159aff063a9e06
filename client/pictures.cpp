#include "client/pictures.h"

#include "client/firstpaint.h"

#include <QAbstractButton>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <memory>
#include <optional>

namespace pictures {
namespace {

const QColor cream(255, 248, 220);
const QColor faceEdge(150, 100, 0);

// Runs a paint function in a design space of w by h units stretched over r.
void inDesignSpace(QPainter& p, const QRectF& r, qreal w, qreal h,
                   const std::function<void()>& paint)
{
    p.save();
    p.translate(r.topLeft());
    p.scale(r.width() / w, r.height() / h);
    paint();
    p.restore();
}

QPen pen(const QColor& colour, qreal width)
{
    QPen result(colour, width);
    result.setCapStyle(Qt::RoundCap);
    result.setJoinStyle(Qt::RoundJoin);
    return result;
}

// A 16 by 16 smiley face: the round head every smiley shares.
void paintFace(QPainter& p, const QColor& fill)
{
    QRadialGradient shade(QPointF(6, 5), 10);
    shade.setColorAt(0, fill.lighter(130));
    shade.setColorAt(1, fill);
    p.setPen(pen(faceEdge, 0.9));
    p.setBrush(shade);
    p.drawEllipse(QRectF(0.6, 0.6, 14.8, 14.8));
}

void dotEyes(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QRectF(4.6, 4.2, 1.9, 2.8));
    p.drawEllipse(QRectF(9.5, 4.2, 1.9, 2.8));
}

void closedEyes(QPainter& p, bool happy)
{
    p.setPen(pen(Qt::black, 1.0));
    p.setBrush(Qt::NoBrush);
    if (happy) {
        p.drawArc(QRectF(4.0, 4.6, 3.0, 2.6), 0, 180 * 16);
        p.drawArc(QRectF(9.0, 4.6, 3.0, 2.6), 0, 180 * 16);
    } else {
        p.drawLine(QPointF(4.2, 6.2), QPointF(6.8, 6.2));
        p.drawLine(QPointF(9.2, 6.2), QPointF(11.8, 6.2));
    }
}

void smileMouth(QPainter& p, qreal depth)
{
    p.setPen(pen(Qt::black, 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4.2, 6.5 - depth, 7.6, 2 * depth + 2.0), 200 * 16, 140 * 16);
}

void openMouth(QPainter& p, const QRectF& r)
{
    p.setPen(pen(Qt::black, 0.8));
    p.setBrush(QColor(140, 20, 20));
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right(), r.top());
    path.arcTo(r.adjusted(0, -r.height(), 0, 0), 0, -180);
    path.closeSubpath();
    p.drawPath(path);
}

void heart(QPainter& p, const QPointF& c, qreal s, const QColor& colour)
{
    QPainterPath path;
    path.moveTo(c.x(), c.y() + s * 0.9);
    path.cubicTo(c.x() - s * 1.4, c.y() - s * 0.1, c.x() - s * 0.6, c.y() - s * 1.1, c.x(),
                 c.y() - s * 0.3);
    path.cubicTo(c.x() + s * 0.6, c.y() - s * 1.1, c.x() + s * 1.4, c.y() - s * 0.1, c.x(),
                 c.y() + s * 0.9);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

void paintSmileyDesign(QPainter& p, int index)
{
    switch (index) {
    default:
    case 0: // smile
        paintFace(p, faceYellow);
        dotEyes(p);
        smileMouth(p, 2.2);
        break;
    case 1: // big grin
        paintFace(p, faceYellow);
        dotEyes(p);
        openMouth(p, QRectF(4.0, 8.8, 8.0, 3.6));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.6, 9.2, 6.8, 1.0));
        break;
    case 2: // wink
        paintFace(p, faceYellow);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(4.6, 4.2, 1.9, 2.8));
        p.setPen(pen(Qt::black, 1.0));
        p.drawLine(QPointF(9.1, 6.0), QPointF(11.9, 5.2));
        smileMouth(p, 2.0);
        break;
    case 3: // sad
        paintFace(p, faceYellow);
        dotEyes(p);
        p.setPen(pen(Qt::black, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4.6, 10.0, 6.8, 4.0), 20 * 16, 140 * 16);
        break;
    case 4: // surprised
        paintFace(p, faceYellow);
        p.setPen(pen(Qt::black, 0.7));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(3.8, 3.4, 3.2, 3.6));
        p.drawEllipse(QRectF(9.0, 3.4, 3.2, 3.6));
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(4.9, 4.6, 1.2, 1.4));
        p.drawEllipse(QRectF(10.1, 4.6, 1.2, 1.4));
        p.setBrush(QColor(140, 20, 20));
        p.drawEllipse(QRectF(6.4, 9.0, 3.2, 3.8));
        break;
    case 5: // tongue out
        paintFace(p, faceYellow);
        dotEyes(p);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(235, 80, 110));
        p.drawEllipse(QRectF(7.6, 9.6, 3.4, 4.2));
        p.setPen(pen(Qt::black, 1.0));
        p.drawLine(QPointF(4.6, 9.8), QPointF(11.4, 9.8));
        break;
    case 6: // sunglasses
        paintFace(p, faceYellow);
        p.setPen(pen(Qt::black, 0.8));
        p.setBrush(QColor(20, 20, 40));
        p.drawRoundedRect(QRectF(2.8, 4.2, 4.6, 3.0), 1.0, 1.0);
        p.drawRoundedRect(QRectF(8.6, 4.2, 4.6, 3.0), 1.0, 1.0);
        p.drawLine(QPointF(7.4, 5.0), QPointF(8.6, 5.0));
        smileMouth(p, 1.6);
        break;
    case 7: // angry
        paintFace(p, QColor(240, 90, 50));
        dotEyes(p);
        p.setPen(pen(Qt::black, 1.1));
        p.drawLine(QPointF(3.6, 3.2), QPointF(7.0, 4.6));
        p.drawLine(QPointF(12.4, 3.2), QPointF(9.0, 4.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4.8, 10.4, 6.4, 3.6), 30 * 16, 120 * 16);
        break;
    case 8: // crying
        paintFace(p, faceYellow);
        closedEyes(p, false);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 150, 255));
        p.drawEllipse(QRectF(4.0, 7.2, 1.8, 3.4));
        p.drawEllipse(QRectF(10.2, 7.2, 1.8, 3.4));
        p.setPen(pen(Qt::black, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(5.0, 10.6, 6.0, 3.6), 20 * 16, 140 * 16);
        break;
    case 9: // laughing
        paintFace(p, faceYellow);
        closedEyes(p, true);
        openMouth(p, QRectF(3.8, 8.4, 8.4, 4.4));
        break;
    case 10: // kiss
        paintFace(p, faceYellow);
        closedEyes(p, true);
        p.setPen(pen(QColor(200, 0, 60), 1.1));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6.4, 8.6, 2.6, 2.0), -90 * 16, 180 * 16);
        p.drawArc(QRectF(6.4, 10.4, 2.6, 2.0), -90 * 16, 180 * 16);
        heart(p, QPointF(12.6, 10.6), 1.9, QColor(230, 20, 60));
        break;
    case 11: { // confused
        paintFace(p, faceYellow);
        dotEyes(p);
        QPainterPath wave;
        wave.moveTo(4.4, 11.0);
        wave.cubicTo(6.0, 9.4, 7.0, 12.6, 8.4, 11.0);
        wave.cubicTo(9.8, 9.4, 10.6, 12.6, 11.8, 10.6);
        p.setPen(pen(Qt::black, 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawPath(wave);
        break;
    }
    case 12: // sleepy
        paintFace(p, faceYellow);
        closedEyes(p, false);
        p.setPen(pen(Qt::black, 1.0));
        p.drawLine(QPointF(6.4, 11.0), QPointF(9.6, 11.0));
        p.setPen(pen(QColor(40, 40, 160), 0.8));
        p.drawLine(QPointF(11.4, 0.8), QPointF(14.0, 0.8));
        p.drawLine(QPointF(14.0, 0.8), QPointF(11.4, 3.2));
        p.drawLine(QPointF(11.4, 3.2), QPointF(14.0, 3.2));
        break;
    case 13: { // devil
        QPainterPath horns;
        horns.moveTo(2.2, 4.0);
        horns.lineTo(1.4, 0.2);
        horns.lineTo(5.0, 2.2);
        horns.moveTo(13.8, 4.0);
        horns.lineTo(14.6, 0.2);
        horns.lineTo(11.0, 2.2);
        p.setPen(pen(QColor(120, 0, 0), 0.6));
        p.setBrush(QColor(200, 20, 20));
        p.drawPath(horns);
        paintFace(p, QColor(190, 60, 200));
        p.setPen(pen(Qt::black, 1.0));
        p.drawLine(QPointF(4.0, 4.2), QPointF(6.8, 5.4));
        p.drawLine(QPointF(12.0, 4.2), QPointF(9.2, 5.4));
        dotEyes(p);
        smileMouth(p, 2.4);
        break;
    }
    case 14: // angel
        paintFace(p, faceYellow);
        p.setPen(pen(QColor(230, 190, 0), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3.4, 0.2, 9.2, 2.4));
        closedEyes(p, true);
        smileMouth(p, 1.8);
        break;
    case 15: // neutral
        paintFace(p, faceYellow);
        dotEyes(p);
        p.setPen(pen(Qt::black, 1.0));
        p.drawLine(QPointF(5.0, 10.8), QPointF(11.0, 10.8));
        break;
    case 16: // blushing
        paintFace(p, faceYellow);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 120, 140, 170));
        p.drawEllipse(QRectF(2.2, 7.6, 3.2, 2.2));
        p.drawEllipse(QRectF(10.6, 7.6, 3.2, 2.2));
        closedEyes(p, true);
        smileMouth(p, 1.4);
        break;
    case 17: // in love
        paintFace(p, faceYellow);
        heart(p, QPointF(5.4, 5.4), 1.9, QColor(230, 20, 60));
        heart(p, QPointF(10.6, 5.4), 1.9, QColor(230, 20, 60));
        smileMouth(p, 2.2);
        break;
    }
}

} // namespace

QFont tableFont(int pixelSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QString styleColour(const QColor& colour)
{
    return QStringLiteral("rgb(%1, %2, %3)")
        .arg(colour.red())
        .arg(colour.green())
        .arg(colour.blue());
}

QString panelStyle(const QString& objectName)
{
    return QStringLiteral("#%1 { background: %2; border: 3px solid %3; }")
        .arg(objectName, styleColour(panelCream), styleColour(darkPurple));
}

QPixmap render(QSize size, qreal devicePixelRatio, const PaintFunction& paint)
{
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    paint(p, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon icon(QSize size, const PaintFunction& paint)
{
    QIcon result;
    result.addPixmap(render(size, 1.0, paint));
    result.addPixmap(render(size, 2.0, paint));
    return result;
}

void iconWhenPainted(const QList<QAbstractButton*>& buttons, QSize size, PaintFunction paint)
{
    auto made = std::make_shared<std::optional<QIcon>>();
    for (QAbstractButton* button : buttons)
        beforeFirstPaint(button, [button, made, size, paint] {
            if (!*made)
                *made = icon(size, paint);
            button->setIcon(**made);
        });
}

QColor tableColour()
{
    return QColor(232, 227, 197);
}

void paintTableBackground(QPainter& p, const QRect& area, const QPixmap& tile)
{
    p.fillRect(area, tableColour());
    if (!tile.isNull())
        p.drawTiledPixmap(area, tile);
}

void paintBackgroundTile(QPainter& p, const QRectF& r)
{
    // Faint dabber dots on a woven grid: texture that stays quiet under text.
    inDesignSpace(p, r, tileSize, tileSize, [&] {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(222, 215, 180));
        p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
        p.drawEllipse(QPointF(36, 36), 6.5, 6.5);
        p.setBrush(QColor(238, 234, 210));
        p.drawEllipse(QPointF(12, 12), 3.0, 3.0);
        p.drawEllipse(QPointF(36, 36), 3.0, 3.0);
        p.setPen(QPen(QColor(226, 220, 188), 1.0));
        p.drawLine(QPointF(0, 24), QPointF(tileSize, 24));
        p.drawLine(QPointF(24, 0), QPointF(24, tileSize));
    });
}

void paintEyes(QPainter& p, const QRectF& r)
{
    inDesignSpace(p, r, 23, 10, [&] {
        p.setPen(pen(Qt::black, 0.9));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(0.6, 0.6, 10.2, 8.8));
        p.drawEllipse(QRectF(12.2, 0.6, 10.2, 8.8));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 90, 160));
        p.drawEllipse(QRectF(4.0, 2.6, 4.6, 4.8));
        p.drawEllipse(QRectF(15.6, 2.6, 4.6, 4.8));
        p.setBrush(Qt::black);
        p.drawEllipse(QRectF(5.2, 3.8, 2.2, 2.4));
        p.drawEllipse(QRectF(16.8, 3.8, 2.2, 2.4));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(5.4, 3.7, 1.0, 1.0));
        p.drawEllipse(QRectF(17.0, 3.7, 1.0, 1.0));
    });
}

void paintTurnMarker(QPainter& p, const QRectF& r)
{
    inDesignSpace(p, r, 25, 25, [&] {
        QRadialGradient shade(QPointF(9, 8), 16);
        shade.setColorAt(0, QColor(190, 120, 230));
        shade.setColorAt(0.55, QColor(120, 40, 170));
        shade.setColorAt(1, QColor(70, 10, 100));
        p.setPen(pen(darkPurple, 1.0));
        p.setBrush(shade);
        p.drawEllipse(QRectF(0.5, 0.5, 24, 24));
    });
}

void paintCardFrame(QPainter& p, const QRectF& r, const CardLayout& layout)
{
    p.save();
    p.translate(r.topLeft());
    const QRectF outer(0.5, 0.5, r.width() - 1, r.height() - 1);
    QLinearGradient body(0, 0, 0, r.height());
    body.setColorAt(0, QColor(140, 60, 180));
    body.setColorAt(1, QColor(88, 24, 120));
    p.setPen(pen(darkPurple, 1.0));
    p.setBrush(body);
    p.drawRoundedRect(outer, 9, 9);

    // Header band with the five letters, each over its column.
    const qreal headerTop = 5;
    const qreal headerBottom = layout.rowTops[0] - 5;
    p.setFont(tableFont(int((headerBottom - headerTop) * 0.55)));
    static const char letters[] = "BINGO";
    for (int i = 0; i < 5; ++i) {
        const QRectF cell(layout.columnLefts[std::size_t(i)] - 2, headerTop, layout.box.width() + 4,
                          headerBottom - headerTop);
        QRadialGradient ball(cell.center() - QPointF(4, 5), cell.height() * 0.7);
        ball.setColorAt(0, Qt::white);
        ball.setColorAt(1, QColor(225, 215, 235));
        p.setPen(pen(darkPurple, 1.0));
        p.setBrush(ball);
        const qreal d = qMin(cell.width(), cell.height());
        p.drawEllipse(QRectF(cell.center().x() - d / 2, cell.center().y() - d / 2, d, d));
        p.setPen(darkPurple);
        p.drawText(cell, Qt::AlignCenter, QString(QLatin1Char(letters[i])));
    }

    // The cream boxes the numbers stand in.
    p.setPen(pen(QColor(120, 90, 60), 1.0));
    p.setBrush(cream);
    for (int row : layout.rowTops)
        for (int column : layout.columnLefts)
            p.drawRoundedRect(
                QRectF(column + 0.5, row + 0.5, layout.box.width() - 1, layout.box.height() - 1), 3,
                3);
    p.restore();
}

void paintPhraseIcon(QPainter& p, const QRectF& r)
{
    inDesignSpace(p, r, 25, 19, [&] {
        QPainterPath bubble;
        bubble.addRoundedRect(QRectF(3.5, 2.5, 18, 11), 4, 4);
        QPainterPath tail;
        tail.moveTo(7, 12);
        tail.lineTo(6, 17);
        tail.lineTo(12, 12.5);
        bubble = bubble.united(tail);
        p.setPen(pen(darkPurple, 1.0));
        p.setBrush(Qt::white);
        p.drawPath(bubble);
        p.setPen(pen(purple, 1.2));
        p.drawLine(QPointF(7, 6), QPointF(18, 6));
        p.drawLine(QPointF(7, 9.5), QPointF(15, 9.5));
    });
}

void paintChatterIcon(QPainter& p, const QRectF& r)
{
    inDesignSpace(p, r, 25, 19, [&] {
        // A loudspeaker with sound waves.
        QPainterPath speaker;
        speaker.moveTo(4, 7);
        speaker.lineTo(7.5, 7);
        speaker.lineTo(12, 3);
        speaker.lineTo(12, 16);
        speaker.lineTo(7.5, 12);
        speaker.lineTo(4, 12);
        speaker.closeSubpath();
        p.setPen(pen(darkPurple, 1.0));
        p.setBrush(purple);
        p.drawPath(speaker);
        p.setBrush(Qt::NoBrush);
        p.setPen(pen(purple, 1.3));
        p.drawArc(QRectF(10, 5.5, 6, 8), -60 * 16, 120 * 16);
        p.drawArc(QRectF(10, 2.5, 10, 14), -60 * 16, 120 * 16);
    });
}

void paintSmiliesIcon(QPainter& p, const QRectF& r)
{
    const qreal side = qMin(r.width(), r.height()) - 2;
    paintSmiley(p, QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side), 0);
}

void paintSmiley(QPainter& p, const QRectF& r, int index)
{
    inDesignSpace(p, r, 16, 16, [&] { paintSmileyDesign(p, index); });
}

} // namespace pictures
