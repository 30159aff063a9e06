#pragma once

#include "client/tableaccess.h"

#include <QWidget>

#include <array>

class QLabel;
class PictureWidget;

// The player's two bingo cards side by side. Each cell is a label named
// label_card<card><column><row> that keeps its cell number: the number dealt to it, or 0
// once covered (shown as a red X) and for the free centre. The keyboard plays both cards as
// one grid of ten columns: arrows move a mark over the cells, Enter or Space clicks the cell.
class CardGrid : public QWidget, public AccessibleCells {
    Q_OBJECT
public:
    static constexpr int cards = 2;
    static constexpr int size = 5;
    static constexpr int centre = 3;
    static constexpr QSize cardSize{209, 241};
    static constexpr int cardGap = 2;

    explicit CardGrid(QWidget* parent = nullptr);

    static bool isCell(int card, int column, int row)
    {
        return card >= 1 && card <= cards && column >= 1 && column <= size && row >= 1 &&
               row <= size;
    }

    int cellNumber(int card, int column, int row) const;
    // A non-zero value shows as its number in the cell's current colour; 0 is the covered
    // mark, a red X.
    void setCell(int card, int column, int row, int value);
    // Every cell empty and black with number 0, the free centres a red X.
    void reset();
    // The free centres of both cards show the red X with number 0.
    void markCentres();

    QLabel* cell(int card, int column, int row) const;
    // The cell's tag: 100 × card + 10 × column + row.
    static int tag(int card, int column, int row) { return 100 * card + 10 * column + row; }

    // Cells are counted card by card, column by column, row by row.
    int cellCount() const override { return cards * size * size; }
    QString cellName(int cell) const override;
    QRect cellArea(int cell) const override;
    int currentCell() const override;
    void pressCell(int cell) override;

signals:
    void cellClicked(int card, int column, int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Place {
        int card, column, row;
    };
    static Place placeOf(int cell);
    void showCovered(QLabel* label);
    void markMoved();

    std::array<PictureWidget*, cards> m_images{};
    // [card - 1][column - 1][row - 1]
    std::array<std::array<std::array<QLabel*, size>, size>, cards> m_cells{};
    std::array<std::array<std::array<int, size>, size>, cards> m_numbers{};
    // The number last dealt to each cell, kept when it is covered, for screen readers.
    std::array<std::array<std::array<int, size>, size>, cards> m_dealt{};
    // The keyboard's cell: a column of both cards side by side (0 to 9) and a row (0 to 4).
    QPoint m_keyboard;
    QWidget* m_mark = nullptr;
};
