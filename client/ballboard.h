#pragma once

#include "client/gamepictures.h"
#include "client/tableaccess.h"

#include <QWidget>

#include <array>

// The ball board: 72 positions in 8 columns of 9 cells of 40 by 40, running down each
// column. Holds the client's copy of each position (value and revealed flag); only the
// host's messages change it. The keyboard plays it as the mouse does: arrows move a mark over
// the balls, Enter or Space picks the marked one.
class BallBoard : public QWidget, public AccessibleCells {
    Q_OBJECT
public:
    static constexpr int positions = 72;
    static constexpr int columns = 8;
    static constexpr int rows = 9;
    static constexpr int cell = 40;

    explicit BallBoard(QWidget* parent = nullptr);

    static bool isPosition(int position) { return position >= 1 && position <= positions; }
    // The position under a point of the board, 0 outside it.
    static int positionAt(QPoint point);
    static QRect cellRect(int position);

    int value(int position) const;
    bool revealed(int position) const;
    // The position takes the value and is revealed.
    void reveal(int position, int value);
    // Every position hidden (76), not revealed.
    void reset();
    // Whether a revealed position holds this value.
    bool isDrawn(int value) const;

    // Cells are positions.
    int cellCount() const override { return positions; }
    QString cellName(int position) const override;
    QRect cellArea(int position) const override { return cellRect(position); }
    int currentCell() const override { return m_current; }
    void pressCell(int position) override;

signals:
    // A mouse button was released over the board at this point, or the keyboard picked the
    // ball there.
    void released(QPoint point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Position {
        int value = pictures::hiddenBall;
        bool revealed = false;
    };
    std::array<Position, positions> m_positions{};
    int m_current = 1;
    QWidget* m_mark = nullptr;
};
