#pragma once

#include <QRect>
#include <QString>

class QPoint;
class QSize;
class QWidget;

// A widget that paints a grid of cells itself (the ball board, the cards): what a screen
// reader needs to present each cell as a control of its own. Cells are numbered from 1.
class AccessibleCells {
public:
    virtual ~AccessibleCells() = default;
    virtual int cellCount() const = 0;
    virtual QString cellName(int cell) const = 0;
    // The cell's place in the widget.
    virtual QRect cellArea(int cell) const = 0;
    // The cell the keyboard is on.
    virtual int currentCell() const = 0;
    // Does what a click on the cell does.
    virtual void pressCell(int cell) = 0;
};

namespace tableaccess {

// Lets screen readers see the cells of the self-painted grids and the values set below.
// Safe to call more than once.
void install();
// Tells screen readers that a cell's name changed, or that the keyboard moved onto it.
void cellChanged(QWidget* grid, int cell);
void cellFocused(QWidget* grid, int cell);
// The control's changing text (the status line, the big ball), announced as it changes.
void setValue(QWidget* control, const QString& value);
QString value(const QWidget* control);
// The table's names that no single widget knows, and the keyboard's path: board, cards,
// chat entry.
void setUp(QWidget* window);
// Keyboard play on a grid of columns by rows (a place counted from 0): an arrow key moves
// the place and says true; other keys say false.
bool arrowMove(int key, QPoint& place, QSize grid);
// Enter, Return and Space press the cell the keyboard is on.
bool isPressKey(int key);
// The clearly drawn frame that shows the keyboard's cell, moved over the cell by the grid
// and shown only while the grid has the focus.
QWidget* makeFocusMark(QWidget* grid);
void placeFocusMark(QWidget* mark, const QRect& area);
// The player's turn has come: the window asks for attention unless it is the active one.
void askForAttention(QWidget* window);

} // namespace tableaccess
