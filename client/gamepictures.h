#pragma once

#include "client/pictures.h"

// The game's pictures: balls, the Bob counter, the big ball, picture buttons and arrows.
namespace pictures {

// Ball values: 0 empty square, 1 to 75 numbered balls, 76 hidden, 77 Zorer Aru's face.
inline constexpr int emptyBall = 0;
inline constexpr int hiddenBall = 76;
inline constexpr int zorerBall = 77;
inline constexpr int ballPictureCount = 78;
inline constexpr QSize ballSize{40, 40};

// "B" to "O" for 1 to 75, empty otherwise.
QString ballLetter(int value);
// The letter and number ("N38"); empty outside 1 to 75.
QString ballText(int value);

// imagelist_balls: picture `value` (0 to 77) in r; values outside show the empty square.
void paintBall(QPainter& p, const QRectF& r, int value);
// The Bob counter, 134 by 30: 0 the letters B O B, 1 to 3 that many faces.
inline constexpr int bobCounterPictures = 4;
void paintBobCounter(QPainter& p, const QRectF& r, int count);
// The big white ball behind the big ball's text, and the Bob ball laid over it.
void paintBigBall(QPainter& p, const QRectF& r);
void paintBobBall(QPainter& p, const QRectF& r);
// A picture button with cream words (START GAME, OK, X), purple unless told otherwise.
void paintWordButton(QPainter& p, const QRectF& r, const QString& words,
                     const QColor& fill = purple);
// A small purple arrow pointing left or right.
void paintArrow(QPainter& p, const QRectF& r, bool pointsRight);
// The score sheet's title and scoring legend.
void paintScoreTitle(QPainter& p, const QRectF& r);
void paintScoreLegend(QPainter& p, const QRectF& r);

} // namespace pictures
