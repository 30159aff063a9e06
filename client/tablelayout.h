#pragma once

#include <QPoint>
#include <QRect>

#include <array>

// Where every control of the main window's table panel sits, in one place. Controls of a
// fixed size are placed by their top left corner.
namespace layout {

inline constexpr QRect window(3, 3, 772, 535); // the window's place by default
inline constexpr QRect boardPanel(0, 0, 764, 526);

inline constexpr QRect seatRows(0, 0, 192, 160);
inline constexpr QPoint cards(335, 52);
inline constexpr QRect status(329, 294, 431, 17);
inline constexpr QRect playToScore(605, 33, 155, 17);
inline constexpr QRect logo(605, 2, 155, 30);
// Over the cards; shown once, at the first connection.
inline constexpr QRect helpPanel(329, 52, 431, 241);

inline constexpr QRect chatFrame(356, 312, 405, 187);
inline constexpr QRect chatView(1, 1, 403, 185); // within the frame
inline constexpr QRect chatEntry(356, 500, 376, 22);
inline constexpr QPoint smilies(734, 501);
inline constexpr QPoint phraseButtons(329, 312);

inline constexpr QRect boardFrame(3, 158, 324, 364);
inline constexpr QPoint board(2, 2); // within the frame
inline constexpr QPoint bigBall(192, 3);
inline constexpr QRect bobCounter(192, 125, 134, 30);
inline constexpr QRect historyStrip(345, 2, 256, 48);
// The six last balls, newest first; each 40 by 40 at top 6.
inline constexpr std::array<int, 6> historyLefts{349, 391, 432, 474, 515, 557};
inline constexpr int historyTop = 6;
inline constexpr int historySize = 40;
inline constexpr QRect startButton(105, 312, 126, 40); // over the middle of the board
inline constexpr QPoint scoreSheet(12, 208);
inline constexpr int detailsLeft = 316; // beside the sheet, at the arrow's height
inline constexpr QPoint chosenPanel(3, 3);
inline constexpr QRect chosenArrows(326, 2, 12, 16); // open and close, in one place
inline constexpr QPoint winnerBanner(329, 2);

} // namespace layout
