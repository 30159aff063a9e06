#include "client/logo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

QPixmap quorvelLogo(qreal devicePixelRatio)
{
    const QSize size(211, 53);
    QPixmap logo(size * devicePixelRatio);
    logo.setDevicePixelRatio(devicePixelRatio);
    logo.fill(Qt::transparent);

    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient plate(0, 0, 0, size.height());
    plate.setColorAt(0, QColor(124, 58, 170));
    plate.setColorAt(1, QColor(64, 0, 64));
    painter.setPen(QPen(QColor(40, 0, 40), 1.5));
    painter.setBrush(plate);
    painter.drawRoundedRect(QRectF(1, 1, size.width() - 2, size.height() - 2), 10, 10);

    // A ball in the corner, the letter of the free centre on it.
    const QRectF ball(8, 7, 39, 39);
    QRadialGradient shine(ball.center() - QPointF(7, 7), ball.width() * 0.7);
    shine.setColorAt(0, QColor(255, 236, 140));
    shine.setColorAt(1, QColor(226, 150, 20));
    painter.setPen(QPen(QColor(90, 40, 0), 1.2));
    painter.setBrush(shine);
    painter.drawEllipse(ball);
    QFont letter(QStringLiteral("Sans Serif"));
    letter.setBold(true);
    letter.setPixelSize(22);
    painter.setFont(letter);
    painter.setPen(QColor(64, 0, 64));
    painter.drawText(ball, Qt::AlignCenter, QStringLiteral("N"));

    QFont name(QStringLiteral("Sans Serif"));
    name.setBold(true);
    name.setPixelSize(30);
    name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    painter.setFont(name);
    const QRectF text(54, 0, size.width() - 60, size.height());
    painter.setPen(QColor(30, 0, 30));
    const int align = Qt::AlignVCenter | Qt::AlignLeft;
    painter.drawText(text.translated(1.5, 1.5), align, QStringLiteral("Quorvel"));
    painter.setPen(Qt::white);
    painter.drawText(text, align, QStringLiteral("Quorvel"));
    return logo;
}
