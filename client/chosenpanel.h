#pragma once

#include <QFrame>

#include <array>

class QLabel;

// The chosen-balls panel: the 75 numbers under B I N G O, lavender once chosen this round.
class ChosenPanel : public QFrame {
    Q_OBJECT
public:
    static constexpr int numbers = 75;
    static const QColor notChosen;
    static const QColor chosen;

    explicit ChosenPanel(QWidget* parent = nullptr);

    void setChosen(int number);
    bool isChosen(int number) const;
    // Every number grey again.
    void reset();

private:
    std::array<QLabel*, numbers> m_labels{};
    std::array<bool, numbers> m_chosen{};
};
