#pragma once

#include <QWidget>

#include <array>

class QLabel;
class PictureWidget;

// The seven seat rows at the top left of the table: name, score, bonus, the eyes of a
// seat that just watches, and the turn marker behind the names. Rows are numbered by
// seat, 1 to 7.
class SeatRows : public QWidget {
    Q_OBJECT
public:
    static constexpr int rows = 7;
    static constexpr std::array<int, rows> rowTops{6, 28, 50, 73, 95, 117, 139};

    explicit SeatRows(QWidget* parent = nullptr);

    static bool isRow(int seat) { return seat >= 1 && seat <= rows; }

    QString name(int seat) const;
    void setName(int seat, const QString& text);
    QString score(int seat) const;
    void setScore(int seat, const QString& text);
    QString bonus(int seat) const;
    void setBonus(int seat, const QString& text);
    bool eyesShown(int seat) const;
    void setEyes(int seat, bool shown);
    // Puts the turn marker on the seat's row and shows it.
    void moveTurnMarker(int seat);

    QLabel* nameLabel(int seat) const { return m_names.at(std::size_t(seat - 1)); }

signals:
    // The seat pop-up is about to open over the seat's name label.
    void nameContextMenu(int seat, const QPoint& globalPos);

private:
    // What screen readers hear of a row, and of the turn marker when it is on the row.
    void describe(int seat);

    std::array<QLabel*, rows> m_names{};
    std::array<QLabel*, rows> m_scores{};
    std::array<QLabel*, rows> m_bonuses{};
    std::array<PictureWidget*, rows> m_eyes{};
    PictureWidget* m_turn = nullptr;
    int m_turnSeat = 0;
};
