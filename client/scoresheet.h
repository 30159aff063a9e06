#pragma once

#include <QFrame>

#include <array>

class QLabel;
class PictureButton;

// The round's score sheet: one row per seat 1 to 7 with the name, the result and an arrow
// that asks for the seat's details, and the OK button.
class ScoreSheet : public QFrame {
    Q_OBJECT
public:
    static constexpr int rows = 7;
    static constexpr std::array<int, rows> rowTops{42, 64, 86, 109, 131, 153, 175};

    explicit ScoreSheet(QWidget* parent = nullptr);

    // Every row empty, no arrows.
    void clearRows();
    // Fills a seat's row and shows its arrow.
    void setRow(int seat, const QString& name, const QString& result);
    QString name(int seat) const;
    QString result(int seat) const;
    bool arrowShown(int seat) const;
    // The arrow's top within the sheet.
    int arrowTop(int seat) const;

signals:
    void moreClicked(int seat);
    void okClicked();
    void nameContextMenu(int seat, const QPoint& globalPos);

private:
    std::array<QLabel*, rows> m_names{};
    std::array<QLabel*, rows> m_results{};
    std::array<PictureButton*, rows> m_arrows{};
};
