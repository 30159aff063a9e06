#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPixmap>
#include <QRectF>

#include <array>
#include <functional>

class QAbstractButton;
class QPainter;

// The table's pictures, drawn in code. Each paint function draws into the given rectangle
// of an antialiased painter, so widgets can paint them straight at any pixel ratio.
namespace pictures {

// The table's colours that more than one picture uses.
inline const QColor purple(96, 32, 128);
inline const QColor darkPurple(64, 0, 64);
inline const QColor faceYellow(255, 214, 40);
// The cream of the framed panels on the table.
inline const QColor panelCream(247, 242, 223);

// The table's Arial at a pixel size, bold unless told otherwise.
QFont tableFont(int pixelSize, bool bold = true);
// A colour as a stylesheet writes it: "rgb(64, 0, 64)".
QString styleColour(const QColor& colour);
// The stylesheet of a framed panel: cream inside a dark purple border 3 pixels wide.
QString panelStyle(const QString& objectName);

using PaintFunction = std::function<void(QPainter&, const QRectF&)>;

// A pixmap of `size` logical pixels drawn at the given device pixel ratio.
QPixmap render(QSize size, qreal devicePixelRatio, const PaintFunction& paint);
// An icon with crisp pixmaps for ordinary and doubled pixel ratios.
QIcon icon(QSize size, const PaintFunction& paint);
// Gives each button that icon just before it first paints, drawn once for them all: the
// window need not wait for the drawing before it shows.
void iconWhenPainted(const QList<QAbstractButton*>& buttons, QSize size, PaintFunction paint);

// The table's background colour, under the tiled background picture.
QColor tableColour();
// One tile of the background picture (tileSize square).
inline constexpr int tileSize = 48;
void paintBackgroundTile(QPainter& p, const QRectF& r);
// The main window's background, which the side windows share: the table colour under the
// tiles (a rendered paintBackgroundTile), the first tile at the area's top left.
void paintTableBackground(QPainter& p, const QRect& area, const QPixmap& tile);

// A seat that just watches: two eyes, 23 by 10.
void paintEyes(QPainter& p, const QRectF& r);
// The turn marker: a purple disc, 25 by 25.
void paintTurnMarker(QPainter& p, const QRectF& r);

// A bingo card: B I N G O over a 5 by 5 grid of cream boxes. Boxes are 34 by 29 at the
// given column lefts and row tops, relative to r.
struct CardLayout {
    std::array<int, 5> columnLefts;
    std::array<int, 5> rowTops;
    QSize box;
};
void paintCardFrame(QPainter& p, const QRectF& r, const CardLayout& layout);

// Chat buttons, 25 by 19: a phrase, the chatter sounds, the smilies menu.
void paintPhraseIcon(QPainter& p, const QRectF& r);
void paintChatterIcon(QPainter& p, const QRectF& r);
void paintSmiliesIcon(QPainter& p, const QRectF& r);

// The chat's smilies, 17 by 16, numbered 0 to smileyCount - 1.
inline constexpr int smileyCount = 18;
inline constexpr QSize smileySize{17, 16};
void paintSmiley(QPainter& p, const QRectF& r, int index);

} // namespace pictures
